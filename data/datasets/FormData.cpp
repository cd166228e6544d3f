#include "FormData.h"

namespace {

FieldDef def(const QString &name, const QString &label, int width = 0, bool visible = true,
             bool readOnly = false) {
    return FieldDef{name, label, width, visible, readOnly};
}

DataSource *makeSource(const char *name, Dataset *dataset, QObject *parent) {
    auto *source = new DataSource(parent);
    source->setObjectName(QString::fromLatin1(name));
    source->setDataset(dataset);
    return source;
}

} // namespace

FormData::FormData(QObject *parent)
    : QObject(parent)
    , ADOConnection1(new Connection) {
    // Data Source "kelvaro.mdb": a bare name, so the working directory's file.
    ADOConnection1->setDatabaseFile(QStringLiteral("kelvaro.mdb"));

    auto make = [this](const char *name) {
        auto *ds = new Dataset(QString::fromLatin1(name), this);
        ds->setConnection(ADOConnection1);
        return ds;
    };

    ADODataSet1 = make("ADODataSet1");
    ADODataSet1->statement().add(QStringLiteral(
        "select men_cap, men_merchant, men_name, men_price, men_type from menu ORDER BY men_id DESC "));
    ADODataSet1->setFieldDefs({def(QStringLiteral("men_name"), QStringLiteral("飲料名稱"), 15),
                               def(QStringLiteral("men_cap"), QStringLiteral("杯量"), 6),
                               def(QStringLiteral("men_price"), QStringLiteral("售價"), 6),
                               def(QStringLiteral("men_merchant"), QStringLiteral("商店名稱"), 12),
                               def(QStringLiteral("men_type"), QStringLiteral("飲料分類"), 12)});

    ADODataSet2 = make("ADODataSet2");
    ADODataSet2->statement().add(QStringLiteral("select * from ordern where ord_date = #2005/12/22#"));
    ADODataSet2->setFieldDefs({def(QStringLiteral("ord_name"), QStringLiteral("飲料名稱"), 16),
                               def(QStringLiteral("ord_cap"), QStringLiteral("杯量"), 6),
                               def(QStringLiteral("ord_pric"), QStringLiteral("價格"), 6),
                               def(QStringLiteral("ord_cusomter"), QStringLiteral("訂購人"), 12),
                               def(QStringLiteral("ord_note"), QStringLiteral("備註"), 20),
                               def(QStringLiteral("ord_date"), QStringLiteral("訂購日期"), 12),
                               def(QStringLiteral("ord_mer"), QStringLiteral("廠商名稱"), 18),
                               def(QStringLiteral("ord_id"), QString(), 0, false, true),
                               def(QStringLiteral("ord_time"), QString(), 0, false)});

    ADODataSet3 = make("ADODataSet3");
    ADODataSet3->statement().add(QStringLiteral("select * from customer"));
    ADODataSet3->setFieldDefs({def(QStringLiteral("cus_id"), QStringLiteral("編號"), 6, true, true),
                               def(QStringLiteral("cus_number"), QStringLiteral("帳號"), 12),
                               def(QStringLiteral("cus_name"), QStringLiteral("姓名"), 10),
                               def(QStringLiteral("cus_password"), QStringLiteral("密碼"), 10, false),
                               def(QStringLiteral("cus_group"), QStringLiteral("部門"), 10),
                               def(QStringLiteral("cus_leve"), QStringLiteral("權限"), 6)});

    ADOQuery1 = make("ADOQuery1");
    ADOQuery1->statement().add(QStringLiteral("select men_type from menu"));
    ADOQuery1->setFieldDefs({def(QStringLiteral("men_type"), QStringLiteral("飲料分類"), 25)});

    ADOQuery2 = make("ADOQuery2");
    ADOQuery2->statement().add(QStringLiteral("select men_name, men_cap, men_price from menu"));
    ADOQuery2->setFieldDefs({def(QStringLiteral("men_name"), QStringLiteral("飲料名稱"), 30),
                             def(QStringLiteral("men_cap"), QStringLiteral("杯量"), 6),
                             def(QStringLiteral("men_price"), QStringLiteral("售價"))});

    ADOQuery_GET = make("ADOQuery_GET");
    ADOQuery_GET->statement().add(QString()); // one empty line at design
    ADOQuery_SET = make("ADOQuery_SET");

    DataSource1 = makeSource("DataSource1", ADODataSet1, this);
    DataSource2 = makeSource("DataSource2", ADOQuery1, this);
    DataSource3 = makeSource("DataSource3", ADOQuery2, this);
    DataSource4 = makeSource("DataSource4", ADODataSet2, this);
    DataSource5 = makeSource("DataSource5", ADODataSet3, this);
}

FormData::~FormData() {
    // Datasets and sources go first (they are children); then the connection they used.
    const auto children = findChildren<QObject *>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
    delete ADOConnection1;
}
