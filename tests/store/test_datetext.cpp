#include "store/DateText.h"

#include <QTest>

// Dates as the shop types them, in the Western and the Japanese era calendars.
class TestDateText : public QObject
{
    Q_OBJECT
private slots:
    void readShopDate_data();
    void readShopDate();
};

void TestDateText::readShopDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    auto row = [](const char* name, const QString& text, const QDate& date = {}) {
        QTest::newRow(name) << text << date;
    };
    row("slashes", QStringLiteral("2026/11/2"), QDate(2026, 11, 2));
    row("hyphens, leading zeros", QStringLiteral("2026-01-09"), QDate(2026, 1, 9));
    row("kanji", QStringLiteral("2026年11月2日"), QDate(2026, 11, 2));
    row("full-width digits and slashes", QStringLiteral("２０２６／１１／２"), QDate(2026, 11, 2));
    row("full-width hyphens", QStringLiteral("２０２６－１１－２"), QDate(2026, 11, 2));
    row("spaces around and inside", QStringLiteral(" 2026 / 11 / 2　"), QDate(2026, 11, 2));
    row("era letter with slashes", QStringLiteral("R8/11/2"), QDate(2026, 11, 2));
    row("era letter with points", QStringLiteral("R8.11.2"), QDate(2026, 11, 2));
    row("era letter lower case", QStringLiteral("r8-11-2"), QDate(2026, 11, 2));
    row("full-width era letter", QStringLiteral("Ｒ８／１１／２"), QDate(2026, 11, 2));
    row("era name in kanji", QStringLiteral("令和8年11月2日"), QDate(2026, 11, 2));
    row("era name with slashes", QStringLiteral("令和8/11/2"), QDate(2026, 11, 2));
    row("era ligature", QStringLiteral("㋿8年11月2日"), QDate(2026, 11, 2));
    row("first year 元年", QStringLiteral("令和元年5月1日"), QDate(2019, 5, 1));
    row("last day of Heisei", QStringLiteral("H31/4/30"), QDate(2019, 4, 30));
    row("Heisei by name", QStringLiteral("平成元年1月8日"), QDate(1989, 1, 8));
    row("last day of Showa", QStringLiteral("昭和64年1月7日"), QDate(1989, 1, 7));
    row("Showa letter", QStringLiteral("S50.4.1"), QDate(1975, 4, 1));
    row("Heisei after it ended", QStringLiteral("H31/5/1"));
    row("Reiwa before it began", QStringLiteral("R1/4/30"));
    row("Showa after it ended", QStringLiteral("S64/1/8"));
    row("era year zero", QStringLiteral("R0/5/1"));
    row("unknown era letter", QStringLiteral("X8/11/2"));
    row("no such day", QStringLiteral("2026/2/30"));
    row("month 13", QStringLiteral("R8/13/1"));
    row("mixed separators", QStringLiteral("2026/11-2"));
    row("two-digit year", QStringLiteral("26/11/2"));
    row("missing day", QStringLiteral("2026/11"));
    row("kanji without 日", QStringLiteral("2026年11月2"));
    row("text after the date", QStringLiteral("2026/11/2頃"));
    row("words", QStringLiteral("来週"));
    row("empty", QString());
}

void TestDateText::readShopDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(::readShopDate(text), date);
}

QTEST_GUILESS_MAIN(TestDateText)
#include "test_datetext.moc"
