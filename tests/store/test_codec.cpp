#include "store/PetRecord.h"
#include "store/Sjis.h"

#include <QFile>
#include <QTest>

// Code page 932 text and the fixed-width fields of a record. Expected bytes come from
// sjis_vectors.txt, made by make_vectors.py with Python's own cp932 codec.
class TestCodec : public QObject
{
    Q_OBJECT
private slots:
    void encodeMatchesIndependentCodec_data();
    void encodeMatchesIndependentCodec();
    void fitFieldMatchesIndependentCodec_data();
    void fitFieldMatchesIndependentCodec();
    void recordFieldHoldsPaddedBytesAndReadsThemBack();
    void assigningOverwritesTheWholeField();
    void shownTextStopsAtTheFirstZeroByte();
    void invisibleFormatCharactersAreLeftOut();
    void bytesThatAreNotCodePage932DecodeWithoutLoss();
    void yenSignIsByte5CAndShowsAsYen();
    void controlBytesStayThemselves();
};

namespace {

QString fromCodePoints(const QString& hex)
{
    QString text;
    for (const QString& point : hex.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const char32_t code = point.toUInt(nullptr, 16);
        text += QString::fromUcs4(&code, 1);
    }
    return text;
}

// The vector lines of one kind, split into their fields.
QList<QStringList> vectors(const QString& kind)
{
    QFile file(QFINDTESTDATA("sjis_vectors.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char(';'));
        if (fields.first() == kind)
            lines.append(fields.mid(1));
    }
    return lines;
}

} // namespace

void TestCodec::encodeMatchesIndependentCodec_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("roundTrip");
    const QList<QStringList> lines = vectors(QStringLiteral("enc"));
    QVERIFY2(lines.size() >= 10, "sjis_vectors.txt is missing or short");
    for (const QStringList& v : lines) {
        const QString text = fromCodePoints(v[0]);
        QTest::newRow(qPrintable(text.isEmpty() ? QStringLiteral("(empty)") : text))
            << text << QByteArray::fromHex(v[1].toLatin1()) << (v[2] == QLatin1String("1"));
    }
}

void TestCodec::encodeMatchesIndependentCodec()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, roundTrip);
    QCOMPARE(Sjis::encode(text).toHex(' '), bytes.toHex(' '));
    if (roundTrip)
        QCOMPARE(Sjis::decode(bytes), text);
}

void TestCodec::fitFieldMatchesIndependentCodec_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field");
    const QList<QStringList> lines = vectors(QStringLiteral("fit"));
    QVERIFY2(lines.size() >= 6, "sjis_vectors.txt is missing or short");
    for (const QStringList& v : lines) {
        const QString text = fromCodePoints(v[1]);
        QTest::newRow(qPrintable(v[0] + QLatin1Char(' ') + text))
            << v[0].toInt() << text << QByteArray::fromHex(v[2].toLatin1());
    }
}

void TestCodec::fitFieldMatchesIndependentCodec()
{
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    QCOMPARE(field.size(), width);
    QCOMPARE(Sjis::fitField(text, width).toHex(' '), field.toHex(' '));
}

void TestCodec::recordFieldHoldsPaddedBytesAndReadsThemBack()
{
    PetRecord record{};
    setText(record.Sex, QStringLiteral("オス"));
    QCOMPARE(QByteArray(record.Sex.data(), 10), QByteArray::fromHex("83 49 83 58 20 20 20 20 20 20"));
    QCOMPARE(fieldText(record.Sex), QStringLiteral("オス      "));
    QCOMPARE(shownText(record.Sex), QStringLiteral("オス      "));

    // Sixteen full-width characters: the field holds fifteen.
    setText(record.Kind, QStringLiteral("あいうえおかきくけこさしすせそた"));
    QCOMPARE(fieldText(record.Kind), QStringLiteral("あいうえおかきくけこさしすせそ"));

    // A cut inside a character leaves a space where its lead byte would have been.
    setText(record.Kind, QStringLiteral("aあいうえおかきくけこさしすせそ"));
    QCOMPARE(record.Kind[29], ' ');
    QCOMPARE(fieldText(record.Kind), QStringLiteral("aあいうえおかきくけこさしすせ "));

    setText(record.Memo1, QString());
    QCOMPARE(QByteArray(record.Memo1.data(), 70), QByteArray(70, ' '));
    QCOMPARE(fieldText(record.Memo1), QString(70, QLatin1Char(' ')));
}

void TestCodec::assigningOverwritesTheWholeField()
{
    PetRecord record{};
    record.Staff.fill('\0');
    setText(record.Staff, QStringLiteral("佐藤"));
    QCOMPARE(QByteArray(record.Staff.data(), 30), QByteArray::fromHex("8D B2 93 A1") + QByteArray(26, ' '));

    record.Staff.fill('x');
    setText(record.Staff, QStringLiteral("ﾀﾛｳ"));
    QCOMPARE(QByteArray(record.Staff.data(), 30), QByteArray::fromHex("C0 DB B3") + QByteArray(27, ' '));
    // The neighbours are not touched.
    QCOMPARE(QByteArray(record.CoatColour.data(), 30), QByteArray(30, '\0'));
    QCOMPARE(QByteArray(record.Medication1.data(), 50), QByteArray(50, '\0'));
}

void TestCodec::shownTextStopsAtTheFirstZeroByte()
{
    PetRecord record{};
    QCOMPARE(shownText(record.Kind), QString());
    QCOMPARE(fieldText(record.Kind), QString(30, QChar(0)));

    const QByteArray bytes = QByteArray::fromHex("8E C4 8C A2 00 41 42") + QByteArray(23, ' ');
    std::copy(bytes.cbegin(), bytes.cend(), record.Kind.begin());
    QCOMPARE(shownText(record.Kind), QStringLiteral("柴犬"));
    QCOMPARE(fieldText(record.Kind).left(7), QStringLiteral("柴犬") + QChar(0) + QStringLiteral("AB  "));

    // Whatever other byte begins a kind, the kind shows something: a record is free exactly when its
    // kind begins with a zero byte, and the search for a free record looks at that byte alone.
    QVERIFY(isFreeRecord(PetRecord{}));
    for (int first = 1; first < 256; ++first) {
        PetRecord kind{};
        kind.Kind[0] = char(first);
        QVERIFY(!isFreeRecord(kind));
        QVERIFY2(!shownText(kind.Kind).isEmpty(), qPrintable(QString::number(first, 16)));
    }
}

void TestCodec::invisibleFormatCharactersAreLeftOut()
{
    // A variation selector after a kanji or a zero-width joiner has no code page 932 form and no
    // look of its own: leaving it out keeps the text as the user saw it, where a '?' would not.
    QCOMPARE(Sjis::encode(QStringLiteral("葛") + QString::fromUcs4(U"\U000E0100")),
             QByteArray::fromHex("8A 8B"));
    QCOMPARE(Sjis::encode(QStringLiteral("a\u200Db")), QByteArrayLiteral("ab"));
    // Visible characters without a form are still written as '?', one for each.
    QCOMPARE(Sjis::encode(QStringLiteral("한€x")), QByteArrayLiteral("??x"));
    QCOMPARE(Sjis::encode(QString(QChar(0xD800)) + QStringLiteral("a")), QByteArrayLiteral("?a"));
}

void TestCodec::bytesThatAreNotCodePage932DecodeWithoutLoss()
{
    // A field cut by another program may end in half a character, and foreign bytes can turn up
    // in any file: each bad character becomes U+FFFD, the text around it is kept.
    QCOMPARE(Sjis::decode(QByteArray::fromHex("61 62 83")), QStringLiteral("ab\uFFFD"));
    QCOMPARE(Sjis::decode(QByteArray::fromHex("83 20 78")), QStringLiteral("\uFFFD x"));
    QCOMPARE(Sjis::decode(QByteArray::fromHex("FF 80 41")), QStringLiteral("\uFFFD\uFFFDA"));
    QCOMPARE(Sjis::decode(QByteArray::fromHex("85 40 41")), QStringLiteral("\uFFFDA"));
}

// Japanese keyboards type U+00A5; code page 932 and Japanese Windows keep it as byte 0x5C.
void TestCodec::yenSignIsByte5CAndShowsAsYen()
{
    QCOMPARE(Sjis::encode(QStringLiteral("¥298,000")).toHex(' '), QByteArray("5c 32 39 38 2c 30 30 30"));
    QCOMPARE(Sjis::encode(QStringLiteral("￥5円")).toHex(' '), QByteArray("81 8f 35 89 7e"));
    PetRecord record{};
    setText(record.PlannedPrice, QStringLiteral("¥298,000"));
    QCOMPARE(QByteArray(record.PlannedPrice.data(), 10), QByteArray("\\298,000  "));
    QCOMPARE(shownText(record.PlannedPrice), QStringLiteral("¥298,000") + QString(22, u' '));
    QCOMPARE(fieldText(record.PlannedPrice).left(8), QStringLiteral("¥298,000"));
    QCOMPARE(Sjis::displayText(QByteArray::fromHex("5c 31 30 30 81 8f")), QStringLiteral("¥100￥"));
    // Shown and written back, the byte stays what it was.
    const QByteArray stored = QByteArray::fromHex("5c 31 32 30 2c 30 30 30");
    QCOMPARE(Sjis::encode(Sjis::displayText(stored)), stored);
}

void TestCodec::controlBytesStayThemselves()
{
    // Code page 932 keeps every byte below 0x80 as the same character; some converters exchange
    // 0x1A, 0x1C and 0x7F as IBM's code pages do, which would show and write other characters.
    const QByteArray bytes = QByteArray::fromHex("09 1A 1C 41 7F");
    const QString text = QStringLiteral("\t\u001A\u001CA\u007F");
    QCOMPARE(Sjis::decode(bytes), text);
    QCOMPARE(Sjis::encode(text).toHex(' '), bytes.toHex(' '));
    QCOMPARE(Sjis::firstInvalidByte(bytes), qsizetype(-1));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "test_codec.moc"
