#include "FormData.h"
#include "Schema.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestFormData : public QObject {
    Q_OBJECT
private slots:
    void init() { m_previous = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_previous); }
    void loadsFromTheWorkingDirectory();
    void designFieldLists();
    void missingFileReportsEachStep();

private:
    QString m_previous;
};

void TestFormData::loadsFromTheWorkingDirectory() {
    QTemporaryDir dir;
    Schema::createDatabase(dir.filePath(QStringLiteral("kelvaro.mdb")));
    QDir::setCurrent(dir.path());
    {
        FormData setup;
        setup.ADOConnection1->open();
        for (const char *name : {"舊的", "新的"}) {
            Statement &st = setup.ADOQuery_SET->statement();
            st.clear();
            st.add(QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price)"));
            st.add(QStringLiteral("VALUES ('店', '茶類', ?, '中', 30)"));
            st.bindFor(QStringLiteral("men_name"), QString::fromUtf8(name));
            setup.ADOQuery_SET->execSql();
        }
    }
    FormData form;
    QStringList errors;
    form.load([&](const QString &message) { errors << message; });
    QCOMPARE(errors, QStringList());
    QVERIFY(form.ADOConnection1->isOpen());
    QVERIFY(form.ADODataSet1->isActive());
    QVERIFY(form.ADODataSet3->isActive());
    for (Dataset *closed :
         {form.ADODataSet2, form.ADOQuery1, form.ADOQuery2, form.ADOQuery_GET, form.ADOQuery_SET})
        QVERIFY2(!closed->isActive(), qPrintable(closed->name()));
    // Newest first; the list can be edited (it reads one table).
    QCOMPARE(form.ADODataSet1->fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("新的"));
    QVERIFY(form.ADODataSet1->canModify());
    QVERIFY(form.ADODataSet3->canModify());
    QCOMPARE(form.DataSource1->dataset(), form.ADODataSet1);
    QCOMPARE(form.DataSource2->dataset(), form.ADOQuery1);
    QCOMPARE(form.DataSource3->dataset(), form.ADOQuery2);
    QCOMPARE(form.DataSource4->dataset(), form.ADODataSet2);
    QCOMPARE(form.DataSource5->dataset(), form.ADODataSet3);
    QCOMPARE(form.DataSource4->objectName(), QStringLiteral("DataSource4"));
    QCOMPARE(form.ADOQuery_GET->name(), QStringLiteral("ADOQuery_GET"));
    // The design statement of the day's listing runs as it stands too.
    form.ADODataSet2->open();
    QCOMPARE(form.ADODataSet2->recordCount(), 0);
    QVERIFY(form.ADODataSet2->canModify());
}

void TestFormData::designFieldLists() {
    QTemporaryDir dir;
    Schema::createDatabase(dir.filePath(QStringLiteral("kelvaro.mdb")));
    QDir::setCurrent(dir.path());
    FormData form;
    form.load([](const QString &message) { QFAIL(qPrintable(message)); });
    auto shape = [](Dataset *ds) {
        QStringList out;
        for (const auto &f : ds->fields())
            out << QStringLiteral("%1:%2:%3%4%5")
                       .arg(f->fieldName(), f->displayLabel())
                       .arg(f->displayWidth())
                       .arg(f->visible() ? QString() : QStringLiteral(":hidden"))
                       .arg(f->readOnly() ? QStringLiteral(":ro") : QString());
        return out;
    };
    QCOMPARE(shape(form.ADODataSet1),
             (QStringList{QStringLiteral("men_name:飲料名稱:15"), QStringLiteral("men_cap:杯量:6"),
                          QStringLiteral("men_price:售價:6"), QStringLiteral("men_merchant:商店名稱:12"),
                          QStringLiteral("men_type:飲料分類:12")}));
    QCOMPARE(shape(form.ADODataSet3),
             (QStringList{QStringLiteral("cus_id:編號:6:ro"), QStringLiteral("cus_number:帳號:12"),
                          QStringLiteral("cus_name:姓名:10"), QStringLiteral("cus_password:密碼:10:hidden"),
                          QStringLiteral("cus_group:部門:10"), QStringLiteral("cus_leve:權限:6")}));
    form.ADODataSet2->open();
    const QStringList listing = shape(form.ADODataSet2);
    QCOMPARE(listing.mid(0, 7),
             (QStringList{QStringLiteral("ord_name:飲料名稱:16"), QStringLiteral("ord_cap:杯量:6"),
                          QStringLiteral("ord_pric:價格:6"), QStringLiteral("ord_cusomter:訂購人:12"),
                          QStringLiteral("ord_note:備註:20"), QStringLiteral("ord_date:訂購日期:12"),
                          QStringLiteral("ord_mer:廠商名稱:18")}));
    QVERIFY(listing[7].startsWith(QStringLiteral("ord_id:")) &&
            listing[7].endsWith(QStringLiteral(":hidden:ro")));
    QVERIFY(listing[8].startsWith(QStringLiteral("ord_time:")) &&
            listing[8].endsWith(QStringLiteral(":hidden")));
    QCOMPARE(form.ADODataSet2->fieldByName(QStringLiteral("ord_date"))->type(), FieldType::Date);
    form.ADOQuery1->open();
    QCOMPARE(shape(form.ADOQuery1), QStringList{QStringLiteral("men_type:飲料分類:25")});
    form.ADOQuery2->open();
    QCOMPARE(shape(form.ADOQuery2).mid(0, 2),
             (QStringList{QStringLiteral("men_name:飲料名稱:30"), QStringLiteral("men_cap:杯量:6")}));
    QCOMPARE(form.ADOQuery2->field(2)->fieldName(), QStringLiteral("men_price"));
}

void TestFormData::missingFileReportsEachStep() {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    FormData form;
    QStringList errors;
    form.load([&](const QString &message) { errors << message; });
    QCOMPARE(errors.size(), 3); // connect, then each dataset
    QVERIFY2(errors[0].contains(QStringLiteral("kelvaro.mdb")), qPrintable(errors[0]));
    QVERIFY(!form.ADOConnection1->isOpen());
    QVERIFY(!form.ADODataSet1->isActive());
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestFormData)
#include "tst_formdata.moc"
