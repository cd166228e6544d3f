// Text equality on both engines: the pairs that the file's collation takes as equal or not,
// compared through a text column as the statements compare them, and the pairs where the
// server's ICU collation decides otherwise, listed here as the documented differences.
#include "DbError.h"
#include "EngineTestCase.h"
#include "TextCollation.h"

#include <QTest>

class TestTextEquality : public EngineTestCase {
    Q_OBJECT
private slots:
    void pairsCompareAsTheFileCollationDoes();
};

namespace {

struct Pair {
    const char16_t *stored;
    const char16_t *typed;
    //! The server's collation decides otherwise than the file's rule (see the README).
    bool differsOnServer;
};

const Pair pairs[] = {
    {u"abc", u"ABC", false},
    {u"ａｂｃ", u"abc", false},
    {u"ＡＭＹ", u"amy", false},
    {u"１２３", u"123", false},
    {u"Ｔｅａ ", u"tea", false},
    {u"abc  ", u"abc", false},
    {u"茶 ", u"茶", false},
    {u"", u"  ", false},
    {u"Ä", u"ä", false},
    {u"café", u"CAFÉ", false},
    {u"Σίσυφος", u"ΣΊΣΥΦΟΣ", false},
    {u"Жёлтый", u"жЁЛТЫЙ", false},
    {u"abc", u"ab c", false},
    {u"a  b", u"a b", false},
    {u"abc", u"abd", false},
    {u" abc", u"abc", false},
    {u"Ä", u"A", false},
    {u"é", u"e", false},
    {u"綠茶", u"绿茶", false},
    {u"綠茶", u"紅茶", false},
    {u"ｃａｆé", u"CAFE", false},
    // Trailing ideographic spaces are ignored by the file's rule; blank padding knows only ASCII.
    {u"amy\u3000", u"amy", true},
    // ICU sees these as the same letters at the strength that ignores case and width.
    {u"あ", u"ア", true},
    {u"①", u"1", true},
    {u"ﬁ", u"fi", true},
    // Invisible characters are ignored by ICU, kept by the file's rule.
    {u"a\u200Bb", u"ab", true},
    {u"a\u00ADb", u"ab", true},
};

} // namespace

void TestTextEquality::pairsCompareAsTheFileCollationDoes() {
    TestDatabase db(engine());
    const bool server = engine() == EngineKind::Postgres;
    int row = 0;
    for (const Pair &p : pairs)
        db.addMenu(QString::fromUtf16(p.stored), QStringLiteral("t"), QString::number(++row),
                   QStringLiteral("中"), 1);
    QStringList unexpected;
    row = 0;
    for (const Pair &p : pairs) {
        const QString stored = QString::fromUtf16(p.stored), typed = QString::fromUtf16(p.typed);
        const bool rule = TextCollation::equal(stored, typed);
        const bool found =
            db.scalar(QStringLiteral("select count(*) from menu where men_merchant = ? COLLATE KTEXT "
                                     "and men_name = ?"),
                      {typed, QString::number(++row)})
                .toInt() == 1;
        if (found != (server && p.differsOnServer ? !rule : rule))
            unexpected
                << QStringLiteral("'%1' = '%2': %3").arg(stored, typed, found ? u"equal" : u"different");
    }
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QStringLiteral("; "))));
}

QTEST_GUILESS_MAIN(TestTextEquality)
#include "tst_textequality.moc"
