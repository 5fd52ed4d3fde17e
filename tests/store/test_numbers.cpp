#include "store/Failure.h"
#include "store/Numbers.h"

#include <QTest>

#include <bit>
#include <limits>

// Text to numbers and back, as every screen reads record numbers, dates and weights.
class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void toInteger_data();
    void toInteger();
    void readWeight_data();
    void readWeight();
    void formatFloat_data();
    void formatFloat();
    void formatInteger();
    void formatAmount();
};

namespace {

const QString Overflow = QStringLiteral("オーバーフローしました。");
const QString TypeMismatch = QStringLiteral("型が一致しません。");

} // namespace

void TestNumbers::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("failure");
    auto row = [](const char* name, const QString& text, double value, const QString& failure = {}) {
        QTest::newRow(name) << text << value << failure;
    };
    row("blanks inside", QStringLiteral(" 1 2 "), 12);
    row("tab and line feed", QStringLiteral("\t4\n5"), 45);
    row("hexadecimal", QStringLiteral("&H1F"), 31);
    row("hexadecimal lower case", QStringLiteral("&h1f"), 31);
    row("octal", QStringLiteral("&O17"), 15);
    row("octal stops at 8", QStringLiteral("&O178"), 15);
    row("E exponent", QStringLiteral("1e3"), 1000);
    row("D exponent", QStringLiteral("1D2"), 100);
    row("negative exponent", QStringLiteral("25E-1"), 2.5);
    row("exponent without digits", QStringLiteral("7e"), 7);
    row("letters", QStringLiteral("abc"), 0);
    row("empty", QString(), 0);
    row("sign alone", QStringLiteral("-"), 0);
    row("stops at a letter", QStringLiteral("-3.7x"), -3.7);
    row("one point only", QStringLiteral("1.2.3"), 1.2);
    row("leading point", QStringLiteral(".5"), 0.5);
    row("point alone", QStringLiteral("."), 0);
    row("trailing point", QStringLiteral("5."), 5);
    row("point before the exponent", QStringLiteral("2.e1"), 20);
    row("exponent sign without digits", QStringLiteral("3e+"), 3);
    row("plus sign", QStringLiteral("+8"), 8);
    row("sign apart from digits", QStringLiteral("- 5"), -5);
    row("carriage return ends", QStringLiteral("1\r2"), 1);
    row("comma ends", QStringLiteral("1,5"), 1);
    row("too small is zero", QStringLiteral("1E-400"), 0);
    row("too small with D", QStringLiteral("1d-400"), 0);
    row("long fraction too small", QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QLatin1Char('1'),
        0);
    row("full-width digits", QStringLiteral("２０２６"), 2026);
    row("full-width plus and space", QStringLiteral("＋　１２"), 12);
    row("full-width minus and point", QStringLiteral("－３．５"), -3.5);
    row("minus sign", QStringLiteral("\u2212７"), -7);
    row("full-width letters still stop", QStringLiteral("９ｋｇ"), 9);
    row("too large", QStringLiteral("1e400"), 0, Overflow);
    row("too many digits", QString(400, QLatin1Char('9')), 0, Overflow);
}

void TestNumbers::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, failure);
    try {
        const double read = Numbers::readNumber(text);
        QVERIFY2(failure.isEmpty(), "expected a failure");
        QCOMPARE(read, value);
    } catch (const Failure& f) {
        QCOMPARE(f.description(), failure);
    }
}

void TestNumbers::toInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bits");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("overflow");
    QTest::newRow("2.5 to even") << QStringLiteral("2.5") << 16 << qint64(2) << false;
    QTest::newRow("3.5 to even") << QStringLiteral("3.5") << 16 << qint64(4) << false;
    QTest::newRow("-2.5 to even") << QStringLiteral("-2.5") << 16 << qint64(-2) << false;
    QTest::newRow("2.51 up") << QStringLiteral("2.51") << 16 << qint64(3) << false;
    QTest::newRow("16-bit top") << QStringLiteral("32767.4") << 16 << qint64(32767) << false;
    QTest::newRow("16-bit over") << QStringLiteral("32767.5") << 16 << qint64(0) << true;
    QTest::newRow("16-bit bottom") << QStringLiteral("-32768.4") << 16 << qint64(-32768) << false;
    QTest::newRow("16-bit under") << QStringLiteral("-32768.6") << 16 << qint64(0) << true;
    QTest::newRow("32-bit top") << QStringLiteral("2147483647") << 32 << qint64(2147483647) << false;
    QTest::newRow("32-bit over") << QStringLiteral("2147483647.5") << 32 << qint64(0) << true;
    QTest::newRow("32-bit bottom") << QStringLiteral("-2147483648") << 32 << qint64(-2147483648LL) << false;
    QTest::newRow("32-bit far over") << QStringLiteral("99999999999") << 32 << qint64(0) << true;
    QTest::newRow("32-bit 16-bit range is fine") << QStringLiteral("40000") << 32 << qint64(40000) << false;
}

void TestNumbers::toInteger()
{
    QFETCH(QString, text);
    QFETCH(int, bits);
    QFETCH(qint64, value);
    QFETCH(bool, overflow);
    const double number = Numbers::readNumber(text);
    try {
        const qint64 converted = bits == 16 ? Numbers::toInt16(number) : Numbers::toInt32(number);
        QVERIFY2(!overflow, "expected an overflow");
        QCOMPARE(converted, value);
    } catch (const Failure& f) {
        QVERIFY2(overflow, qPrintable(f.description()));
        QCOMPARE(f.description(), Overflow);
    }
}

void TestNumbers::readWeight_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("failure");
    QTest::newRow("spaces around") << QStringLiteral(" 3.25 ") << 3.25f << QString();
    QTest::newRow("nearest float") << QStringLiteral("0.1") << 0.1f << QString();
    QTest::newRow("nearest float of many digits")
        << QStringLiteral("2.7182818284590452") << 2.7182817f << QString();
    QTest::newRow("whole number") << QStringLiteral("3") << 3.0f << QString();
    QTest::newRow("negative") << QStringLiteral("-1.5") << -1.5f << QString();
    QTest::newRow("exponent") << QStringLiteral("25e-1") << 2.5f << QString();
    QTest::newRow("trailing point") << QStringLiteral("5.") << 5.0f << QString();
    QTest::newRow("too small is zero") << QStringLiteral("1E-50") << 0.0f << QString();
    QTest::newRow("unit after it") << QStringLiteral("3kg") << 0.0f << TypeMismatch;
    QTest::newRow("empty") << QString() << 0.0f << TypeMismatch;
    QTest::newRow("blank") << QStringLiteral("   ") << 0.0f << TypeMismatch;
    QTest::newRow("blank inside") << QStringLiteral("3 .25") << 0.0f << TypeMismatch;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << 0.0f << TypeMismatch;
    QTest::newRow("point alone") << QStringLiteral(".") << 0.0f << TypeMismatch;
    QTest::newRow("full-width") << QStringLiteral("０．８") << 0.8f << QString();
    QTest::newRow("full-width negative with full-width spaces")
        << QStringLiteral("　－１．５　") << -1.5f << QString();
    QTest::newRow("full-width unit after it") << QStringLiteral("０．８ｋｇ") << 0.0f << TypeMismatch;
    QTest::newRow("too large for a float") << QStringLiteral("1e39") << 0.0f << Overflow;
}

void TestNumbers::readWeight()
{
    QFETCH(QString, text);
    QFETCH(float, value);
    QFETCH(QString, failure);
    try {
        const float read = Numbers::readWeight(text);
        QVERIFY2(failure.isEmpty(), "expected a failure");
        // Bit for bit: the file keeps exactly this float.
        QCOMPARE(std::bit_cast<quint32>(read), std::bit_cast<quint32>(value));
    } catch (const Failure& f) {
        QCOMPARE(f.description(), failure);
    }
}

void TestNumbers::formatFloat_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5") << 2.5f << QStringLiteral("2.5");
    QTest::newRow("3") << 3.0f << QStringLiteral("3");
    QTest::newRow("0.25") << 0.25f << QStringLiteral("0.25");
    QTest::newRow("3.25") << 3.25f << QStringLiteral("3.25");
    QTest::newRow("0.1 as a float") << 0.1f << QStringLiteral("0.1");
    QTest::newRow("0") << 0.0f << QStringLiteral("0");
    QTest::newRow("-1.5") << -1.5f << QStringLiteral("-1.5");
    QTest::newRow("seven digits") << 1234567.0f << QStringLiteral("1234567");
    QTest::newRow("eight digits") << 12345678.0f << QStringLiteral("1.234568E+07");
    QTest::newRow("small") << 1e-5f << QStringLiteral("1E-05");
    QTest::newRow("small but plain") << 0.0001f << QStringLiteral("0.0001");
    QTest::newRow("rounded to seven") << 2.7182818f << QStringLiteral("2.718282");
}

void TestNumbers::formatFloat()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(Numbers::formatFloat(value), text);
}

void TestNumbers::formatInteger()
{
    QCOMPARE(Numbers::formatInteger(0), QStringLiteral("0"));
    QCOMPARE(Numbers::formatInteger(2026), QStringLiteral("2026"));
    QCOMPARE(Numbers::formatInteger(-32768), QStringLiteral("-32768"));
}

void TestNumbers::formatAmount()
{
    QCOMPARE(Numbers::formatAmount(0), QStringLiteral("0"));
    QCOMPARE(Numbers::formatAmount(999), QStringLiteral("999"));
    QCOMPARE(Numbers::formatAmount(1000), QStringLiteral("1,000"));
    QCOMPARE(Numbers::formatAmount(450000), QStringLiteral("450,000"));
    QCOMPARE(Numbers::formatAmount(1234567), QStringLiteral("1,234,567"));
    // A margin below the cost.
    QCOMPARE(Numbers::formatAmount(-12000), QStringLiteral("-12,000"));
    QCOMPARE(Numbers::formatAmount(-999), QStringLiteral("-999"));
    QCOMPARE(Numbers::formatAmount(std::numeric_limits<qint64>::min()),
             QStringLiteral("-9,223,372,036,854,775,808"));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "test_numbers.moc"
