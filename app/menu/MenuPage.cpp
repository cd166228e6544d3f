#include "MenuPage.h"

#include "DataSource.h"
#include "Dataset.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "MenuStatements.h"
#include "OddRowShading.h"
#include "PageWidgets.h"
#include "Session.h"
#include "TColorButton.h"
#include "TDBXNavigator.h"
#include "TRadioGroup.h"
#include "TSMDBGrid.h"
#include "UiLog.h"

#include <QLineEdit>

namespace {
// The navigator's button sets: all eight for users who may delete, no delete for level 0.
constexpr TButtonSet WithDelete{nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbPost, nbCancel, nbRefresh};
constexpr TButtonSet WithoutDelete = WithDelete.without(nbDelete);
} // namespace

MenuPage::MenuPage(const Data &data, const Session &session, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session) {
    setFixedSize(PageWidgets::PageSize);

    PageWidgets::label(this, "Label7", QStringLiteral("商店名稱"), {16, 16, 80, 16});
    m_shop = PageWidgets::edit(this, "Edit7", QStringLiteral("商店名稱"), {96, 16, 145, 21});
    PageWidgets::label(this, "Label8", QStringLiteral("飲料分類"), {16, 48, 80, 16});
    m_category = PageWidgets::edit(this, "Edit8", QStringLiteral("飲料分類"), {96, 48, 145, 21});
    PageWidgets::label(this, "Label9", QStringLiteral("飲料名稱"), {16, 80, 80, 16});
    m_name = PageWidgets::edit(this, "Edit9", QStringLiteral("飲料名稱"), {96, 80, 145, 21});
    PageWidgets::label(this, "Label10", QStringLiteral("杯           量"), {16, 112, 80, 16});
    m_cupSize = new TRadioGroup(this);
    m_cupSize->setObjectName(QStringLiteral("RG1"));
    m_cupSize->setAccessibleName(QStringLiteral("杯量"));
    m_cupSize->setGeometry(96, 104, 145, 33);
    m_cupSize->setColumns(3);
    m_cupSize->setItems({QStringLiteral("小杯"), QStringLiteral("中杯"), QStringLiteral("大杯")});
    m_cupSize->setItemIndex(0);
    PageWidgets::label(this, "Label11", QStringLiteral("售           價"), {16, 144, 80, 16});
    m_price = PageWidgets::edit(this, "Edit10", QStringLiteral("售價"), {96, 144, 145, 21});

    auto *add = new TColorButton(QStringLiteral("新增飲料項目"), this);
    add->setObjectName(QStringLiteral("ColorButton2"));
    add->setAccessibleName(add->text());
    add->setGeometry(16, 176, 233, 33);
    add->setFont(PageWidgets::uiFont(16));

    m_navigator = new TDBXNavigator(this);
    m_navigator->setObjectName(QStringLiteral("DBXNavigator1"));
    m_navigator->beginLoad();
    m_navigator->setDataSource(&m_data.menuSource);
    m_navigator->setVisibleButtons(WithDelete);
    m_navigator->setFontSize(8);
    m_navigator->setBounds({280, 8, 320, 41});
    m_navigator->endLoad();

    m_grid = TSMDBGrid::place(QStringLiteral("SMDBGrid1"), &m_data.menuSource, this);
    m_grid->setGeometry(256, 56, 369, 345);
    connect(
        m_grid, &TSMDBGrid::OnGetCellParams, this,
        [this](TSMDBGrid *, Field *, QFont &, QColor &, QColor &background, bool) {
            SMDBGrid1GetCellParams(background);
        },
        Qt::DirectConnection);

    setTabOrder(m_shop, m_category);
    setTabOrder(m_category, m_name);
    setTabOrder(m_name, m_price);
    setTabOrder(m_price, m_cupSize);
    setTabOrder(m_cupSize, add);
    setTabOrder(add, m_grid);

    connect(add, &QPushButton::clicked, this, HandlerGuard::wrap([this] { ColorButton2Click(); }));
}

void MenuPage::enter() {
    Dataset &menu = m_data.menu;
    if (!menu.isActive()) menu.open();
    m_navigator->setVisibleButtons(m_session.userLevel() != 0 ? WithDelete : WithoutDelete);
}

void MenuPage::ColorButton2Click() {
    try {
        // Nothing is checked here: the engine refuses what a column cannot hold.
        MenuStatements::addItem(m_data.inserts, {m_shop->text(), m_category->text(), m_name->text(),
                                                 m_cupSize->itemIndex(), m_price->text()});
        emit menuItemAdded();
        // The edits keep their texts for the next item; only the cup size starts over.
        m_cupSize->setItemIndex(0);
        Dataset &menu = m_data.menu;
        menu.close();
        menu.open();
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "menu item not added or list not re-read", e);
        Dialogs::current().message(QStringLiteral("錯誤請找管理人"));
    }
}

void MenuPage::SMDBGrid1GetCellParams(QColor &background) {
    OddRowShading::apply(m_data.menu, background);
}
