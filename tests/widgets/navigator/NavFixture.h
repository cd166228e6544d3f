#pragma once

#include "DataSource.h"
#include "Dataset.h"
#include "NavButtonDefaults.h"
#include "ScriptedDialogs.h"
#include "TDBXNavigator.h"
#include "TNavButton.h"
#include "TestDatabase.h"

#include <QList>
#include <QTest>
#include <QWidget>
#include <memory>
#include <utility>

// The menu list as the menu page shows it, newest item first.
inline const QString MenuListSql = QStringLiteral(
    "select men_cap, men_merchant, men_name, men_price, men_type from menu ORDER BY men_id DESC ");

//! A shown window with a navigator on a menu dataset in its own temporary database.
struct NavFixture {
    TestDatabase db;
    ScriptedDialogs dialogs;
    QWidget window;
    Dataset data{QStringLiteral("ADODataSet1")};
    DataSource source;
    TDBXNavigator *nav = new TDBXNavigator(&window);
    //! Every OnClick, in order.
    QList<TNavigateBtnX> clicks;

    explicit NavFixture(int rows, const QString &sql = MenuListSql) {
        for (int i = 1; i <= rows; ++i)
            db.addMenu(QStringLiteral("店%1").arg(i), QStringLiteral("茶"), QStringLiteral("item%1").arg(i),
                       QStringLiteral("中"), 30 + i);
        data.setConnection(&db.connection());
        data.statement().add(sql);
        source.setDataset(&data);
        nav->setObjectName(QStringLiteral("DBXNavigator1"));
        nav->setDataSource(&source);
        nav->setBounds(QRect(0, 0, 23 * 40, 41));
        nav->setVisibleButtons(TButtonSet::all());
        QObject::connect(nav, &TDBXNavigator::OnClick, nav,
                         [this](TDBXNavigator *, TNavigateBtnX b) { clicks << b; });
        window.resize(nav->width(), 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        data.open();
    }
    ~NavFixture() { delete nav; }

    TNavButton *button(TNavigateBtnX b) const { return nav->button(b); }
    bool enabled(TNavigateBtnX b) const { return nav->button(b)->isEnabled(); }
    void click(TNavigateBtnX b) { QTest::mouseClick(nav->button(b), Qt::LeftButton); }
    //! Number of rows in the menu table.
    int stored() { return db.scalar(QStringLiteral("select count(*) from menu")).toInt(); }
    //! The item name of the dataset's current record.
    QString current() const { return data.fieldByName(QStringLiteral("men_name"))->asString(); }
};
