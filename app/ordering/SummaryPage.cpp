#include "SummaryPage.h"

#include "Clock.h"
#include "ControlTab.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "FramedBox.h"
#include "HandlerGuard.h"
#include "InputMethod.h"
#include "Locale.h"
#include "OddRowShading.h"
#include "PageWidgets.h"
#include "Session.h"
#include "SummaryStatements.h"
#include "TDBText.h"
#include "TDBXNavigator.h"
#include "TSMDBGrid.h"
#include "UiLog.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace {
// The navigator's button sets: with delete for those who may delete the current line.
constexpr TButtonSet WithDelete{nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbRefresh};
constexpr TButtonSet WithoutDelete = WithDelete.without(nbDelete);
constexpr int TotalTextPixels = 19;
constexpr int MinimumTotalPixels = 8;
constexpr int ExportTextPixels = 16;
// The system's gradient active caption colour behind the total.
constexpr QColor GradientActiveCaption{0xB9, 0xD1, 0xEA};
} // namespace

SummaryPage::SummaryPage(const Data &data, const Session &session, const QString &exportFolder,
                         QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session)
    , m_exportFolder(exportFolder) {
    setFixedSize(PageWidgets::PageSize);

    const QString pickCaption = QStringLiteral("請選擇查詢的日期");
    PageWidgets::label(this, "Label13", pickCaption, {8, 8, 137, 23});
    m_picker = new QDateEdit(this);
    m_picker->setObjectName(QStringLiteral("DTP1"));
    m_picker->setAccessibleName(pickCaption);
    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(Locale::current().formats().shortDateFormat);
    m_picker->setGeometry(144, 8, 186, 21);
    InputMethod::attach(m_picker);
    // Tab steps between the parts of the date; Ctrl+Tab leaves the picker.
    ControlTab::attach(m_picker);

    m_navigator = new TDBXNavigator(this);
    m_navigator->setObjectName(QStringLiteral("DBXNavigator2"));
    m_navigator->beginLoad();
    m_navigator->setDataSource(&m_data.lineSource);
    m_navigator->setVisibleButtons(WithoutDelete);
    m_navigator->setBounds({344, 0, 270, 38});
    m_navigator->endLoad();

    m_grid =
        TSMDBGrid::place(QStringLiteral("SMDBGrid4"), &m_data.lineSource, this, GridSettings::tickOneRow());
    m_grid->setGeometry(0, 40, 625, 297);
    m_grid->setReadOnly(true);
    m_grid->setScrollBars(TScrollStyle::ssHorizontal);
    const QColor window = palette().color(QPalette::Base);
    m_grid->setGridStyle({TSMGridStyleKind::gsCustom, window, window});
    InputMethod::attach(m_grid);

    // Never shown: the current line's orderer, read by the delete rights.
    m_orderer = new TDBText(this);
    m_orderer->setObjectName(QStringLiteral("DBText1"));
    m_orderer->setGeometry(0, 344, 57, 17);
    m_orderer->setDataSource(&m_data.lineSource);
    m_orderer->setDataField(QStringLiteral("ord_cusomter"));
    m_orderer->hide();

    auto *group = new FramedBox(QStringLiteral("總計金額"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(72, 340, 129, 57);
    group->setFont(PageWidgets::uiFont(PageWidgets::PageTextPixels));
    m_total = new QLabel(group);
    m_total->setObjectName(QStringLiteral("Panel1"));
    m_total->setGeometry(2, 18, 125, 37);
    m_total->setAlignment(Qt::AlignCenter);
    m_total->setAutoFillBackground(true);
    // Its own roles: the window draws its controls on the button face, which the panel would
    // take over, colours and all.
    m_total->setBackgroundRole(QPalette::Window);
    m_total->setForegroundRole(QPalette::WindowText);
    QPalette panel = m_total->palette();
    panel.setColor(QPalette::Window, GradientActiveCaption);
    panel.setColor(QPalette::WindowText, Qt::red);
    m_total->setPalette(panel);
    m_total->setFont(PageWidgets::uiFont(TotalTextPixels));

    QPushButton *exportButton = PageWidgets::button(this, "Button2", QStringLiteral("轉存成Excel"),
                                                    {416, 352, 113, 41}, ExportTextPixels);

    setTabOrder(m_picker, m_grid);
    setTabOrder(m_grid, exportButton);

    connect(m_picker, &QDateEdit::dateChanged, this, HandlerGuard::wrap([this] { DTP1Change(); }));
    connect(m_navigator, &TDBXNavigator::OnClick, this, HandlerGuard::wrap([this] { DBXNavigator2Click(); }));
    connect(m_grid, &TSMDBGrid::OnCellClick, this, HandlerGuard::wrap([this] { Set_Nav_Buttons(); }));
    connect(m_grid, &TSMDBGrid::OnChangeSelection, this, HandlerGuard::wrap([this] { Set_Nav_Buttons(); }));
    // Every move of the current line, whatever moved it, decides the delete rights again;
    // the orderer's text has followed the move by then (links hear of it first).
    connect(&m_data.lineSource, &DataSource::dataChange, this,
            HandlerGuard::wrap([this] { Set_Nav_Buttons(); }));
    // The listing re-read by anything but the page itself (the grid's refresh command) brings
    // its total along: the panel sums the lines the grid has just been given.
    connect(&m_data.lineSource, &DataSource::stateChange, this, HandlerGuard::wrap([this] {
        if (!m_listing && m_data.lines.isActive()) Set_Total(m_picker->date());
    }));
    connect(
        m_grid, &TSMDBGrid::OnGetCellParams, this,
        [this](TSMDBGrid *, Field *, QFont &, QColor &, QColor &background, bool) {
            SMDBGrid4GetCellParams(background);
        },
        Qt::DirectConnection);
    connect(exportButton, &QPushButton::clicked, this, HandlerGuard::wrap([this] { Button2Click(); }));
    m_data.lines.setBeforeDelete([this](const Dataset &lines) { checkDelete(lines); });
}

SummaryPage::~SummaryPage() {
    m_data.lines.setBeforeDelete(nullptr);
}

void SummaryPage::enter() {
    {
        // Setting the picker is no change by the user.
        const QSignalBlocker quiet(m_picker);
        m_picker->setDisplayFormat(Locale::current().formats().shortDateFormat);
        m_picker->setDate(Clock::current().now().date());
    }
    Order_Totle(m_picker->date());
    Set_Nav_Buttons();
}

void SummaryPage::DTP1Change() {
    Order_Totle(m_picker->date());
}

void SummaryPage::Order_Totle(const QDate &day) {
    try {
        const QScopedValueRollback listing(m_listing, true);
        SummaryStatements::openDay(m_data.lines, day);
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "day not listed", e);
        Dialogs::current().message(QStringLiteral("錯誤請找管理人"));
        Set_Nav_Buttons();
        return;
    }
    Set_Total(day);
    Set_Nav_Buttons();
}

void SummaryPage::Set_Total(const QDate &day) {
    try {
        if (const auto total = SummaryStatements::dayTotal(m_data.reads, day))
            showTotal(*total + QStringLiteral(" 元"));
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "day's total not read", e);
    }
}

void SummaryPage::showTotal(const QString &text) {
    // A long total is written smaller rather than cut: every digit of the day's sum counts.
    QFont font = PageWidgets::uiFont(TotalTextPixels);
    const int room = m_total->contentsRect().width() - 2 * m_total->margin() - 4;
    while (font.pixelSize() > MinimumTotalPixels && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPixelSize(font.pixelSize() - 1);
    m_total->setFont(font);
    m_total->setText(text);
}

void SummaryPage::DBXNavigator2Click() {
    Set_Total(m_picker->date());
}

bool SummaryPage::mayDelete(const QString &orderer) const {
    return m_session.userLevel() != 0 || orderer == m_session.userName();
}

void SummaryPage::Set_Nav_Buttons() {
    m_navigator->setVisibleButtons(mayDelete(m_orderer->text()) ? WithDelete : WithoutDelete);
}

void SummaryPage::checkDelete(const Dataset &lines) const {
    const Field *orderer = lines.findField(QStringLiteral("ord_cusomter"));
    if (!mayDelete(orderer ? orderer->asString() : QString()))
        throw DbError(QStringLiteral("Only the orderer or a manager may delete this order line; "
                                     "nothing was deleted."));
}

void SummaryPage::SMDBGrid4GetCellParams(QColor &background) {
    OddRowShading::apply(m_data.lines, background);
}

void SummaryPage::Button2Click() {
    // Nothing is caught here: a failure reaches the standard error box with its message.
    const QString path = SummaryStatements::exportPath(m_exportFolder, Clock::current().now());
    SummaryStatements::exportDay(m_data.connection, path, m_picker->date());
}
