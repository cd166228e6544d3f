#include "DemoData.h"

#include "Connection.h"

#include <QList>

namespace {

struct Item {
    const char *type;
    const char *name;
    int small, medium, large; // 0: not sold in that size
};

struct Shop {
    const char *name;
    QList<Item> items;
};

const QList<Shop> &shops() {
    static const QList<Shop> s = {
        {"五十嵐",
         {{"茶類", "四季春青茶", 25, 30, 35},
          {"茶類", "茉莉綠茶", 25, 30, 35},
          {"奶茶", "珍珠奶茶", 35, 45, 55},
          {"奶茶", "波霸奶茶", 35, 45, 55},
          {"果汁", "檸檬汁", 0, 45, 55},
          {"果汁", "百香綠茶", 0, 45, 55}}},
        {"清心福全",
         {{"茶類", "烏龍綠茶", 25, 30, 35},
          {"茶類", "冬瓜檸檬", 0, 40, 50},
          {"奶茶", "烏龍奶茶", 35, 40, 50},
          {"果汁", "柳橙綠茶", 0, 45, 55}}},
        {"CoCo都可",
         {{"茶類", "翡翠綠茶", 25, 30, 35},
          {"奶茶", "鮮奶茶", 0, 50, 60},
          {"奶茶", "奶茶三兄弟", 0, 50, 60},
          {"果汁", "百香QQ綠", 0, 50, 60}}},
        {"大苑子",
         {{"果汁", "芒果冰沙", 0, 65, 75}, {"果汁", "西瓜汁", 0, 60, 70}, {"茶類", "紅玉紅茶", 30, 35, 40}}},
    };
    return s;
}

void insert(Connection &c, const char *table, const QStringList &columns, const QVariantList &values) {
    Statement st;
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    st.add(
        QStringLiteral("INSERT INTO %1 (%2)").arg(QLatin1String(table), columns.join(QStringLiteral(", "))));
    st.add(QStringLiteral("VALUES (%1)").arg(marks.join(QStringLiteral(", "))));
    for (int i = 0; i < columns.size(); ++i)
        st.bindFor(columns[i], values[i]);
    c.execute(st);
}

} // namespace

const QList<DemoData::User> &DemoData::users() {
    static const QList<User> u = {
        {"amy", "amy123", "林怡君", "業務部", 0},
        {"jack", "jack456", "陳志明", "資訊部", 0},
        {"mei", "mei789", "王美玲", "總務部", 1},
    };
    return u;
}

void DemoData::fill(Connection &c, const QDate &today) {
    const QStringList menuColumns = {QStringLiteral("men_merchant"), QStringLiteral("men_type"),
                                     QStringLiteral("men_name"), QStringLiteral("men_cap"),
                                     QStringLiteral("men_price")};
    for (const Shop &shop : shops())
        for (const Item &item : shop.items) {
            const int prices[] = {item.small, item.medium, item.large};
            const char *caps[] = {"小", "中", "大"};
            for (int i = 0; i < 3; ++i)
                if (prices[i] > 0)
                    insert(c, "menu", menuColumns,
                           {QString::fromUtf8(shop.name), QString::fromUtf8(item.type),
                            QString::fromUtf8(item.name), QString::fromUtf8(caps[i]),
                            QString::number(prices[i])});
        }

    const QStringList userColumns = {QStringLiteral("cus_number"), QStringLiteral("cus_name"),
                                     QStringLiteral("cus_password"), QStringLiteral("cus_group"),
                                     QStringLiteral("cus_leve")};
    for (const User &u : users())
        insert(c, "customer", userColumns,
               {QString::fromUtf8(u.account), QString::fromUtf8(u.name), QString::fromUtf8(u.password),
                QString::fromUtf8(u.group), QString::number(u.level)});

    struct Line {
        int daysAgo;
        const char *time, *shop, *name, *cap;
        int price;
        const char *note, *who;
    };
    const Line lines[] = {
        {1, "10:12", "五十嵐", "珍珠奶茶", "大", 55, "半糖少冰", "林怡君"},
        {1, "10:15", "五十嵐", "四季春青茶", "中", 30, "無糖", "陳志明"},
        {1, "10:21", "清心福全", "烏龍奶茶", "中", 40, "微糖去冰", "王美玲"},
        {1, "10:30", "五十嵐", "檸檬汁", "大", 55, "", "林怡君"},
        {0, "09:48", "CoCo都可", "奶茶三兄弟", "大", 60, "少糖", "陳志明"},
        {0, "09:52", "CoCo都可", "翡翠綠茶", "中", 30, "無糖去冰", "王美玲"},
        {0, "10:05", "大苑子", "芒果冰沙", "大", 75, "", "林怡君"},
        {0, "10:05", "五十嵐", "波霸奶茶", "中", 45, "半糖", "林怡君"},
        {0, "10:40", "清心福全", "冬瓜檸檬", "大", 50, "少冰", "陳志明"},
    };
    const QStringList orderColumns = {QStringLiteral("ord_name"), QStringLiteral("ord_cap"),
                                      QStringLiteral("ord_pric"), QStringLiteral("ord_mer"),
                                      QStringLiteral("ord_note"), QStringLiteral("ord_cusomter"),
                                      QStringLiteral("ord_date"), QStringLiteral("ord_time")};
    for (const Line &l : lines)
        insert(c, "ordern", orderColumns,
               {QString::fromUtf8(l.name), QString::fromUtf8(l.cap), QString::number(l.price),
                QString::fromUtf8(l.shop), QString::fromUtf8(l.note), QString::fromUtf8(l.who),
                today.addDays(-l.daysAgo).toString(QStringLiteral("yyyy/MM/dd")),
                QString::fromLatin1(l.time)});
}
