#include "CatalogPage.h"

#include "Clock.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "InputMethod.h"
#include "Locale.h"
#include "OddRowShading.h"
#include "PageWidgets.h"
#include "Session.h"
#include "ShopList.h"
#include "TColorButton.h"
#include "TSMDBGrid.h"
#include "UiLog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {
constexpr int AddButtonTextPixels = 16;
constexpr int ShopItemHeight = 13;

//! The text of the field at `index` of the current record; a missing field is a failure.
QString fieldText(const Dataset &dataset, int index) {
    const Field *field = dataset.field(index);
    if (!field) throw DbError(QStringLiteral("The item list has no field %1.").arg(index));
    return field->asString();
}
} // namespace

CatalogPage::CatalogPage(const Data &data, const Session &session, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session) {
    setFixedSize(PageWidgets::PageSize);

    PageWidgets::label(this, "Label12", QStringLiteral("選擇商店"), {8, 8, 81, 25});
    m_shopBox = new QComboBox(this);
    m_shopBox->setObjectName(QStringLiteral("CB1"));
    m_shopBox->setEditable(true);
    m_shopBox->setInsertPolicy(QComboBox::NoInsert);
    m_shopBox->setDuplicatesEnabled(true);
    // The box holds what the user typed, letter by letter: no completion writes ahead of it.
    m_shopBox->setCompleter(nullptr);
    // A plain list delegate honours each entry's size hint: the list's items are 13 pixels high.
    m_shopBox->setItemDelegate(new QStyledItemDelegate(m_shopBox));
    m_shopBox->setGeometry(96, 8, 113, 21);
    m_shopBox->setAccessibleName(QStringLiteral("選擇商店"));
    InputMethod::attach(m_shopBox);
    InputMethod::attach(m_shopBox->lineEdit());

    m_categories = TSMDBGrid::place(QStringLiteral("SMDBGrid2"), &m_data.categorySource, this);
    m_categories->setGeometry(0, 40, 209, 353);
    m_items =
        TSMDBGrid::place(QStringLiteral("SMDBGrid3"), &m_data.itemSource, this, GridSettings::tickMany());
    m_items->setGeometry(216, 0, 401, 305);
    InputMethod::attach(m_categories);
    InputMethod::attach(m_items);

    const QString hint = QStringLiteral("備註：例如半糖、去冰、1/4糖，請在此輸入相關注意事項");
    PageWidgets::label(this, "Label14", hint, {216, 312, 393, 13});
    m_note = PageWidgets::edit(this, "Edit11", hint, {216, 328, 401, 21});

    m_add = new TColorButton(QStringLiteral("新增到訂單"), this);
    m_add->setObjectName(QStringLiteral("ColorButton1"));
    m_add->setGeometry(232, 360, 377, 33);
    m_add->setFont(PageWidgets::uiFont(AddButtonTextPixels));
    m_add->setAccessibleName(m_add->text());

    setTabOrder(m_shopBox, m_categories);
    setTabOrder(m_categories, m_items);
    setTabOrder(m_items, m_note);
    setTabOrder(m_note, m_add);

    connect(m_shopBox, &QComboBox::editTextChanged, this, HandlerGuard::wrap([this] { CB1Change(); }));
    connect(&m_data.categorySource, &DataSource::dataChange, this,
            [this](Field *field) { HandlerGuard::run([&] { DataSource2DataChange(field); }); });
    connect(m_categories, &TSMDBGrid::OnCellClick, this, [this](TSMDBGrid *sender, int column) {
        HandlerGuard::run([&] { SMDBGrid2CellClick(sender, column); });
    });
    // Painting asks for each cell in turn: the answer must be back before the cell is drawn.
    connect(m_items, &TSMDBGrid::OnGetCellParams, this, &CatalogPage::SMDBGrid3GetCellParams,
            Qt::DirectConnection);
    connect(m_add, &QPushButton::clicked, this, HandlerGuard::wrap([this] { ColorButton1Click(); }));
}

void CatalogPage::Get_CB1_Text() {
    try {
        ShopList::read(m_data.reads, [this](const QString &shop) { appendShop(shop); });
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "shop list not read", e);
    }
}

void CatalogPage::appendShop(const QString &shop) {
    // Appending an entry is no change of the shop box: a box that showed no shop (or typed
    // text) still does, where the combo box would pick its first entry by itself.
    const QSignalBlocker quiet(m_shopBox);
    const int index = m_shopBox->currentIndex();
    const QString text = m_shopBox->currentText();
    m_shopBox->addItem(shop);
    m_shopBox->setItemData(m_shopBox->count() - 1, QSize(0, ShopItemHeight), Qt::SizeHintRole);
    if (m_shopBox->currentIndex() != index) {
        m_shopBox->setCurrentIndex(index);
        m_shopBox->setEditText(text);
    }
}

void CatalogPage::clearShopList() {
    const QSignalBlocker quiet(m_shopBox);
    m_shopBox->clear();
}

void CatalogPage::enter() {
    clearShopList();
    Get_CB1_Text();
    const QSignalBlocker quiet(m_shopBox);
    m_shopBox->setCurrentIndex(-1);
}

void CatalogPage::CB1Change() {
    try {
        CatalogStatements::openCategories(m_data.categories, m_shopBox->currentText());
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "category list not opened", e);
    }
}

void CatalogPage::DataSource2DataChange(Field *) {
    // Closing the category list tells nothing; only an open list decides the items.
    Dataset &categories = m_data.categories;
    if (!categories.isActive()) return;
    try {
        const QString shop = m_shopBox->currentText();
        m_listedShop = shop;
        CatalogStatements::openItems(m_data.items, shop, fieldText(categories, 0));
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "item list not opened", e);
    }
}

void CatalogPage::SMDBGrid2CellClick(TSMDBGrid *, int) {
    m_note->clear();
}

void CatalogPage::SMDBGrid3GetCellParams(TSMDBGrid *, Field *, QFont &, QColor &, QColor &background, bool) {
    OddRowShading::apply(m_data.items, background);
}

void CatalogPage::ColorButton1Click() {
    // A failure outside a line's own storing ends the click here, silently: lines stored stay
    // stored, and without the refresh the ticks stay too.
    try {
        Dataset &items = m_data.items;
        const SelectedRows &selected = m_items->selectedRows();
        // The list walks the rows in the item list's order, whatever order they were ticked in.
        const int count = selected.count();
        for (int i = 0; i < count; ++i) {
            if (i >= selected.count())
                throw DbError(QStringLiteral("The ticked rows changed during the click."));
            items.gotoBookmark(selected.at(i));
            Set_order({fieldText(items, 0), fieldText(items, 1), fieldText(items, 2), m_listedShop,
                       m_note->text()});
        }
        m_items->refreshData();
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "adding to the order ended", e);
    }
}

void CatalogPage::Set_order(CatalogStatements::OrderLine line) {
    try {
        // One reading of the clock gives both the date and the time of the line.
        const QDateTime now = Clock::current().now();
        CatalogStatements::storeOrderLine(m_data.inserts, line, m_session.userName(), now,
                                          Locale::current().formats());
        emit orderStored();
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "order line not stored", e);
        Dialogs::current().message(QStringLiteral("錯誤請找管理人"));
    }
}
