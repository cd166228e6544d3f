// Bound edit, radio group and text on a dataset of accounts: what they show as the current
// record moves, how typing and choosing start editing and reach the table, and what they
// refuse.
#include "CharacterLimit.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"
#include "ScriptedDialogs.h"
#include "TDBEdit.h"
#include "TDBRadioGroup.h"
#include "TDBText.h"
#include "TestDatabase.h"

#include <QInputMethodEvent>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

namespace {

//! Accounts as the permission page binds them: every control on its own field.
struct Accounts {
    TestDatabase db;
    ScriptedDialogs dialogs;
    Dataset data{QStringLiteral("ADODataSet3")};
    DataSource source;
    QWidget window;
    TDBEdit *id = new TDBEdit(&window);
    TDBEdit *number = new TDBEdit(&window);
    TDBEdit *name = new TDBEdit(&window);
    TDBEdit *password = new TDBEdit(&window);
    TDBEdit *level = new TDBEdit(&window);
    TDBRadioGroup *levels = new TDBRadioGroup(&window);
    TDBText *text = new TDBText(&window);

    explicit Accounts(const QString &sql = QStringLiteral("select * from customer")) {
        data.setConnection(&db.connection());
        data.statement().add(sql);
        source.setDataset(&data);
        int y = 0;
        auto bind = [&](QWidget *w, auto *control, const char *field) {
            control->setDataSource(&source);
            control->setDataField(QString::fromLatin1(field));
            w->setGeometry(0, y, 130, w == levels ? 85 : 21);
            y += w->height() + 4;
        };
        bind(id, id, "cus_id");
        bind(number, number, "cus_number");
        bind(name, name, "cus_name");
        bind(password, password, "cus_password");
        bind(level, level, "cus_leve");
        levels->setObjectName(QStringLiteral("DBRadioGroup1"));
        levels->setItems(
            {QStringLiteral("一般使用者"), QStringLiteral("刪除管理者"), QStringLiteral("系統管理者")});
        levels->setValues({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("3")});
        bind(levels, levels, "cus_leve");
        bind(text, text, "cus_number");
        id->setEnabled(false);
        password->setEchoMode(QLineEdit::Password);
        window.resize(140, y);
    }

    //! Replaces the edit's selection with text committed by an input method, as Chinese
    //! text arrives.
    static void commit(QLineEdit *edit, const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(edit, &event);
    }
    void add(const QString &number, const QString &name, const QVariant &level) {
        db.exec(
            QStringLiteral("INSERT INTO customer (cus_number, cus_name, cus_password, cus_group, cus_leve) "
                           "VALUES (?, ?, 'pw', '總務', ?)"),
            {number, name, level});
    }
    bool show() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    QVariant stored(const char *column, int id) {
        return db.scalar(
            QStringLiteral("select %1 from customer where cus_id = ?").arg(QLatin1String(column)), {id});
    }
    //! What every control shows, in one line.
    QString shown() const {
        return QStringList{
            id->text(),  number->text(), name->text(), password->text(), QString::number(levels->itemIndex()),
            text->text()}
            .join(QLatin1Char('|'));
    }
};

} // namespace

class TestBound : public QObject {
    Q_OBJECT
private slots:
    void controlsFollowTheCurrentRecord();
    void typingAndChoosingReachTheTable();
    void whatTheControlsRefuse();
};

void TestBound::controlsFollowTheCurrentRecord() {
    Accounts a;
    a.add(QStringLiteral("amy"), QStringLiteral("艾美"), 3);
    a.add(QStringLiteral("bob"), QStringLiteral("鮑伯"), 2);
    a.add(QStringLiteral("<b>cat</b>"), QStringLiteral("凱特"), QVariant());
    QVERIFY(a.show());
    // Closed: nothing shown, nothing chosen, nothing to type into.
    QCOMPARE(a.shown(), QStringLiteral("||||-1|"));
    QVERIFY(a.name->isReadOnly());

    a.data.open();
    QCOMPARE(a.shown(), QStringLiteral("1|amy|艾美|pw|2|amy"));
    QCOMPARE(a.password->echoMode(), QLineEdit::Password);
    QVERIFY(a.password->displayText() != QStringLiteral("pw"));
    QCOMPARE(qobject_cast<const CharacterLimit *>(a.name->validator())->limit(), 8);
    QCOMPARE(qobject_cast<const CharacterLimit *>(a.number->validator())->limit(), 20);
    QVERIFY(!a.name->isReadOnly());
    // The key shows its number but is never focused or changed.
    QVERIFY(a.id->isReadOnly());
    QVERIFY(!a.id->isEnabled());
    QCOMPARE(a.id->maxLength(), 32767);

    // Level 2 has no item; an empty level none either; a stored text is shown as it is.
    a.data.next();
    QCOMPARE(a.shown(), QStringLiteral("2|bob|鮑伯|pw|-1|bob"));
    QVERIFY(!a.levels->button(0)->isChecked() && !a.levels->button(1)->isChecked() &&
            !a.levels->button(2)->isChecked());
    a.data.last();
    QCOMPARE(a.shown(), QStringLiteral("3|<b>cat</b>|凱特|pw|-1|<b>cat</b>"));
    QCOMPARE(a.text->textFormat(), Qt::PlainText);

    // Another copy's change comes in with the re-read; a deleted row takes the next one's place.
    a.db.exec(QStringLiteral("UPDATE customer SET cus_name = '新名', cus_leve = 1 WHERE cus_id = 3"));
    a.data.requery();
    QCOMPARE(a.shown(), QStringLiteral("3|<b>cat</b>|新名|pw|1|<b>cat</b>"));
    a.data.first();
    a.data.deleteRecord();
    QCOMPARE(a.shown(), QStringLiteral("2|bob|鮑伯|pw|-1|bob"));

    a.data.close();
    QCOMPARE(a.shown(), QStringLiteral("||||-1|"));
}

void TestBound::typingAndChoosingReachTheTable() {
    Accounts a;
    a.add(QStringLiteral("amy"), QStringLiteral("艾美"), 3);
    a.add(QStringLiteral("bob"), QStringLiteral("鮑伯"), 2);
    QVERIFY(a.show());
    a.data.open();
    Field *name = a.data.fieldByName(QStringLiteral("cus_name"));

    // Typing starts editing; the edit takes no more than the column holds; the text reaches
    // the field when the focus leaves, and the table only when the record is stored.
    a.name->setFocus();
    QTRY_VERIFY(a.name->hasFocus());
    a.name->selectAll();
    QTest::keyClicks(a.name, QStringLiteral("123456789"));
    QCOMPARE(a.name->text(), QStringLiteral("12345678"));
    QCOMPARE(a.data.state(), DatasetState::Edit);
    QCOMPARE(name->asString(), QStringLiteral("艾美"));
    a.number->setFocus();
    QCOMPARE(name->asString(), QStringLiteral("12345678"));
    QCOMPARE(a.stored("cus_name", 1).toString(), QStringLiteral("艾美"));

    // Choosing an item writes its value at once; other controls on that field follow.
    QTest::mouseClick(a.levels->button(1), Qt::LeftButton);
    QCOMPARE(a.data.fieldByName(QStringLiteral("cus_leve"))->asInteger(), 1);
    QCOMPARE(a.level->text(), QStringLiteral("1"));

    // Text typed and not yet left is stored by the move to another record.
    a.number->setFocus();
    QTRY_VERIFY(a.number->hasFocus());
    a.number->end(false);
    QTest::keyClicks(a.number, QStringLiteral("X"));
    a.data.next();
    QCOMPARE(a.stored("cus_number", 1).toString(), QStringLiteral("amyX"));
    QCOMPARE(a.stored("cus_name", 1).toString(), QStringLiteral("12345678"));
    QCOMPARE(a.stored("cus_leve", 1).toInt(), 1);
    QCOMPARE(a.shown(), QStringLiteral("2|bob|鮑伯|pw|-1|bob"));
    QCOMPARE(a.data.state(), DatasetState::Browse);

    // Esc drops what was typed; cancel drops a chosen level.
    QTest::keyClicks(a.number, QStringLiteral("Y"));
    QCOMPARE(a.number->text(), QStringLiteral("bobY"));
    QTest::keyClick(a.number, Qt::Key_Escape);
    QCOMPARE(a.number->text(), QStringLiteral("bob"));
    QTest::mouseClick(a.levels->button(2), Qt::LeftButton);
    QCOMPARE(a.levels->itemIndex(), 2);
    a.data.cancel();
    QCOMPARE(a.levels->itemIndex(), -1);
    QCOMPARE(a.stored("cus_leve", 2).toInt(), 2);

    // A post (the navigator's post button) writes the focused edit's text first.
    a.password->setFocus();
    QTRY_VERIFY(a.password->hasFocus());
    a.password->end(false);
    QTest::keyClicks(a.password, QStringLiteral("9"));
    a.data.post();
    QCOMPARE(a.stored("cus_password", 2).toString(), QStringLiteral("pw9"));
    QCOMPARE(a.data.state(), DatasetState::Browse);

    // Characters beyond the Basic Multilingual Plane (names use them) count once, as the
    // column counts them: eight fit, more are refused where they were put in, and no pair is
    // ever split.
    const QString eight = QString::fromUcs4(U"𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇");
    a.name->setFocus();
    QTRY_VERIFY(a.name->hasFocus());
    a.name->selectAll();
    QTest::keyClick(a.name, Qt::Key_Delete);
    Accounts::commit(a.name, eight + QString::fromUcs4(U"𠀈"));
    QCOMPARE(a.name->text(), eight);
    a.name->setCursorPosition(2);
    Accounts::commit(a.name, QStringLiteral("字"));
    QCOMPARE(a.name->text(), eight);
    a.name->selectAll();
    QTest::keyClick(a.name, Qt::Key_Delete);
    Accounts::commit(a.name, QStringLiteral("一二三四五六七"));
    Accounts::commit(a.name, QString::fromUcs4(U"𠀀𠀁"));
    const QString stored = QStringLiteral("一二三四五六七") + QString::fromUcs4(U"𠀀");
    QCOMPARE(a.name->text(), stored);
    a.data.post();
    QVERIFY(a.dialogs.shown().isEmpty());
    QCOMPARE(a.stored("cus_name", 2).toString(), stored);

    // In an empty list the first keystroke starts a new record and stays typed.
    Accounts empty(QStringLiteral("select * from customer where cus_id < 0"));
    QVERIFY(empty.show());
    empty.data.open();
    empty.number->setFocus();
    QTRY_VERIFY(empty.number->hasFocus());
    QTest::keyClicks(empty.number, QStringLiteral("zed"));
    QCOMPARE(empty.number->text(), QStringLiteral("zed"));
    QCOMPARE(empty.data.state(), DatasetState::Insert);
    empty.data.post();
    QCOMPARE(
        empty.db.scalar(QStringLiteral("select count(*) from customer where cus_number = 'zed'")).toInt(), 1);
}

void TestBound::whatTheControlsRefuse() {
    // A result that cannot modify: the edits are read-only, a chosen item goes back.
    Accounts grouped(QStringLiteral("select cus_id, cus_number, cus_name, cus_password, cus_leve "
                                    "from customer group by cus_id"));
    grouped.add(QStringLiteral("amy"), QStringLiteral("艾美"), 3);
    QVERIFY(grouped.show());
    grouped.data.open();
    QVERIFY(grouped.number->isReadOnly());
    QTest::mouseClick(grouped.levels->button(0), Qt::LeftButton);
    QCOMPARE(grouped.levels->itemIndex(), 2);
    QCOMPARE(grouped.data.state(), DatasetState::Browse);
    QVERIFY(grouped.dialogs.shown().isEmpty());
    grouped.data.close();

    // Without auto-edit typing and choosing change nothing.
    Accounts a;
    a.add(QStringLiteral("amy"), QStringLiteral("艾美"), 3);
    a.add(QStringLiteral("bob"), QStringLiteral("鮑伯"), 2);
    QVERIFY(a.show());
    a.data.open();
    a.source.setAutoEdit(false);
    a.name->setFocus();
    QTRY_VERIFY(a.name->hasFocus());
    QTest::keyClicks(a.name, QStringLiteral("zz"));
    QCOMPARE(a.name->text(), QStringLiteral("艾美"));
    QTest::mouseClick(a.levels->button(0), Qt::LeftButton);
    QCOMPARE(a.levels->itemIndex(), 2);
    QCOMPARE(a.data.state(), DatasetState::Browse);
    a.source.setAutoEdit(true);

    // A text the field cannot take is refused when the focus leaves: the engine's message,
    // and the edit keeps the focus and the typed text.
    a.level->setFocus();
    QTRY_VERIFY(a.level->hasFocus());
    a.level->selectAll();
    QTest::keyClicks(a.level, QStringLiteral("abc"));
    a.name->setFocus();
    QCOMPARE(a.dialogs.shown().size(), 1);
    QCOMPARE(a.dialogs.shown().first().kind, ScriptedDialogs::Kind::Error);
    QVERIFY(!a.dialogs.shown().first().text.isEmpty());
    QTRY_VERIFY(a.level->hasFocus());
    QCOMPARE(a.level->text(), QStringLiteral("abc"));
    QCOMPARE(a.data.fieldByName(QStringLiteral("cus_leve"))->asInteger(), 3);
    QTest::keyClick(a.level, Qt::Key_Escape);
    QCOMPARE(a.level->text(), QStringLiteral("3"));
    a.data.cancel();

    // A record the table refuses (an account name already taken) stays in editing with the
    // typed text, to be corrected or cancelled.
    a.data.next();
    a.number->setFocus();
    QTRY_VERIFY(a.number->hasFocus());
    a.number->selectAll();
    QTest::keyClicks(a.number, QStringLiteral("AMY"));
    QVERIFY_THROWS_EXCEPTION(DbError, a.data.post());
    QCOMPARE(a.data.state(), DatasetState::Edit);
    QCOMPARE(a.number->text(), QStringLiteral("AMY"));
    QCOMPARE(a.stored("cus_number", 2).toString(), QStringLiteral("bob"));
    a.data.cancel();
    QCOMPARE(a.number->text(), QStringLiteral("bob"));
}

QTEST_MAIN(TestBound)
#include "tst_bound.moc"
