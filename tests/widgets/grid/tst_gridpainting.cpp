#include "Field.h"
#include "GridFixture.h"

#include "DatasetTableModel.h"
#include "TDBXNavigator.h"
#include "TNavButton.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

namespace {
const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);

// The program's odd-row shading: odd record numbers money green.
void shadeOddRows(GridFixture &f, QList<int> *seen = nullptr) {
    QObject::connect(
        f.grid, &TSMDBGrid::OnGetCellParams, f.grid,
        [&f, seen](TSMDBGrid *, Field *, QFont &, QColor &, QColor &background, bool) {
            const int recNo = f.items->recNo();
            if (seen) seen->append(recNo);
            if (recNo % 2 == 1) background = kMoneyGreen;
        },
        Qt::DirectConnection);
}

// Where anything but the base colour is painted in the grid's viewport.
QRect inkInViewport(GridFixture &f, const QImage &image) {
    const QRect area = QRect(f.grid->viewport()->mapTo(f.grid, QPoint(0, 0)), f.grid->viewport()->size());
    const QColor base = f.grid->palette().color(QPalette::Base);
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != base) ink |= QRect(x, y, 1, 1);
    return ink;
}

// The empty-grid text: one line in the middle of the grid's client area.
void checkEmptyText(GridFixture &f) {
    const QRect ink = inkInViewport(f, f.grab());
    QVERIFY(ink.isValid());
    const QPoint middle = f.grid->contentsRect().center();
    QVERIFY2(qAbs(ink.center().x() - middle.x()) <= 3, qPrintable(QString::number(ink.center().x())));
    QVERIFY2(qAbs(ink.center().y() - middle.y()) <= 3, qPrintable(QString::number(ink.center().y())));
    QVERIFY(ink.height() < 30);
}

// A pixel near the right end of a data cell, clear of its text.
QColor cellColour(GridFixture &f, const QImage &image, int row, int column) {
    const QRect r = f.cellRect(row, column);
    return image.pixelColor(r.right() - 4, r.center().y());
}
} // namespace

class TestGridPainting : public QObject {
    Q_OBJECT
private slots:
    void closedDatasetShowsTheEmptyText() {
        GridFixture f(3, QStringLiteral("SMDBGrid3"), false);
        const QImage image = f.grab();
        checkEmptyText(f);
        QCOMPARE(f.grid->model()->rowCount(), 0);
        const QColor base = f.grid->palette().color(QPalette::Base);

        // Opened: the text is gone and rows show.
        f.items->open();
        const QImage opened = f.grab();
        QVERIFY(opened != image);
        QCOMPARE(cellColour(f, opened, 1, 1), base);
    }

    void aDestroyedDatasetLeavesTheGridEmptyAndTheNavigatorDisabled() {
        GridFixture f(3);
        auto *nav = new TDBXNavigator(f.window.get());
        nav->setDataSource(f.source);
        nav->setVisibleButtons(TButtonSet::all());
        nav->setGeometry(0, 310, 23 * 24, 30);
        nav->show();
        f.items->setRecNo(2);
        QVERIFY(nav->button(nbNext)->isEnabled());
        delete f.items;
        f.items = nullptr;
        QCOMPARE(f.grid->dataset(), nullptr);
        QCOMPARE(f.grid->model()->rowCount(), 0);
        QCOMPARE(f.grid->model()->columnCount(), 0);
        checkEmptyText(f);
        for (int b = 0; b < NavButtonCount; ++b)
            QCOMPARE(nav->button(TNavigateBtnX(b))->isEnabled(), b == nbExit);
        nav->grab();
        // Nothing to act on: a click does nothing.
        QTest::mouseClick(nav->button(nbNext), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    void aCellParametersHandlerThatMovesTheDatasetChangesNothing() {
        GridFixture f(6);
        int asked = 0;
        QObject::connect(
            f.grid, &TSMDBGrid::OnGetCellParams, f.grid,
            [&](TSMDBGrid *, Field *, QFont &, QColor &, QColor &, bool) {
                ++asked;
                f.items->next();
            },
            Qt::DirectConnection);
        f.items->setRecNo(3);
        QCoreApplication::processEvents();
        asked = 0;
        f.grab();
        QVERIFY(asked > 0);
        // The whole position is back, last row's EOF included, and the view agrees.
        QCOMPARE(f.items->recNo(), 3);
        QVERIFY(!f.items->bof());
        QVERIFY(!f.items->eof());
        QCOMPARE(f.grid->currentIndex().row(), 2);
        // Painting asked for no further painting.
        asked = 0;
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(asked, 0);
    }

    void oddRecordsAreGreenAlsoAfterScrolling() {
        GridFixture f(60);
        QList<int> seen;
        shadeOddRows(f, &seen);
        const QColor base = f.grid->palette().color(QPalette::Base);
        auto check = [&](const QImage &image) {
            const int top = f.grid->topRow();
            const int rows = f.grid->viewport()->height() / f.grid->verticalHeader()->defaultSectionSize();
            for (int row = top; row < top + rows; ++row) {
                const QColor expected = (row + 1) % 2 == 1 ? kMoneyGreen : base;
                QCOMPARE(cellColour(f, image, row, 1), expected);
            }
        };
        check(f.grab());
        QVERIFY(seen.contains(1) && seen.contains(2));
        // Painting asked with each painted row current, and put the current record back.
        QCOMPARE(f.items->recNo(), 1);

        f.items->setRecNo(40);
        QTest::qWait(20);
        QVERIFY(f.grid->topRow() > 0);
        check(f.grab());
        QCOMPARE(f.items->recNo(), 40);
        // One more row: every visible line changes colour.
        const int top = f.grid->topRow();
        const QImage before = f.grab();
        f.grid->verticalScrollBar()->setValue(f.grid->verticalScrollBar()->value() + 1);
        QCOMPARE(f.grid->topRow(), top + 1);
        const QImage after = f.grab();
        const QRect line = f.cellRect(top + 1, 1);
        QCOMPARE(before.pixelColor(line.right() - 4, line.center().y()), cellColour(f, before, top + 1, 1));
        QVERIFY(after.pixelColor(line.right() - 4, line.center().y()) !=
                before.pixelColor(line.right() - 4, line.center().y()));
        check(after);
    }

    void tickedRowsUseHighlightColoursUnlessShaded() {
        GridFixture f(6);
        const QColor highlight = f.grid->palette().color(QPalette::Highlight);
        const QColor base = f.grid->palette().color(QPalette::Base);
        f.clickBox(1);
        f.clickBox(2);
        f.items->setRecNo(4);
        QImage image = f.grab();
        QCOMPARE(cellColour(f, image, 1, 1), highlight);
        QCOMPARE(cellColour(f, image, 2, 1), highlight);
        QCOMPARE(cellColour(f, image, 4, 1), base);
        // The current cell of the focused grid, and only that cell.
        QCOMPARE(cellColour(f, image, 3, 0), highlight);
        QCOMPARE(cellColour(f, image, 3, 1), base);
        // With the shading handler, odd ticked rows turn green, even ones keep the highlight.
        shadeOddRows(f);
        f.grid->viewport()->update();
        image = f.grab();
        QCOMPARE(cellColour(f, image, 1, 1), highlight);
        QCOMPARE(cellColour(f, image, 2, 1), kMoneyGreen);
        QCOMPARE(cellColour(f, image, 0, 1), kMoneyGreen);
        QCOMPARE(cellColour(f, image, 4, 1), kMoneyGreen);
        QCOMPARE(cellColour(f, image, 3, 0), highlight);
        QCOMPARE(cellColour(f, image, 3, 1), base);
    }

    void indicatorShowsBoxAndImageAtTheirPixels() {
        GridFixture f(5);
        QCOMPARE(f.grid->widthOfIndicator(), 23);
        f.clickBox(3);        // ticked, then current
        f.items->setRecNo(2); // current, not ticked
        const QImage image = f.grab();
        const QColor face = f.grid->palette().color(QPalette::Button);
        const QRect current = f.indicatorRect(1);
        const QRect ticked = f.indicatorRect(3);
        const QRect plain = f.indicatorRect(4);
        const int imageRow = 3 + 5; // the images' middle line, 3 pixels below the cell's top
        // Current row: the blue arrow from pixel 15.
        QCOMPARE(image.pixelColor(current.left() + 15, current.top() + imageRow), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(current.left() + 18, current.top() + imageRow), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(current.left() + 21, current.top() + imageRow), face);
        // Ticked row that is not current: the black dot.
        QCOMPARE(image.pixelColor(ticked.left() + 15, ticked.top() + imageRow), QColor(Qt::black));
        QCOMPARE(image.pixelColor(ticked.left() + 19, ticked.top() + imageRow), face);
        // No image on a plain row; its box differs from the ticked one only in pixels 0 to 12.
        QCOMPARE(image.pixelColor(plain.left() + 15, plain.top() + imageRow), face);
        bool boxDiffers = false;
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 23; ++x) {
                const bool differs = image.pixelColor(ticked.left() + x, ticked.top() + y) !=
                                     image.pixelColor(plain.left() + x, plain.top() + y);
                if (x <= 12)
                    boxDiffers = boxDiffers || differs;
                else if (x < 15)
                    QVERIFY2(!differs, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(boxDiffers);

        // A new record shows the insert image (an asterisk) in its row.
        f.items->append();
        const QImage inserting = f.grab();
        const QRect added = f.indicatorRect(5);
        QCOMPARE(inserting.pixelColor(added.left() + 15, added.top() + imageRow), QColor(Qt::black));
        QCOMPARE(inserting.pixelColor(added.left() + 19, added.top() + imageRow), QColor(Qt::black));
        f.items->cancel();
    }

    void cornerShowsThePopupTriangle() {
        GridFixture f(2, QStringLiteral("SMDBGrid1"));
        const QImage image = f.corner()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int height = f.grid->computeTitleHeight();
        const QRect inner(1, 1, f.grid->widthOfIndicator() - 2, height - 2);
        const int dx = (inner.width() - 7) / 2;
        const int dy = (inner.height() - 7) / 2;
        const QPoint tip(inner.left() + dx + 3, inner.top() + inner.height() - dy - 1);
        QCOMPARE(image.pixelColor(inner.left() + dx + 3, inner.top() + dy + 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(tip.x(), tip.y() - 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(inner.left() + dx + 1, inner.top() + dy + 1), QColor(Qt::black));
        QVERIFY(image.pixelColor(inner.left(), inner.top() + dy + 1) != QColor(Qt::black));
        QVERIFY(image.pixelColor(inner.left() + dx + 3, inner.top() + dy - 2) != QColor(Qt::black));
    }

    void titleRowFollowsTheCaptions() {
        GridFixture f(2);
        const QFontMetrics fm(f.grid->titleFont());
        int line = 0;
        for (int c = 0; c < f.grid->model()->columnCount(); ++c)
            line = std::max(line, fm.boundingRect(f.grid->datasetModel()->caption(c)).height());
        // One line of caption: its height and 5 pixels, whatever the pixel count says.
        QCOMPARE(f.grid->titleHeight().PixelCount, 24);
        const int oneLine = f.grid->computeTitleHeight();
        QVERIFY(oneLine >= fm.height() + 5);
        QVERIFY(oneLine <= line + 5);
        QCOMPARE(f.grid->horizontalHeader()->height(), oneLine + 1);
        // Narrowing a column until its caption wraps adds one text line.
        const QString caption = f.grid->datasetModel()->caption(0);
        f.grid->horizontalHeader()->resizeSection(0, fm.horizontalAdvance(caption) / 2 + 8);
        const int wrapped = f.grid->computeTitleHeight();
        QVERIFY2(wrapped >= oneLine + fm.height() - 1, qPrintable(QString::number(wrapped)));
        QVERIFY2(wrapped < oneLine + 2 * fm.height(), qPrintable(QString::number(wrapped)));
        QCOMPARE(f.grid->horizontalHeader()->height(), wrapped + 1);
        // Without word wrap the caption stays on one line.
        f.grid->setExOptions(f.grid->exOptions() & ~TExOptions(eoTitleWordWrap));
        QCOMPARE(f.grid->computeTitleHeight(), oneLine);
    }

    void indicatorWidthRule() {
        GridFixture f(1, QStringLiteral("SMDBGrid2"));
        QCOMPARE(f.grid->widthOfIndicator(), 11);
        f.grid->setWidthOfIndicator(4);
        QCOMPARE(f.grid->widthOfIndicator(), 11);
        // Check boxes need 13 + 4 + 6 pixels, and the width follows the option both ways.
        f.grid->setExOptions(f.grid->exOptions() | eoCheckBoxSelect);
        QCOMPARE(f.grid->widthOfIndicator(), 23);
        f.grid->setWidthOfIndicator(15);
        QCOMPARE(f.grid->widthOfIndicator(), 23);
        f.grid->setExOptions(f.grid->exOptions() & ~TExOptions(eoCheckBoxSelect));
        QCOMPARE(f.grid->widthOfIndicator(), 11);
        QCOMPARE(f.grid->verticalHeader()->width(), 12);
    }
};

QTEST_MAIN(TestGridPainting)
#include "tst_gridpainting.moc"
