#include "GridFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QTest>

GridFixture::GridFixture(int rows, const QString &gridName, bool open)
    : items(new Dataset(QStringLiteral("ADOQuery2")))
    , source(new DataSource)
    , window(new QWidget) {
    for (int i = 1; i <= rows; ++i)
        db.addMenu(QStringLiteral("shopA"), QStringLiteral("tea"), QStringLiteral("item %1").arg(i),
                   QStringLiteral("中"), 10 * i);
    items->setConnection(&db.connection());
    items->statement().add(QStringLiteral("select men_name, men_cap, men_price from menu order by men_id"));
    items->setFieldDefs({{QStringLiteral("men_name"), QStringLiteral("飲料名稱"), 30, true, false},
                         {QStringLiteral("men_cap"), QStringLiteral("杯量"), 6, true, false},
                         {QStringLiteral("men_price"), QStringLiteral("售價"), 0, true, false}});
    source->setDataset(items);
    if (open) items->open();
    // The main window's font, which the grids take over.
    QFont formFont(QStringLiteral("Noto Sans CJK TC"));
    formFont.setPixelSize(11);
    window->setFont(formFont);
    window->resize(640, 420);
    // The selection styles the item grid and the order grid are placed with.
    const GridSettings settings = gridName == QLatin1String("SMDBGrid3")   ? GridSettings::tickMany()
                                  : gridName == QLatin1String("SMDBGrid4") ? GridSettings::tickOneRow()
                                                                           : GridSettings();
    grid = TSMDBGrid::place(gridName, source, window.get(), settings);
    grid->setGeometry(0, 0, 401, 305);
    QObject::connect(
        grid, &TSMDBGrid::OnChangeSelection, grid, [this] { ++changes; }, Qt::DirectConnection);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("grid window not exposed");
    grid->setFocus();
}

GridFixture::~GridFixture() {
    window.reset();
    delete source;
    delete items;
}

QList<int> GridFixture::tickedRecNos() {
    const QByteArray here = items->bookmark();
    QList<int> out;
    for (const QByteArray &bookmark : grid->selectedRows().items()) {
        items->gotoBookmark(bookmark);
        out.append(items->recNo());
    }
    if (!here.isEmpty()) items->gotoBookmark(here);
    return out;
}

int GridFixture::tableRows() {
    return db.scalar(QStringLiteral("select count(*) from menu")).toInt();
}

QRect GridFixture::cellRect(int row, int column) const {
    const QRect r = grid->visualRect(grid->model()->index(row, column));
    return r.translated(grid->viewport()->mapTo(grid, QPoint(0, 0)));
}

QRect GridFixture::indicatorRect(int row) const {
    QHeaderView *h = grid->verticalHeader();
    const QPoint origin = h->viewport()->mapTo(grid, QPoint(0, 0));
    return QRect(origin.x(), origin.y() + h->sectionViewportPosition(row), grid->widthOfIndicator(),
                 grid->defaultRowHeight());
}

QWidget *GridFixture::corner() const {
    return grid->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
}

void GridFixture::clickCell(int row, int column, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    const QRect r = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), button, mods, r.center());
}

void GridFixture::clickBox(int row, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    QHeaderView *h = grid->verticalHeader();
    QTest::mouseClick(h->viewport(), button, mods, QPoint(6, h->sectionViewportPosition(row) + 8));
}

void GridFixture::clickCorner(Qt::MouseButton button) {
    QTest::mouseClick(corner(), button, Qt::NoModifier, QPoint(5, 5));
}

QImage GridFixture::grab() const {
    return grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
