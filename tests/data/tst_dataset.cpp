#include "DataLink.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "TestDatabase.h"

#include <QSignalSpy>
#include <QTest>

namespace {

//! Records what a data source tells its links, as short words.
class RecordingLink : public DataLink {
public:
    explicit RecordingLink(QStringList *log, const QString &tag, bool visual)
        : DataLink(visual)
        , m_log(log)
        , m_tag(tag) {}

protected:
    void activeChanged() override { *m_log << m_tag + QStringLiteral(":active"); }
    void dataSetChanged() override { *m_log << m_tag + QStringLiteral(":change"); }
    void dataSetScrolled(int distance) override {
        *m_log << m_tag + QStringLiteral(":scroll%1").arg(distance);
    }
    void recordChanged(Field *field) override {
        *m_log << m_tag + QStringLiteral(":record:") + (field ? field->fieldName() : QStringLiteral("all"));
    }
    void editingChanged() override { *m_log << m_tag + QStringLiteral(":state"); }
    void rowInserted(int row) override { *m_log << m_tag + QStringLiteral(":inserted%1").arg(row); }
    void rowRemoved(int row) override { *m_log << m_tag + QStringLiteral(":removed%1").arg(row); }
    void rowUpdated(int row) override { *m_log << m_tag + QStringLiteral(":updated%1").arg(row); }
    void updateData() override { *m_log << m_tag + QStringLiteral(":updatedata"); }

private:
    QStringList *m_log;
    QString m_tag;
};

} // namespace

class TestDataset : public EngineTestCase {
    Q_OBJECT
private slots:
    void emptyResultHasBothFlags();
    void walkingSetsFlagsLikeAClassicCursor();
    void recordNumbersAndMoveBy();
    void fieldsFromFieldListOrColumns();
    void fieldTypesAndText();
    void sumOverNoRowsReadsEmpty();
    void groupedResultCannotModify();
    void whichResultsCanModify();
    void postUpdatesTheTableByKey();
    void insertAppendPostAndCancel();
    void unchangedInsertIsDiscarded();
    void deleteRemovesFromTable();
    void refusedValueStoresNothing();
    void bookmarksSurviveRequery();
    void positionalBookmarksWithoutKey();
    void requerySeesOtherConnectionsRows();
    void linksAreToldInOrder();
    void disabledControlsGetOneChange();
    void quietSwitchKeepsEditBuffer();
    void scratchQueryPattern();
    void twoCopiesEditOneRow();
};

static void fillMenu(TestDatabase &db, int n) {
    for (int i = 1; i <= n; ++i)
        db.addMenu(QStringLiteral("店%1").arg(i % 3), QStringLiteral("茶類"), QStringLiteral("品%1").arg(i),
                   QStringLiteral("中"), 10 * i);
}

static void openMenu(Dataset &ds, TestDatabase &db,
                     const QString &sql = QStringLiteral("select * from menu order by men_id")) {
    ds.setConnection(&db.connection());
    ds.statement().lines().clear();
    ds.statement().add(sql);
    ds.open();
}

void TestDataset::emptyResultHasBothFlags() {
    TestDatabase db(engine());
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    QVERIFY(ds.isActive());
    QVERIFY(ds.bof());
    QVERIFY(ds.eof());
    QCOMPARE(ds.recordCount(), 0);
    QCOMPARE(ds.recNo(), -1);
    QVERIFY(ds.isEmpty());
    ds.next();
    ds.last();
    QVERIFY(ds.bof() && ds.eof());
    QVERIFY(ds.bookmark().isEmpty());
    QVERIFY(ds.fieldByName(QStringLiteral("men_name"))->isNull());
}

void TestDataset::walkingSetsFlagsLikeAClassicCursor() {
    TestDatabase db(engine());
    fillMenu(db, 3);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    QVERIFY(ds.bof());
    QVERIFY(!ds.eof());
    QCOMPARE(ds.recNo(), 1);
    QStringList names;
    while (!ds.eof()) {
        names << ds.fieldByName(QStringLiteral("men_name"))->asString();
        ds.next();
    }
    QCOMPARE(names, (QStringList{QStringLiteral("品1"), QStringLiteral("品2"), QStringLiteral("品3")}));
    QCOMPARE(ds.recNo(), 3);
    QVERIFY(!ds.bof());
    ds.prior();
    QVERIFY(!ds.eof() && !ds.bof());
    ds.prior();
    QVERIFY(!ds.bof());
    ds.prior();
    QVERIFY(ds.bof());
    QCOMPARE(ds.recNo(), 1);
    ds.last();
    QVERIFY(ds.eof() && !ds.bof());
    ds.first();
    QVERIFY(ds.bof() && !ds.eof());
}

void TestDataset::recordNumbersAndMoveBy() {
    TestDatabase db(engine());
    fillMenu(db, 10);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    QCOMPARE(ds.moveBy(4), 4);
    QCOMPARE(ds.recNo(), 5);
    QCOMPARE(ds.moveBy(100), 5);
    QVERIFY(ds.eof());
    QCOMPARE(ds.recNo(), 10);
    QCOMPARE(ds.moveBy(-100), -9);
    QVERIFY(ds.bof());
    ds.setRecNo(7);
    QCOMPARE(ds.recNo(), 7);
    QCOMPARE(ds.fieldByName(QStringLiteral("men_price"))->asInteger(), 70);
    QCOMPARE(ds.currentRow(), 6);
}

void TestDataset::fieldsFromFieldListOrColumns() {
    TestDatabase db(engine());
    fillMenu(db, 1);
    Dataset ds(QStringLiteral("ds"));
    ds.setFieldDefs({FieldDef{QStringLiteral("men_price"), QStringLiteral("售價"), 6, true, false},
                     FieldDef{QStringLiteral("men_id"), QString(), 0, false, false}});
    openMenu(ds, db);
    QCOMPARE(ds.fieldCount(), 2);
    Field *price = ds.field(0);
    QCOMPARE(price->fieldName(), QStringLiteral("men_price"));
    QCOMPARE(price->displayLabel(), QStringLiteral("售價"));
    QCOMPARE(price->displayWidth(), 6);
    QVERIFY(!ds.field(1)->visible());
    QVERIFY(ds.field(1)->readOnly()); // the key is read-only by its type
    QCOMPARE(ds.findField(QStringLiteral("MEN_PRICE")), price);
    QVERIFY(!ds.findField(QStringLiteral("men_name")));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.fieldByName(QStringLiteral("nope")));
    // The same field objects after a reopen.
    ds.close();
    ds.open();
    QCOMPARE(ds.field(0), price);

    Dataset all(QStringLiteral("all"));
    openMenu(all, db, QStringLiteral("select * from menu"));
    QCOMPARE(all.fieldCount(), 6);
    QCOMPARE(all.field(0)->fieldName(), QStringLiteral("men_id"));

    Dataset missing(QStringLiteral("missing"));
    missing.setFieldDefs({FieldDef{QStringLiteral("ord_name"), QString(), 0, true, false}});
    missing.setConnection(&db.connection());
    missing.statement().add(QStringLiteral("select * from menu"));
    QVERIFY_THROWS_EXCEPTION(DbError, missing.open());
    QVERIFY(!missing.isActive());
}

void TestDataset::fieldTypesAndText() {
    TestDatabase db(engine());
    LocaleFormats f;
    f.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    f.dateSeparator = QLatin1Char('.');
    f.timeSeparator = QLatin1Char('.');
    db.connection().setLocaleFormats(f);
    db.exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_pric, ord_date, ord_time) VALUES ('x', 35, "
                           "'2026-12-09', '13:05')"));
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db, QStringLiteral("select * from ordern"));
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_id"))->type(), FieldType::AutoInc);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_pric"))->type(), FieldType::Integer);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_name"))->type(), FieldType::Text);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_name"))->size(), 30);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_date"))->type(), FieldType::Date);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_time"))->type(), FieldType::Time);
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_pric"))->asString(), QStringLiteral("35"));
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_date"))->asString(), QStringLiteral("09.12.2026"));
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_time"))->asString(), QStringLiteral("13.05"));
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_date"))->displayTextAt(0), QStringLiteral("09.12.2026"));
    QCOMPARE(ds.fieldByName(QStringLiteral("ord_note"))->asString(), QString());
}

void TestDataset::sumOverNoRowsReadsEmpty() {
    TestDatabase db(engine());
    Dataset ds(QStringLiteral("ADOQuery_GET"));
    ds.statement().bindFor(QStringLiteral("ord_date"), QStringLiteral("2026/12/09"));
    openMenu(ds, db, QStringLiteral("select Sum(ord_pric) from ordern where ord_date = ?"));
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.field(0)->asString(), QString());
    QCOMPARE(ds.field(0)->asInteger(), 0);
}

void TestDataset::groupedResultCannotModify() {
    TestDatabase db(engine());
    fillMenu(db, 4);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db, QStringLiteral("select men_merchant from menu group by men_merchant COLLATE KTEXT"));
    QCOMPARE(ds.recordCount(), 3);
    QVERIFY(!ds.canModify());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.edit());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRecord());
    ds.close();
    openMenu(
        ds, db,
        QStringLiteral("select m.men_name, o.ord_name from menu m join ordern o on o.ord_name = m.men_name"));
    QVERIFY(!ds.canModify());
    ds.close();
    openMenu(ds, db, QStringLiteral("select men_name from menu"));
    QVERIFY(ds.canModify());
}

void TestDataset::whichResultsCanModify() {
    TestDatabase db(engine());
    fillMenu(db, 4);
    for (const QString &note : {QStringLiteral("union"), QStringLiteral("group by"), QStringLiteral("少冰")})
        db.addOrderLine(QStringLiteral("紅茶"), QStringLiteral("中"), 30, QStringLiteral("店1"), note,
                        QStringLiteral("amy"), QDate(2026, 12, 9), QTime(9, 0));
    Dataset ds(QStringLiteral("ds"));
    auto reopen = [&](const QString &sql) {
        ds.close();
        openMenu(ds, db, sql);
    };
    // Rows that stand for several table rows, or for none, cannot be written back.
    for (const QString &sql : {
             QStringLiteral("select men_merchant from menu group by men_merchant COLLATE KTEXT"),
             QStringLiteral(
                 "select m.men_name, o.ord_name from menu m join ordern o on o.ord_name = m.men_name"),
             QStringLiteral("select ord_name from ordern, menu"),
             QStringLiteral("select ord_name from ordern where ord_mer in (select men_merchant from menu)"),
             QStringLiteral("select distinct men_merchant from menu"),
             QStringLiteral("select distinct men_merchant from menu order by men_merchant"),
             QStringLiteral("select count(*) from menu"),
             QStringLiteral("select max(men_price) from menu"),
             QStringLiteral("select men_name from menu union all select ord_name from ordern"),
             QStringLiteral("select men_name, row_number() over () from menu"),
             QStringLiteral("select men_name, (select count(*) from ordern) from menu"),
             QStringLiteral("select 1"),
         }) {
        reopen(sql);
        QVERIFY2(!ds.canModify(), qPrintable(sql));
    }
    // The cross join: a delete would remove one order line and leave its other copies listed.
    reopen(QStringLiteral("select ord_name from ordern, menu"));
    QCOMPARE(ds.recordCount(), 12);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.edit());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRecord());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ordern")).toInt(), 3);

    // One table's rows, whatever words their literals hold: each row is written back by its key.
    reopen(QStringLiteral("select ord_note, ord_pric * 2 as twice from ordern where ord_note <> 'union' "
                          "order by ord_id"));
    QVERIFY(ds.canModify());
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.field(0)->asString(), QStringLiteral("group by"));
    // A computed column is not the table's: it cannot be changed.
    QVERIFY(!ds.field(0)->readOnly());
    QVERIFY(ds.field(1)->readOnly());
    ds.edit();
    QVERIFY_THROWS_EXCEPTION(DbError, ds.field(1)->setAsString(QStringLiteral("1")));
    ds.field(0)->setAsString(QStringLiteral("去冰"));
    ds.post();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ordern where ord_note = '去冰'")).toInt(), 1);
    ds.deleteRecord();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ordern")).toInt(), 2);
    QCOMPARE(
        db.scalar(QStringLiteral("select count(*) from ordern where ord_note in ('union', '少冰')")).toInt(),
        2);
    reopen(QStringLiteral("select men_name from menu where men_type <> 'x union y' order by men_price desc"));
    QVERIFY(ds.canModify());
    // No row can pass, yet any row appended is one of the table's.
    reopen(QStringLiteral("select men_name, men_price from menu where 1 = 0"));
    QVERIFY(ds.canModify());
}

void TestDataset::postUpdatesTheTableByKey() {
    TestDatabase db(engine());
    fillMenu(db, 3);
    Dataset ds(QStringLiteral("ds"));
    // The statement does not name the key: it is fetched all the same.
    openMenu(ds, db, QStringLiteral("select men_name, men_price from menu order by men_id desc"));
    QVERIFY(ds.canModify());
    ds.next(); // 品2
    ds.edit();
    QCOMPARE(ds.state(), DatasetState::Edit);
    ds.fieldByName(QStringLiteral("men_price"))->setAsString(QStringLiteral("99"));
    QVERIFY(ds.modified());
    QCOMPARE(ds.fieldByName(QStringLiteral("men_price"))->asInteger(), 99);
    ds.post();
    QCOMPARE(ds.state(), DatasetState::Browse);
    QCOMPARE(db.scalar(QStringLiteral("select men_price from menu where men_name = '品2'")).toLongLong(), 99);
    QCOMPARE(db.scalar(QStringLiteral("select sum(men_price) from menu")).toLongLong(), 10 + 99 + 30);
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(ds.valueAt(1, 1).toLongLong(), 99);

    // Rows a select leaves in no order, and ties of its order, come in the order of their keys,
    // an edited row too, as the permission page and a day's lines of one shop show them.
    for (const QString &sql : {QStringLiteral("select * from menu"),
                               QStringLiteral("select men_name, men_price from menu where men_type = ?"),
                               QStringLiteral("select men_name, men_price from menu order by men_cap")}) {
        ds.close();
        ds.statement().clear();
        ds.statement().add(sql);
        if (sql.contains(QLatin1Char('?'))) ds.statement().bind(QStringLiteral("茶類"));
        ds.open();
        ds.first();
        ds.edit();
        ds.fieldByName(QStringLiteral("men_price"))->setAsString(QStringLiteral("7"));
        ds.post();
        ds.requery();
        QStringList names;
        for (int row = 0; row < ds.recordCount(); ++row)
            names << ds.fieldByName(QStringLiteral("men_name"))->displayTextAt(row);
        QCOMPARE(names, (QStringList{QStringLiteral("品1"), QStringLiteral("品2"), QStringLiteral("品3")}));
    }
}

void TestDataset::insertAppendPostAndCancel() {
    TestDatabase db(engine());
    fillMenu(db, 2);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    ds.append();
    QCOMPARE(ds.state(), DatasetState::Insert);
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(ds.recNo(), -1);
    QVERIFY(ds.isInsertedRow(2));
    QVERIFY(ds.bookmark().isEmpty());
    ds.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("新品"));
    ds.fieldByName(QStringLiteral("men_price"))->setValue(QStringLiteral("45"));
    ds.post();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from menu")).toLongLong(), 3);
    QCOMPARE(ds.recNo(), 3);
    // The key the engine gave is in the snapshot.
    QCOMPARE(ds.fieldByName(QStringLiteral("men_id"))->asInteger(),
             db.scalar(QStringLiteral("select max(men_id) from menu")).toLongLong());

    ds.first();
    ds.insert();
    QCOMPARE(ds.recordCount(), 4);
    QVERIFY(ds.isInsertedRow(0));
    ds.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("取消"));
    ds.cancel();
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from menu")).toLongLong(), 3);
}

void TestDataset::unchangedInsertIsDiscarded() {
    TestDatabase db(engine());
    fillMenu(db, 1);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    ds.append();
    ds.post();
    QCOMPARE(ds.state(), DatasetState::Browse);
    QCOMPARE(ds.recordCount(), 1);
    ds.append();
    ds.checkBrowseMode();
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from menu")).toLongLong(), 1);
}

void TestDataset::deleteRemovesFromTable() {
    TestDatabase db(engine());
    fillMenu(db, 3);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    ds.next();
    ds.deleteRecord();
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("品3"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from menu where men_name = '品2'")).toLongLong(), 0);
    ds.deleteRecord();
    ds.deleteRecord();
    QVERIFY(ds.isEmpty());
    QVERIFY(ds.bof() && ds.eof());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from menu")).toLongLong(), 0);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRecord());
}

void TestDataset::refusedValueStoresNothing() {
    TestDatabase db(engine());
    fillMenu(db, 1);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    ds.edit();
    QVERIFY_THROWS_EXCEPTION(DbError,
                             ds.fieldByName(QStringLiteral("men_price"))->setValue(QStringLiteral("12.5")));
    QVERIFY_THROWS_EXCEPTION(
        DbError, ds.fieldByName(QStringLiteral("men_name"))->setValue(QString(31, QLatin1Char('x'))));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.fieldByName(QStringLiteral("men_id"))->setValue(5));
    QVERIFY(!ds.modified());
    ds.post();
    QCOMPARE(db.scalar(QStringLiteral("select men_price from menu")).toLongLong(), 10);
    QVERIFY_THROWS_EXCEPTION(DbError,
                             ds.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("x")));
}

void TestDataset::bookmarksSurviveRequery() {
    TestDatabase db(engine());
    fillMenu(db, 5);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db, QStringLiteral("select men_name from menu order by men_id desc"));
    ds.setRecNo(2);
    const QByteArray b2 = ds.bookmark();
    ds.setRecNo(4);
    const QByteArray b4 = ds.bookmark();
    QCOMPARE(b2.size(), 8);
    QCOMPARE(ds.compareBookmarks(b2, b4), -1);
    QCOMPARE(ds.compareBookmarks(b4, b2), 1);
    QCOMPARE(ds.compareBookmarks(b4, b4), 0);
    // A new row at the top shifts positions; the bookmark still finds its record.
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶類"), QStringLiteral("最新"), QStringLiteral("大"), 1);
    ds.requery();
    QCOMPARE(ds.recNo(), 5); // the current record kept
    ds.gotoBookmark(b2);
    QCOMPARE(ds.recNo(), 3);
    QCOMPARE(ds.field(0)->asString(), QStringLiteral("品4"));
    // Gone from the table: the bookmark fails after the next requery.
    db.exec(QStringLiteral("delete from menu where men_name = '品4'"));
    ds.requery();
    QVERIFY(!ds.bookmarkValid(b2));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.gotoBookmark(b2));
    QVERIFY(ds.bookmarkValid(b4));
}

void TestDataset::positionalBookmarksWithoutKey() {
    TestDatabase db(engine());
    fillMenu(db, 6);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db,
             QStringLiteral("select men_merchant, count(*) from menu group by men_merchant order by 1"));
    ds.last();
    const QByteArray b = ds.bookmark();
    ds.first();
    ds.gotoBookmark(b);
    QCOMPARE(ds.recNo(), 3);
    QVERIFY(!ds.bookmarkValid(QByteArray(8, '\x7f')));
    // A bare position says nothing about the rows of a new snapshot: after a requery (here one
    // that puts another row at that position) or a reopen the bookmark is invalid.
    db.addMenu(QStringLiteral("店3"), QStringLiteral("茶類"), QStringLiteral("新"), QStringLiteral("中"), 1);
    ds.requery();
    QVERIFY(!ds.bookmarkValid(b));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.gotoBookmark(b));
    ds.setRecNo(3);
    const QByteArray fresh = ds.bookmark();
    QVERIFY(ds.bookmarkValid(fresh));
    ds.close();
    ds.open();
    QVERIFY(!ds.bookmarkValid(fresh));
    QVERIFY(!ds.bookmarkValid(b));
}

void TestDataset::requerySeesOtherConnectionsRows() {
    TestDatabase db(engine());
    fillMenu(db, 1);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    auto other = db.openAnother();
    Statement st;
    st.add(QStringLiteral("INSERT INTO menu (men_name, men_price) VALUES (?, ?)"));
    st.bindFor(QStringLiteral("men_name"), QStringLiteral("別人的"));
    st.bindFor(QStringLiteral("men_price"), QStringLiteral("20"));
    other->execute(st);
    QCOMPARE(ds.recordCount(), 1); // a static snapshot
    ds.requery();
    QCOMPARE(ds.recordCount(), 2);
    ds.last();
    QCOMPARE(ds.fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("別人的"));
}

void TestDataset::linksAreToldInOrder() {
    TestDatabase db(engine());
    fillMenu(db, 2);
    Dataset ds(QStringLiteral("ds"));
    ds.setConnection(&db.connection());
    ds.statement().add(QStringLiteral("select * from menu order by men_id"));
    DataSource source;
    source.setDataset(&ds);
    QStringList log;
    RecordingLink visual(&log, QStringLiteral("v"), true);
    RecordingLink model(&log, QStringLiteral("m"), false);
    visual.setDataSource(&source);
    model.setDataSource(&source);
    QSignalSpy changes(&source, &DataSource::dataChange);
    QSignalSpy states(&source, &DataSource::stateChange);
    log.clear();

    ds.open();
    QCOMPARE(log, (QStringList{QStringLiteral("m:active"), QStringLiteral("v:active")}));
    QCOMPARE(states.count(), 1);
    QCOMPARE(changes.count(), 1);
    QVERIFY(visual.active());
    log.clear();
    ds.next();
    ds.next(); // at the end: no move, but EOF changes
    ds.next(); // nothing changes
    QCOMPARE(log, (QStringList{QStringLiteral("m:scroll1"), QStringLiteral("v:scroll1"),
                               QStringLiteral("m:scroll0"), QStringLiteral("v:scroll0")}));
    log.clear();
    ds.edit();
    ds.fieldByName(QStringLiteral("men_cap"))->setValue(QStringLiteral("大"));
    ds.post();
    QCOMPARE(log, (QStringList{QStringLiteral("m:state"), QStringLiteral("v:state"),
                               QStringLiteral("m:record:men_cap"), QStringLiteral("v:record:men_cap"),
                               QStringLiteral("m:updatedata"), QStringLiteral("v:updatedata"),
                               QStringLiteral("m:updated1"), QStringLiteral("v:updated1"),
                               QStringLiteral("m:state"), QStringLiteral("v:state")}));
    log.clear();
    ds.append();
    ds.cancel();
    QCOMPARE(log, (QStringList{QStringLiteral("m:state"), QStringLiteral("v:state"),
                               QStringLiteral("m:inserted2"), QStringLiteral("v:inserted2"),
                               QStringLiteral("m:removed2"), QStringLiteral("v:removed2"),
                               QStringLiteral("m:state"), QStringLiteral("v:state")}));
    log.clear();
    ds.deleteRecord();
    QCOMPARE(log, (QStringList{QStringLiteral("m:removed1"), QStringLiteral("v:removed1")}));
    log.clear();
    source.setEnabled(false);
    QVERIFY(!visual.active());
    log.clear();
    ds.first();
    QVERIFY(log.isEmpty());
    source.setEnabled(true);
    log.clear();
    ds.close();
    QCOMPARE(log, (QStringList{QStringLiteral("m:active"), QStringLiteral("v:active")}));
    QVERIFY(!visual.active());
}

void TestDataset::disabledControlsGetOneChange() {
    TestDatabase db(engine());
    fillMenu(db, 5);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    DataSource source;
    source.setDataset(&ds);
    QStringList log;
    RecordingLink link(&log, QStringLiteral("v"), true);
    link.setDataSource(&source);
    log.clear();
    ds.disableControls();
    ds.disableControls();
    while (!ds.eof())
        ds.next();
    ds.enableControls();
    QVERIFY(log.isEmpty());
    ds.enableControls();
    QCOMPARE(log, QStringList{QStringLiteral("v:change")});
    log.clear();
    ds.disableControls();
    ds.edit();
    ds.enableControls();
    QCOMPARE(log, (QStringList{QStringLiteral("v:change"), QStringLiteral("v:state")}));
    log.clear();
    ds.disableControls();
    ds.enableControls();
    QVERIFY(log.isEmpty());
}

void TestDataset::quietSwitchKeepsEditBuffer() {
    TestDatabase db(engine());
    fillMenu(db, 3);
    Dataset ds(QStringLiteral("ds"));
    openMenu(ds, db);
    DataSource source;
    source.setDataset(&ds);
    QStringList log;
    RecordingLink link(&log, QStringLiteral("v"), true);
    link.setDataSource(&source);
    ds.edit();
    Field *name = ds.fieldByName(QStringLiteral("men_name"));
    name->setValue(QStringLiteral("改過"));
    log.clear();
    const int before = ds.setCurrentRowQuiet(2);
    QCOMPARE(before, 0);
    QCOMPARE(ds.recNo(), 3);
    QCOMPARE(name->asString(), QStringLiteral("品3"));
    ds.setCurrentRowQuiet(before);
    QCOMPARE(name->asString(), QStringLiteral("改過"));
    QVERIFY(log.isEmpty());
    QCOMPARE(ds.state(), DatasetState::Edit);
    ds.post();
    QCOMPARE(db.scalar(QStringLiteral("select men_name from menu where men_id = 1")).toString(),
             QStringLiteral("改過"));
    QCOMPARE(db.scalar(QStringLiteral("select men_name from menu where men_id = 3")).toString(),
             QStringLiteral("品3"));
}

void TestDataset::scratchQueryPattern() {
    TestDatabase db(engine());
    fillMenu(db, 3);
    Dataset get(QStringLiteral("ADOQuery_GET"));
    get.setConnection(&db.connection());
    get.statement().add(QString());
    for (int round = 0; round < 2; ++round) {
        get.close();
        get.statement().clear();
        get.statement().add(QStringLiteral("select men_merchant from menu"));
        get.statement().add(QStringLiteral("where men_name = ? COLLATE KTEXT"));
        get.statement().bind(QStringLiteral("品2 "));
        get.open();
        QCOMPARE(get.recordCount(), 1);
        QCOMPARE(get.field(0)->asString(), QStringLiteral("店2"));
        get.close();
    }
    Dataset set(QStringLiteral("ADOQuery_SET"));
    set.setConnection(&db.connection());
    set.close();
    set.statement().clear();
    set.statement().add(QStringLiteral("INSERT INTO ordern (ord_name, ord_pric, ord_date, ord_time)"));
    set.statement().add(QStringLiteral("VALUES (?, ?, ?, ?)"));
    set.statement().bindFor(QStringLiteral("ord_name"), QStringLiteral("品2"));
    set.statement().bindFor(QStringLiteral("ord_pric"), QStringLiteral("20"));
    set.statement().bindFor(QStringLiteral("ord_date"), QStringLiteral("2026/12/09"));
    set.statement().bindFor(QStringLiteral("ord_time"), QStringLiteral("13:05"));
    QCOMPARE(set.execSql(), 1);
    set.close();
    // Each column as the engine reads it (a server's own text of a time, inside an expression,
    // has seconds).
    QCOMPARE(db.scalar(QStringLiteral("select ord_date from ordern")).toString(),
             QStringLiteral("2026-12-09"));
    QCOMPARE(db.scalar(QStringLiteral("select ord_time from ordern")).toString(), QStringLiteral("13:05"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from ordern")).toInt(), 1);
}

void TestDataset::twoCopiesEditOneRow() {
    // Two copies of the program show the same accounts and the same menu list. A post finds its
    // row by the key and by the values it read for the columns it changes: the later of two
    // changes to one column is refused with the engine contract's message and stays in editing,
    // while changes to different columns of the row merge.
    TestDatabase db(engine());
    db.exec(QStringLiteral("INSERT INTO customer (cus_number, cus_name, cus_password, cus_group, cus_leve) "
                           "VALUES ('amy', '艾米', 'pw', NULL, 0)"));
    fillMenu(db, 2);
    const std::unique_ptr<Connection> other = db.openAnother();
    const QString lost =
        QStringLiteral("Row cannot be located for updating. Some values may have been changed "
                       "since it was last read.");
    const struct {
        QString statement, table, conflicting, merging, first, second, merged;
    } lists[] = {
        {QStringLiteral("select * from customer"), QStringLiteral("customer"), QStringLiteral("cus_number"),
         QStringLiteral("cus_name"), QStringLiteral("amanda"), QStringLiteral("amelia"),
         QStringLiteral("艾咪")},
        // The letter case alone is a change too: the value is compared as it was read.
        {QStringLiteral("select * from customer"), QStringLiteral("customer"), QStringLiteral("cus_number"),
         QStringLiteral("cus_leve"), QStringLiteral("Amelia"), QStringLiteral("amber"), QStringLiteral("1")},
        // A column read without a value, filled in by both: the second is refused all the same.
        {QStringLiteral("select * from customer"), QStringLiteral("customer"), QStringLiteral("cus_group"),
         QStringLiteral("cus_password"), QStringLiteral("業務"), QStringLiteral("會計"),
         QStringLiteral("secret")},
        {QStringLiteral(
             "select men_cap, men_merchant, men_name, men_price, men_type from menu ORDER BY men_id "
             "DESC "),
         QStringLiteral("menu"), QStringLiteral("men_price"), QStringLiteral("men_name"),
         QStringLiteral("45"), QStringLiteral("50"), QStringLiteral("冬瓜茶")},
    };
    for (const auto &list : lists) {
        Dataset x(QStringLiteral("x")), y(QStringLiteral("y"));
        x.setConnection(&db.connection());
        y.setConnection(other.get());
        for (Dataset *ds : {&x, &y}) {
            ds->statement().add(list.statement);
            ds->open();
        }
        // Both lists show the newest row first: the one account, the second menu item.
        const QString key =
            list.table == QLatin1String("menu") ? QStringLiteral("men_id") : QStringLiteral("cus_id");
        const auto stored = [&](const QString &column) {
            return db
                .scalar(QStringLiteral("select %1 from %2 where %3 = (select max(%3) from %2)")
                            .arg(column, list.table, key))
                .toString();
        };
        x.edit();
        x.fieldByName(list.conflicting)->setAsString(list.first);
        x.post();
        y.edit();
        y.fieldByName(list.conflicting)->setAsString(list.second);
        try {
            y.post();
            QFAIL(qPrintable(list.conflicting + QStringLiteral(": the second post overwrote the first")));
        } catch (const DbError &e) {
            QCOMPARE(e.message(), lost);
        }
        QCOMPARE(y.state(), DatasetState::Edit);
        QCOMPARE(y.fieldByName(list.conflicting)->asString(), list.second);
        QCOMPARE(stored(list.conflicting), list.first);

        // Another column of the same row, changed from the same old reading, goes in beside the
        // first copy's change.
        y.cancel();
        y.edit();
        y.fieldByName(list.merging)->setAsString(list.merged);
        y.post();
        QCOMPARE(y.state(), DatasetState::Browse);
        QCOMPARE(stored(list.conflicting), list.first);
        QCOMPARE(stored(list.merging), list.merged);
        // Read again, the row takes the change.
        y.requery();
        y.edit();
        y.fieldByName(list.conflicting)->setAsString(list.second);
        y.post();
        QCOMPARE(stored(list.conflicting), list.second);
    }
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
