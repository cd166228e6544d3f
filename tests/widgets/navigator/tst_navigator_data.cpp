// The navigator on real datasets: enabling rules, the buttons' actions and the click events.
#include "NavFixture.h"

#include <QApplication>

class TestNavigatorData : public QObject {
    Q_OBJECT

private slots:
    void emptyDatasetEnablesOnlyWhatMakesSense() {
        NavFixture f(0);
        for (TNavigateBtnX b :
             {nbFirst, nbPrior, nbNext, nbLast, nbRW, nbFF, nbDelete, nbPost, nbCancel, nbGoto})
            QVERIFY2(!f.enabled(b), qPrintable(NavButtonDefaults::name(b)));
        // The menu list can be modified: insert and refresh work on an empty list.
        for (TNavigateBtnX b : {nbInsert, nbEdit, nbRefresh, nbMark, nbPrint, nbQuery, nbExit})
            QVERIFY2(f.enabled(b), qPrintable(NavButtonDefaults::name(b)));
    }

    void readOnlyDatasetDisablesEditing() {
        NavFixture f(3, QStringLiteral("select men_merchant, count(*) from menu group by men_merchant"));
        QVERIFY(!f.data.canModify());
        for (TNavigateBtnX b : {nbInsert, nbDelete, nbEdit, nbRefresh, nbPost, nbCancel})
            QVERIFY2(!f.enabled(b), qPrintable(NavButtonDefaults::name(b)));
        QVERIFY(f.enabled(nbNext));
    }

    void readOnlyConnectionDisablesEditing() {
        // The menu list, which can modify, on a connection opened read-only: nothing can.
        NavFixture ro(3);
        ro.data.close();
        Connection readOnly;
        readOnly.setDatabaseFile(ro.db.path());
        readOnly.setForceReadOnly(true);
        readOnly.open();
        ro.data.setConnection(&readOnly);
        ro.data.open();
        QVERIFY(!ro.data.canModify());
        for (TNavigateBtnX b : {nbInsert, nbDelete, nbEdit, nbRefresh, nbPost, nbCancel})
            QVERIFY2(!ro.enabled(b), qPrintable(NavButtonDefaults::name(b)));
        // Moving keeps it so.
        ro.click(nbNext);
        QCOMPARE(ro.current(), QStringLiteral("item2"));
        for (TNavigateBtnX b : {nbInsert, nbDelete, nbEdit})
            QVERIFY2(!ro.enabled(b), qPrintable(NavButtonDefaults::name(b)));
        QVERIFY(ro.dialogs.texts().isEmpty());
        ro.data.close();
    }

    void movingUpdatesTheEnds() {
        NavFixture f(3);
        // At the first record BOF is set: nothing before it.
        for (TNavigateBtnX b : {nbFirst, nbPrior, nbRW})
            QVERIFY(!f.enabled(b));
        for (TNavigateBtnX b : {nbNext, nbLast, nbFF, nbDelete})
            QVERIFY(f.enabled(b));
        f.click(nbNext);
        QCOMPARE(f.data.recNo(), 2);
        QVERIFY(f.enabled(nbFirst) && f.enabled(nbPrior) && f.enabled(nbRW));
        f.click(nbNext);
        QCOMPARE(f.current(), QStringLiteral("item1"));
        QVERIFY(f.enabled(nbNext)); // the last record, but EOF is not known yet
        // The Next that runs into the end disables itself and still reports its click.
        f.clicks.clear();
        f.click(nbNext);
        QCOMPARE(f.current(), QStringLiteral("item1"));
        for (TNavigateBtnX b : {nbNext, nbLast, nbFF})
            QVERIFY(!f.enabled(b));
        QCOMPARE(f.clicks, QList<TNavigateBtnX>{nbNext});
        f.click(nbFirst);
        QCOMPARE(f.current(), QStringLiteral("item3"));
        QVERIFY(!f.enabled(nbFirst) && f.enabled(nbLast));
        f.click(nbLast);
        QVERIFY(!f.enabled(nbLast) && !f.enabled(nbNext));
        QCOMPARE(f.clicks, (QList<TNavigateBtnX>{nbNext, nbFirst, nbLast}));
    }

    void jumpButtons() {
        NavFixture f(6);
        f.click(nbFF); // Jump 0: no move
        QCOMPARE(f.data.recNo(), 1);
        f.nav->setJump(4);
        f.click(nbFF);
        QCOMPARE(f.data.recNo(), 5);
        f.click(nbRW);
        QCOMPARE(f.data.recNo(), 1);
        f.nav->setJump(0);
        f.click(nbNext);
        f.click(nbRW);
        QCOMPARE(f.data.recNo(), 2);
    }

    void editingAndPosting() {
        NavFixture f(2);
        f.click(nbEdit);
        QCOMPARE(f.data.state(), DatasetState::Edit);
        QVERIFY(!f.enabled(nbEdit));
        QVERIFY(f.enabled(nbPost) && f.enabled(nbCancel) && f.enabled(nbInsert));
        // Browse-only buttons wait until editing ends.
        for (TNavigateBtnX b : {nbMark, nbPrint, nbPreview, nbSearch})
            QVERIFY(!f.enabled(b));
        f.data.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("烏龍"));
        f.click(nbPost);
        QCOMPARE(f.data.state(), DatasetState::Browse);
        QCOMPARE(f.db.scalar(QStringLiteral("select men_name from menu where men_id = 2")).toString(),
                 QStringLiteral("烏龍"));
        QVERIFY(!f.enabled(nbPost) && f.enabled(nbEdit) && f.enabled(nbMark));

        f.click(nbEdit);
        f.data.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("紅茶"));
        f.click(nbCancel);
        QCOMPARE(f.current(), QStringLiteral("烏龍"));
        QCOMPARE(f.db.scalar(QStringLiteral("select men_name from menu where men_id = 2")).toString(),
                 QStringLiteral("烏龍"));

        f.click(nbInsert);
        QCOMPARE(f.data.state(), DatasetState::Insert);
        f.data.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("綠茶"));
        f.click(nbPost);
        QCOMPARE(f.stored(), 3);
        QCOMPARE(f.clicks, (QList<TNavigateBtnX>{nbEdit, nbPost, nbEdit, nbCancel, nbInsert, nbPost}));
    }

    void failingPostGoesToTheErrorBox() {
        NavFixture f(1);
        f.click(nbEdit);
        f.clicks.clear();
        // The engine refuses the update.
        f.db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON menu BEGIN SELECT RAISE(ABORT, 'no "
                                 "changes today'); END"));
        f.data.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("奶茶"));
        f.click(nbPost);
        QCOMPARE(f.dialogs.shown().size(), 1);
        QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
        QVERIFY(f.dialogs.shown().first().text.contains(QStringLiteral("no changes today")));
        QVERIFY(f.clicks.isEmpty()); // the click ended with the error
        QCOMPARE(f.data.state(), DatasetState::Edit);
        QCOMPARE(f.db.scalar(QStringLiteral("select men_name from menu")).toString(),
                 QStringLiteral("item1"));
    }

    void deleteAsksFirst() {
        NavFixture f(3);
        f.dialogs.queueAnswers({false});
        f.click(nbDelete);
        QCOMPARE(f.dialogs.shown().size(), 1);
        QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Confirm);
        QCOMPARE(f.dialogs.shown().first().text, QStringLiteral("是否刪除本筆資料"));
        QCOMPARE(f.dialogs.shown().first().title, QStringLiteral("Confirm"));
        QCOMPARE(f.stored(), 3);
        QCOMPARE(f.data.recordCount(), 3);
        QCOMPARE(f.clicks, QList<TNavigateBtnX>{nbDelete}); // reported even when cancelled

        f.dialogs.queueAnswers({true});
        f.click(nbDelete);
        QCOMPARE(f.stored(), 2);
        QCOMPARE(f.data.recordCount(), 2);
        QVERIFY(!f.db.scalar(QStringLiteral("select count(*) from menu where men_name = 'item3'")).toInt());

        f.nav->setConfirmDelete(false);
        f.dialogs.clear();
        f.click(nbDelete);
        f.click(nbDelete);
        QVERIFY(f.dialogs.shown().isEmpty());
        QCOMPARE(f.stored(), 0);
        // Nothing left to delete.
        QVERIFY(!f.enabled(nbDelete) && !f.enabled(nbNext));
    }

    void refreshSeesOtherConnections() {
        NavFixture f(2);
        auto other = f.db.openAnother();
        Statement st;
        st.add(QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                              "VALUES ('店9', '茶', 'item9', '大', 50)"));
        other->execute(st);
        QCOMPARE(f.data.recordCount(), 2); // a snapshot
        f.click(nbRefresh);
        QCOMPARE(f.data.recordCount(), 3);
        f.click(nbFirst);
        QCOMPARE(f.current(), QStringLiteral("item9"));
    }

    void markAndGoto() {
        NavFixture f(4);
        QVERIFY(!f.enabled(nbGoto));
        f.click(nbNext);
        f.click(nbMark);
        QVERIFY(f.nav->hasBookmark());
        QVERIFY(f.enabled(nbGoto));
        f.click(nbLast);
        QVERIFY(f.enabled(nbGoto)); // kept when the dataset moves
        f.click(nbGoto);
        QCOMPARE(f.current(), QStringLiteral("item3"));
        // The marked row deleted elsewhere: going there fails with the engine's message.
        f.db.exec(QStringLiteral("DELETE FROM menu WHERE men_name = 'item3'"));
        f.click(nbRefresh);
        f.clicks.clear();
        f.click(nbGoto);
        QCOMPARE(f.dialogs.shown().size(), 1);
        QCOMPARE(f.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
        QVERIFY(f.clicks.isEmpty());
    }

    void beforeActionMayStopTheAction() {
        NavFixture f(3);
        QList<QString> order;
        connect(f.nav, &TDBXNavigator::BeforeAction, f.nav, [&](TDBXNavigator *sender, TNavigateBtnX b) {
            QCOMPARE(sender, f.nav);
            order << QStringLiteral("before %1 at %2").arg(NavButtonDefaults::name(b)).arg(f.data.recNo());
            if (b == nbLast) f.button(nbLast)->setEnabled(false);
        });
        connect(f.nav, &TDBXNavigator::OnClick, f.nav, [&](TDBXNavigator *, TNavigateBtnX b) {
            order << QStringLiteral("click %1 at %2").arg(NavButtonDefaults::name(b)).arg(f.data.recNo());
        });
        f.click(nbNext);
        f.click(nbLast);
        QCOMPARE(order, (QList<QString>{"before nbNext at 1", "click nbNext at 2", "before nbLast at 2",
                                        "click nbLast at 2"}));
    }

    void eventOnlyButtons() {
        NavFixture f(1);
        QList<QPair<QString, TNavigateBtnX>> fired;
        auto record = [&](const char *event) {
            return [&fired, event](TDBXNavigator *, TNavigateBtnX b) {
                fired << qMakePair(QString::fromLatin1(event), b);
            };
        };
        connect(f.nav, &TDBXNavigator::OnPrintClick, f.nav, record("print"));
        connect(f.nav, &TDBXNavigator::OnToolsClick, f.nav, record("tools"));
        connect(f.nav, &TDBXNavigator::OnSearchClick, f.nav, record("search"));
        connect(f.nav, &TDBXNavigator::OnQueryClick, f.nav, record("query"));
        connect(f.nav, &TDBXNavigator::OnCopyClick, f.nav, record("copy"));
        for (TNavigateBtnX b : {nbPreview, nbPrint, nbTools, nbSearch, nbQuery, nbCopy})
            f.click(b);
        QCOMPARE(fired, (QList<QPair<QString, TNavigateBtnX>>{{"print", nbPreview},
                                                              {"print", nbPrint},
                                                              {"tools", nbTools},
                                                              {"search", nbSearch},
                                                              {"query", nbQuery},
                                                              {"copy", nbCopy}}));
        QCOMPARE(f.data.recNo(), 1);
    }

    void withoutDataSource() {
        NavFixture f(2);
        f.nav->setDataSource(nullptr);
        for (int i = 0; i < NavButtonCount; ++i)
            QCOMPARE(f.enabled(TNavigateBtnX(i)), i == nbExit);
        // A click on a disabled button does nothing at all.
        f.nav->ClickButton(nbNext);
        QVERIFY(f.clicks.isEmpty());
        QCOMPARE(f.data.recNo(), 1);

        f.nav->setDataSource(&f.source);
        QVERIFY(f.enabled(nbNext));
        f.data.close();
        QVERIFY(!f.enabled(nbNext) && f.enabled(nbExit));
        f.data.open();
        QVERIFY(f.enabled(nbNext));
        // A disabled navigator is not live; enabling it brings the rules back.
        f.nav->setEnabled(false);
        QVERIFY(!f.button(nbNext)->isEnabledTo(f.nav));
        QVERIFY(f.button(nbExit)->isEnabledTo(f.nav));
        f.nav->setEnabled(true);
        QVERIFY(f.enabled(nbNext));
    }

    void destroyedSourceIsForgotten() {
        NavFixture f(2);
        auto *source = new DataSource;
        source->setDataset(&f.data);
        f.nav->setDataSource(source);
        QVERIFY(f.enabled(nbNext));
        delete source;
        QVERIFY(!f.nav->dataSource());
        QVERIFY(!f.enabled(nbNext) && f.enabled(nbExit));
    }

    void exitClosesTheActiveWindow() {
        NavFixture f(1);
        f.nav->setDataSource(nullptr);
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(QApplication::activeWindow(), &f.window);
        f.click(nbExit);
        QVERIFY(!f.window.isVisible());
        QCOMPARE(f.clicks, QList<TNavigateBtnX>{nbExit});
    }
};

QTEST_MAIN(TestNavigatorData)
#include "tst_navigator_data.moc"
