// The bar itself: button sets, defaults, captions and hints, glyphs, sizing and layout.
#include "NavFixture.h"

#include <QHBoxLayout>
#include <QImage>

class TestNavigatorBar : public QObject {
    Q_OBJECT

private:
    static QList<TNavigateBtnX> members(TButtonSet set) {
        QList<TNavigateBtnX> list;
        for (int i = 0; i < NavButtonCount; ++i)
            if (set.contains(TNavigateBtnX(i))) list << TNavigateBtnX(i);
        return list;
    }
    static QList<int> visibleWidths(const TDBXNavigator &nav) {
        QList<int> widths;
        for (int i = 0; i < NavButtonCount; ++i)
            if (nav.visibleButtons().contains(TNavigateBtnX(i)))
                widths << nav.button(TNavigateBtnX(i))->width();
        return widths;
    }

private slots:
    void buttonSetsDecode_data() {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QList<TNavigateBtnX>>("buttons");
        QTest::newRow("3757") << 3757u << QList<TNavigateBtnX>{nbFirst,  nbPrior, nbNext,   nbLast,
                                                               nbDelete, nbPost,  nbCancel, nbRefresh};
        QTest::newRow("3629") << 3629u << QList<TNavigateBtnX>{nbFirst, nbPrior,  nbNext,   nbLast,
                                                               nbPost,  nbCancel, nbRefresh};
        QTest::newRow("2221") << 2221u
                              << QList<TNavigateBtnX>{nbFirst, nbPrior, nbNext, nbLast, nbDelete, nbRefresh};
        QTest::newRow("2093") << 2093u << QList<TNavigateBtnX>{nbFirst, nbPrior, nbNext, nbLast, nbRefresh};
        QTest::newRow("839661") << 839661u
                                << QList<TNavigateBtnX>{nbFirst,   nbPrior, nbNext,   nbLast,   nbInsert,
                                                        nbDelete,  nbEdit,  nbPost,   nbCancel, nbRefresh,
                                                        nbPreview, nbPrint, nbSearch, nbExit};
    }
    void buttonSetsDecode() {
        QFETCH(quint32, value);
        QFETCH(QList<TNavigateBtnX>, buttons);
        const TButtonSet set(value);
        QCOMPARE(members(set), buttons);
        QCOMPARE(set.count(), buttons.size());
        TButtonSet built;
        for (TNavigateBtnX b : buttons)
            built = built.with(b);
        QCOMPARE(built.value(), value);
        // Bits beyond the last button are not buttons.
        QCOMPARE(TButtonSet(value | 0x80000000u), set);
    }

    void newNavigatorDefaults() {
        QWidget window;
        TDBXNavigator nav(&window);
        QCOMPARE(nav.visibleButtons().value(), 839661u);
        QCOMPARE(nav.size(), QSize(280, 25)); // 241 x 25 grown to 14 buttons of 20
        QCOMPARE(nav.buttonWidth(), 20);
        QVERIFY(nav.confirmDelete());
        QCOMPARE(nav.jump(), 0);
        QCOMPARE(nav.showType(), stWidth);
        QCOMPARE(nav.buttonLayout(), blGlyphTop);
        QCOMPARE(nav.focusedButton(), nbFirst);
        QVERIFY(nav.fontSize() > 0);
        QVERIFY(!nav.hasBookmark());
        QVERIFY(!nav.dataSource());
        for (int i = 0; i < NavButtonCount; ++i) {
            const auto b = TNavigateBtnX(i);
            TNavButton *button = nav.button(b);
            QCOMPARE(button->index(), b);
            QCOMPARE(button->text(), NavButtonDefaults::caption(b));
            QCOMPARE(button->accessibleName(), button->text());
            QCOMPARE(button->hint(), NavButtonDefaults::hint(b));
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(button->autoRepeatClicks(), b == nbPrior || b == nbNext);
            // Without a data source only the exit button works.
            QCOMPARE(button->isEnabledTo(&nav), b == nbExit);
        }
        QCOMPARE(nav.button(nbPreview)->text(), QStringLiteral("預視"));
        QCOMPARE(nav.button(nbPreview)->hint(), QStringLiteral("F6 預覽"));
        QCOMPARE(nav.button(nbQuery)->hint(), QStringLiteral("F12 重組查詢條件"));
        // Hints stay out of sight unless switched on.
        QVERIFY(nav.button(nbFirst)->toolTip().isEmpty());
        nav.setShowHint(true);
        QCOMPARE(nav.button(nbFirst)->toolTip(), QStringLiteral("Ctrl+Home 首筆"));
    }

    void glyphsHaveTwoFramesAndTransparentCorner() {
        TDBXNavigator nav;
        for (int i = 0; i < NavButtonCount; ++i) {
            const auto b = TNavigateBtnX(i);
            const QString name = NavButtonDefaults::glyphName(b);
            const QImage bitmap(QStringLiteral(":/navigator/DBX_%1.bmp").arg(name));
            QVERIFY2(!bitmap.isNull(), qPrintable(name));
            QSize frame(14, 13);
            if (b == nbPrior || b == nbNext)
                frame = QSize(10, 13);
            else if ((b >= nbPreview && b <= nbExit) || b == nbCopy || b == nbPaste)
                frame = QSize(16, 16);
            QCOMPARE(bitmap.size(), QSize(frame.width() * 2, frame.height()));
            QColor ground(128, 128, 0);
            if (b == nbGoto)
                ground = QColor(192, 192, 192);
            else if (b == nbTools)
                ground = QColor(128, 0, 128);
            QCOMPARE(bitmap.pixelColor(0, frame.height() - 1), ground);
            QCOMPARE(bitmap.colorCount(), b == nbMark ? 256 : 16);

            const TNavButton *button = nav.button(b);
            QCOMPARE(button->enabledGlyph().size(), frame);
            QCOMPARE(button->disabledGlyph().size(), frame);
            const QImage enabled = button->enabledGlyph().toImage();
            const QImage disabled = button->disabledGlyph().toImage();
            QCOMPARE(enabled.pixelColor(0, frame.height() - 1).alpha(), 0);
            QVERIFY2(enabled != disabled, qPrintable(name));
            // Something is drawn, and the ground shows through elsewhere.
            int opaque = 0;
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x)
                    opaque += enabled.pixelColor(x, y).alpha() == 255;
            QVERIFY2(opaque > 8 && opaque < frame.width() * frame.height(), qPrintable(name));
        }
    }

    void captionsAndHints() {
        TDBXNavigator nav;
        // Fewer lines than buttons change only the first buttons; an empty line keeps its
        // default on reload but is given as it is on assignment.
        nav.setCaptions({QStringLiteral("到頭"), QString(), QStringLiteral("往前")});
        QCOMPARE(nav.button(nbFirst)->text(), QStringLiteral("到頭"));
        QCOMPARE(nav.button(nbRW)->text(), QString());
        QCOMPARE(nav.button(nbPrior)->text(), QStringLiteral("往前"));
        QCOMPARE(nav.button(nbPrior)->accessibleName(), QStringLiteral("往前"));
        QCOMPARE(nav.button(nbNext)->text(), QStringLiteral("下筆"));
        nav.reloadCaptions();
        QCOMPARE(nav.button(nbRW)->text(), QStringLiteral("前50"));
        QCOMPARE(nav.button(nbFirst)->text(), QStringLiteral("到頭"));
        // Lines beyond the last button are ignored.
        QStringList many(30, QStringLiteral("x"));
        nav.setCaptions(many);
        QCOMPARE(nav.button(nbPaste)->text(), QStringLiteral("x"));

        nav.setHints(NavButtonDefaults::hints());
        QVERIFY(nav.hints().isEmpty());
        nav.setHints({QString(), QStringLiteral("往回跳")});
        QCOMPARE(nav.hints().size(), 2);
        QCOMPARE(nav.button(nbFirst)->hint(), QStringLiteral("Ctrl+Home 首筆"));
        QCOMPARE(nav.button(nbRW)->hint(), QStringLiteral("往回跳"));
        QCOMPARE(nav.button(nbRW)->accessibleDescription(), QStringLiteral("往回跳"));
    }

    void fontSizeIgnoresNonPositive() {
        TDBXNavigator nav;
        nav.setFontSize(8);
        QCOMPARE(nav.fontSize(), 8);
        QCOMPARE(nav.button(nbLast)->font().pointSize(), 8);
        nav.setFontSize(0);
        nav.setFontSize(-3);
        QCOMPARE(nav.fontSize(), 8);
        QCOMPARE(nav.button(nbFirst)->font().pointSize(), 8);
    }

    void workedLayoutValues() {
        QWidget page;
        // The summary navigator: 270 wide, five buttons, then six with delete.
        TDBXNavigator summary(&page);
        summary.setVisibleButtons(TButtonSet(2093));
        summary.setBounds(QRect(344, 0, 270, 38));
        QCOMPARE(summary.geometry(), QRect(344, 0, 270, 38));
        QCOMPARE(summary.buttonWidth(), 54);
        QCOMPARE(visibleWidths(summary), QList<int>(5, 54));
        QCOMPARE(summary.button(nbRefresh)->geometry(), QRect(4 * 54, 0, 54, 38));
        summary.setVisibleButtons(TButtonSet(2221));
        QCOMPARE(summary.width(), 270);
        QCOMPARE(visibleWidths(summary), QList<int>(6, 45));
        QCOMPARE(summary.button(nbDelete)->x(), 4 * 45);

        // The menu navigator: 320 wide; switching 8, 7, 8, 7 only ever rounds down.
        TDBXNavigator menu(&page);
        menu.setVisibleButtons(TButtonSet(3757));
        menu.setBounds(QRect(280, 8, 320, 41));
        QCOMPARE(menu.buttonWidth(), 40);
        QCOMPARE(visibleWidths(menu), QList<int>(8, 40));
        menu.setVisibleButtons(TButtonSet(3629));
        QCOMPARE(menu.width(), 315);
        QCOMPARE(visibleWidths(menu), QList<int>(7, 45));
        menu.setVisibleButtons(TButtonSet(3757));
        QCOMPARE(menu.width(), 312);
        QCOMPARE(menu.buttonWidth(), 39);
        menu.setVisibleButtons(TButtonSet(3629));
        QCOMPARE(menu.width(), 308);
        QCOMPARE(menu.buttonWidth(), 44);
        QCOMPARE(menu.pos(), QPoint(280, 8));

        // The permission navigator.
        TDBXNavigator accounts(&page);
        accounts.setVisibleButtons(TButtonSet(3757));
        accounts.setBounds(QRect(248, 0, 344, 49));
        QCOMPARE(accounts.buttonWidth(), 43);
        // Hidden buttons stay out of the bar.
        QVERIFY(accounts.button(nbInsert)->isHidden());
        QVERIFY(accounts.button(nbInsert)->x() > accounts.width());

        // A resize of a shown bar goes through the same rule.
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        accounts.resize(350, 49);
        QCOMPARE(accounts.width(), 344);
    }

    void loadingAppliesStoredSettingsAtOnce() {
        QWidget page;
        TDBXNavigator nav(&page);
        nav.beginLoad();
        // A stored form gives the bounds before the buttons: nothing is laid out meanwhile.
        nav.setBounds(QRect(344, 0, 270, 38));
        nav.setVisibleButtons(TButtonSet(2093));
        nav.setCaptions({QStringLiteral("頭")});
        QCOMPARE(nav.geometry(), QRect(344, 0, 270, 38));
        nav.endLoad();
        QCOMPARE(nav.geometry(), QRect(344, 0, 270, 38));
        QCOMPARE(visibleWidths(nav), QList<int>(5, 54));
        QCOMPARE(nav.button(nbFirst)->text(), QStringLiteral("頭"));
        QVERIFY(nav.button(nbExit)->isEnabledTo(&nav));
        QVERIFY(!nav.button(nbFirst)->isEnabledTo(&nav));
    }

    void emptySetKeepsOneButtonOfRoom() {
        QWidget page;
        TDBXNavigator nav(&page);
        nav.setVisibleButtons(TButtonSet());
        nav.setBounds(QRect(0, 0, 5, 5));
        QCOMPARE(nav.size(), QSize(20, 18));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        nav.resize(1, 1);
        QCOMPARE(nav.size(), QSize(20, 18));
        // Five buttons need five minimum buttons of room.
        nav.setVisibleButtons(TButtonSet(2093));
        QCOMPARE(nav.size(), QSize(100, 18));
    }

    void layoutManagedBarSpreadsTheGap() {
        QWidget page;
        auto *box = new QHBoxLayout(&page);
        box->setContentsMargins(0, 0, 0, 0);
        auto *nav = new TDBXNavigator;
        box->addWidget(nav);
        nav->setVisibleButtons(TButtonSet(3757));
        page.resize(323, 41);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(nav->width(), 323);
        const QList<int> widths = visibleWidths(*nav);
        int sum = 0;
        for (int w : widths) {
            QVERIFY(w == 40 || w == 41);
            sum += w;
        }
        QCOMPARE(sum, 323);
        // The buttons touch and fill the bar.
        QCOMPARE(nav->button(nbRefresh)->geometry().right(), 322);
    }

    void stackedLayout() {
        QWidget page;
        TDBXNavigator nav(&page);
        nav.setVisibleButtons(TButtonSet(2093));
        nav.setShowType(stHeight);
        nav.setBounds(QRect(0, 0, 60, 205));
        QCOMPARE(nav.button(nbFirst)->geometry(), QRect(0, 0, 60, 41));
        QCOMPARE(nav.button(nbRefresh)->geometry(), QRect(0, 4 * 41, 60, 41));
        // Stacked bars need one minimum button of height per button, not of width.
        nav.setBounds(QRect(0, 0, 10, 10));
        QCOMPARE(nav.size(), QSize(18, 100));
        nav.setShowType(stWidth);
        QCOMPARE(nav.button(nbPrior)->geometry().topLeft(), QPoint(nav.buttonWidth(), 0));
    }
};

QTEST_MAIN(TestNavigatorBar)
#include "tst_navigator_bar.moc"
