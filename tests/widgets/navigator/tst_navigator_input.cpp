// Keyboard, mouse focus and the auto-repeat of the Prior and Next buttons.
#include "NavFixture.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

class TestNavigatorInput : public QObject {
    Q_OBJECT

private:
    static QList<TNavigateBtnX> marked(const NavFixture &f) {
        QList<TNavigateBtnX> list;
        for (int i = 0; i < NavButtonCount; ++i)
            if (f.button(TNavigateBtnX(i))->showFocus()) list << TNavigateBtnX(i);
        return list;
    }

private slots:
    void arrowKeysStopAtBothEnds() {
        NavFixture f(3);
        f.nav->setVisibleButtons(TButtonSet(3757));
        f.nav->setTabStop(true);
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.nav->setFocus();
        QTRY_VERIFY(f.nav->hasFocus());
        QCOMPARE(marked(f), QList<TNavigateBtnX>{nbFirst});

        QTest::keyClick(f.nav, Qt::Key_Left);
        QCOMPARE(f.nav->focusedButton(), nbFirst);
        QTest::keyClick(f.nav, Qt::Key_Right); // nbRW is hidden
        QCOMPARE(f.nav->focusedButton(), nbPrior);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(f.nav, Qt::Key_Right);
        QCOMPARE(f.nav->focusedButton(), nbRefresh);
        QCOMPARE(marked(f), QList<TNavigateBtnX>{nbRefresh});
        QTest::keyClick(f.nav, Qt::Key_Left); // nbMark and beyond are hidden; back to nbCancel
        QCOMPARE(f.nav->focusedButton(), nbCancel);

        // Space clicks the focused button, but only an enabled one.
        while (f.nav->focusedButton() != nbNext)
            QTest::keyClick(f.nav, Qt::Key_Left);
        QTest::keyClick(f.nav, Qt::Key_Space);
        QCOMPARE(f.data.recNo(), 2);
        QTest::keyClick(f.nav, Qt::Key_Left);
        QTest::keyClick(f.nav, Qt::Key_Left);
        QCOMPARE(f.nav->focusedButton(), nbFirst);
        QTest::keyClick(f.nav, Qt::Key_Space);
        QCOMPARE(f.data.recNo(), 1);
        f.clicks.clear();
        QTest::keyClick(f.nav, Qt::Key_Space); // at the first record nbFirst is disabled
        QVERIFY(f.clicks.isEmpty());

        // Losing the focus takes the mark away.
        auto *edit = new QLineEdit(&f.window);
        edit->move(0, 45);
        edit->show();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QVERIFY(marked(f).isEmpty());
    }

    void mousePressMovesTheFocusedButton() {
        NavFixture f(3);
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        // Without tab stop the bar never takes the focus.
        f.click(nbLast);
        QCOMPARE(f.nav->focusedButton(), nbLast);
        QVERIFY(!f.nav->hasFocus());
        f.nav->setTabStop(true);
        f.click(nbFirst);
        QVERIFY(f.nav->hasFocus());
        QCOMPARE(f.nav->focusedButton(), nbFirst);
        QCOMPARE(marked(f), QList<TNavigateBtnX>{nbFirst});
    }

    void focusRectangleIsPainted() {
        NavFixture f(1);
        TNavButton *b = f.button(nbInsert);
        const QImage plain = b->grab().toImage();
        b->setShowFocus(true);
        const QImage focused = b->grab().toImage();
        // Something changed along the top edge of the rectangle, 3 pixels in, and nowhere
        // outside it.
        int changedOnEdge = 0;
        for (int x = 3; x < b->width() - 3; ++x)
            changedOnEdge += plain.pixel(x, 3) != focused.pixel(x, 3);
        QVERIFY(changedOnEdge > 2);
        for (int x = 0; x < b->width(); ++x)
            QCOMPARE(plain.pixel(x, 1), focused.pixel(x, 1));
    }

    void quickClickMovesOnce() {
        NavFixture f(5);
        f.click(nbNext);
        QCOMPARE(f.data.recNo(), 2);
        QCOMPARE(f.clicks, QList<TNavigateBtnX>{nbNext});
        QVERIFY(!f.button(nbNext)->repeatTimer()->isActive());
        QTest::qWait(TNavButton::InitRepeatPause + 150);
        QCOMPARE(f.data.recNo(), 2);
    }

    void holdingNextRepeats() {
        NavFixture f(40);
        TNavButton *next = f.button(nbNext);
        // When each click came, measured from the press.
        QList<qint64> at;
        QElapsedTimer clock;
        connect(f.nav, &TDBXNavigator::OnClick, f.nav,
                [&](TDBXNavigator *, TNavigateBtnX) { at << clock.elapsed(); });
        clock.start();
        QTest::mousePress(next, Qt::LeftButton);
        QCOMPARE(f.data.recNo(), 2); // at once
        QCOMPARE(next->repeatTimer()->interval(), 400);
        QVERIFY(next->repeatTimer()->isActive());
        QTest::qWait(250);
        QCOMPARE(f.data.recNo(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 5, 5000);
        QCOMPARE(next->repeatTimer()->interval(), 100);
        QTest::mouseRelease(next, Qt::LeftButton);
        QVERIFY(!next->repeatTimer()->isActive());
        const int stoppedAt = f.data.recNo();
        QTest::qWait(300);
        QCOMPARE(f.data.recNo(), stoppedAt);
        // One move per click; the first repeat after 400 ms, the later ones 100 ms apart.
        QCOMPARE(at.size(), stoppedAt - 1);
        QVERIFY(at[1] - at[0] >= 400);
        for (int i = 2; i < at.size(); ++i)
            QVERIFY2(at[i] - at[1] >= 100 * (i - 1) - 15, qPrintable(QString::number(at[i] - at[1])));
        // Not the 400 ms pause again: four clicks after the first repeat fit well in 1.5 s.
        QVERIFY(at[4] - at[1] < 1500);
    }

    void repeatingStopsAtTheEnd() {
        NavFixture f(3);
        TNavButton *next = f.button(nbNext);
        QTest::mousePress(next, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!next->isEnabled(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!next->repeatTimer()->isActive(), 1000);
        QCOMPARE(f.current(), QStringLiteral("item1"));
        QTest::mouseRelease(next, Qt::LeftButton);
        // Two moves and the one that found the end.
        QCOMPARE(f.clicks.size(), 3);
    }

    void repeatingFollowsTheMouseCapture() {
        NavFixture f(60);
        TNavButton *next = f.button(nbNext);
        const QPoint inside = next->rect().center();
        const QPoint outside(inside.x(), next->height() + 30); // below the bar
        QTest::mousePress(next, Qt::LeftButton, {}, inside);
        QTRY_VERIFY_WITH_TIMEOUT(f.clicks.size() >= 3, 3000);

        // Dragged off the held button: it pops up and no click comes, but the hold goes on.
        QTest::mouseMove(next, outside);
        QVERIFY(!next->isDown());
        int before = f.clicks.size();
        QTest::qWait(TNavButton::InitRepeatPause);
        QVERIFY(f.clicks.size() <= before + 1); // a tick already queued may still land
        before = f.clicks.size();
        QTest::qWait(TNavButton::InitRepeatPause);
        QCOMPARE(f.clicks.size(), before);
        // Back onto it: repeating resumes.
        QTest::mouseMove(next, inside);
        QVERIFY(next->isDown());
        QTRY_VERIFY_WITH_TIMEOUT(f.clicks.size() >= before + 3, 3000);

        QTest::mouseRelease(next, Qt::LeftButton, {}, inside);

        // A press whose click brings up a modal box (a question, an error) loses the capture
        // to it: nothing clicks while the box is up, nor after it, until the next press.
        int whileModal = -1;
        bool shown = false;
        connect(f.nav, &TDBXNavigator::OnClick, f.nav, [&](TDBXNavigator *, TNavigateBtnX) {
            if (shown) return;
            shown = true;
            QDialog box(&f.window);
            box.setModal(true);
            const int atShow = f.clicks.size();
            QTimer::singleShot(TNavButton::InitRepeatPause + 3 * TNavButton::RepeatPause, &box, [&] {
                whileModal = f.clicks.size() - atShow;
                box.accept();
            });
            box.exec();
        });
        QTest::mousePress(next, Qt::LeftButton, {}, inside); // returns when the box has closed
        QCOMPARE(whileModal, 0);
        QVERIFY(!next->isDown());
        before = f.clicks.size();
        QTest::qWait(3 * TNavButton::RepeatPause);
        QTest::mouseMove(next, inside + QPoint(1, 0));
        QTest::qWait(3 * TNavButton::RepeatPause);
        QTest::mouseRelease(next, Qt::LeftButton, {}, inside);
        QCOMPARE(f.clicks.size(), before); // the release clicks nothing either
        const int recNo = f.data.recNo();
        QCOMPARE(recNo, f.clicks.size() + 1);

        // The next press holds the capture afresh.
        QTest::mousePress(next, Qt::LeftButton, {}, inside);
        QTRY_VERIFY_WITH_TIMEOUT(f.data.recNo() >= recNo + 3, 3000);
        QTest::mouseRelease(next, Qt::LeftButton, {}, inside);
        QVERIFY(!next->repeatTimer()->isActive());
    }

    void holdingPriorRepeatsBackwards() {
        NavFixture f(6);
        f.click(nbLast);
        TNavButton *prior = f.button(nbPrior);
        QTest::mousePress(prior, Qt::LeftButton);
        QCOMPARE(f.data.recNo(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(f.data.recNo(), 4, 3000);
        QTest::mouseRelease(prior, Qt::LeftButton);
        QVERIFY(!prior->repeatTimer()->isActive());
    }
};

QTEST_MAIN(TestNavigatorInput)
#include "tst_navigator_input.moc"
