#include "store/Failure.h"
#include "store/ShopSettings.h"
#include "support/ProgramFixture.h"
#include "support/Sandbox.h"

#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

#include <memory>

// The shop's four details in the per-user settings store, each test with a store of its own.
class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void neverSavedKeysReadEmpty();
    void valuesComeBackUnchanged_data();
    void valuesComeBackUnchanged();
    void theFourKeysAreKeptApart();
    void valuesLieUnderSoranikaMysave1();
    void handWrittenValuesReadAsText_data();
    void handWrittenValuesReadAsText();
    void saveOnAFullDiskKeepsTheFileAsItWas();

private:
    std::unique_ptr<Sandbox> dir;
};

void TestSettings::init()
{
    dir = std::make_unique<Sandbox>();
}

void TestSettings::cleanup()
{
    dir.reset();
}

void TestSettings::neverSavedKeysReadEmpty()
{
    for (const QString& key : ShopSettings::Keys)
        QCOMPARE(ShopSettings::get(key), QString());
}

void TestSettings::valuesComeBackUnchanged_data()
{
    QTest::addColumn<QString>("value");
    QString longText;
    while (longText.size() < 320)
        longText +=
            QStringLiteral("東京都港区芝公園４丁目２−８　ペットショップ「ソラニカ」～毎日営業①㈱ｱｲｳ、");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces around") << QStringLiteral("  spaces around  ");
    QTest::newRow("long Japanese") << longText;
    QTest::newRow("commas and semicolons") << QStringLiteral("港区, 芝; 1=2");
    QTest::newRow("quotes and backslashes") << QStringLiteral("\"a\\b\" 'c'");
    QTest::newRow("at sign first") << QStringLiteral("@Variant(x)");
    QTest::newRow("line break") << QStringLiteral("1行目\n2行目");
}

void TestSettings::valuesComeBackUnchanged()
{
    QFETCH(QString, value);
    for (const QString& key : ShopSettings::Keys) {
        ShopSettings::save(key, QStringLiteral("earlier value"));
        ShopSettings::save(key, value);
        QCOMPARE(ShopSettings::get(key), value);
    }
}

void TestSettings::theFourKeysAreKeptApart()
{
    const QStringList values{QStringLiteral("ソラニカ"), QStringLiteral("03-1234-5678"),
                             QStringLiteral("東京都"), QString()};
    for (int i = 0; i < 4; ++i)
        ShopSettings::save(ShopSettings::Keys[i], values[i]);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ShopSettings::get(ShopSettings::Keys[i]), values[i]);
    QCOMPARE(ShopSettings::Keys[0], QStringLiteral("myd1"));
    QCOMPARE(ShopSettings::Keys[3], QStringLiteral("myd4"));
}

void TestSettings::valuesLieUnderSoranikaMysave1()
{
    ShopSettings::save(QStringLiteral("myd1"), QStringLiteral("ソラニカ"));
    const QString file = dir->filePath(Sandbox::settingsFile());
    QVERIFY2(QFile::exists(file), qPrintable(file));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("[mysave1]"), text.constData());
    QVERIFY2(text.contains("myd1="), text.constData());
    QCOMPARE(QSettings(file, QSettings::IniFormat).value(QStringLiteral("mysave1/myd1")).toString(),
             QStringLiteral("ソラニカ"));
}

void TestSettings::handWrittenValuesReadAsText_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    // A comma outside quotes makes the value a list; it reads as its items joined again.
    QTest::newRow("comma and space") << QByteArray("myd3=港区, 芝公園") << QStringLiteral("港区, 芝公園");
    QTest::newRow("bare commas") << QByteArray("myd3=a,b,c") << QStringLiteral("a, b, c");
    QTest::newRow("quoted comma") << QByteArray("myd3=\"a,b\"") << QStringLiteral("a,b");
    QTest::newRow("plain") << QByteArray("myd3=ソラニカ") << QStringLiteral("ソラニカ");
}

void TestSettings::handWrittenValuesReadAsText()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    QVERIFY(QDir().mkpath(dir->filePath(QStringLiteral("settings/soranika"))));
    writeFileBytes(ShopSettings::fileName(), "[mysave1]\n" + line + "\n");
    QCOMPARE(ShopSettings::get(QStringLiteral("myd3")), value);
}

void TestSettings::saveOnAFullDiskKeepsTheFileAsItWas()
{
    ShopSettings::save(QStringLiteral("myd1"), QStringLiteral("ソラニカ"));
    ShopSettings::save(QStringLiteral("myd2"), QStringLiteral("03-1234-5678"));
    const QByteArray before = readFileBytes(ShopSettings::fileName());
    QVERIFY(!before.isEmpty());
    QString failure;
    {
        const FileSizeLimit fullDisk(before.size() + 10);
        try {
            ShopSettings::save(QStringLiteral("myd3"), QString(200, QChar(u'港')));
        } catch (const Failure& f) {
            failure = f.description();
        }
    }
    QCOMPARE(failure, QStringLiteral("設定を保存できません。"));
    QCOMPARE(readFileBytes(ShopSettings::fileName()), before);
    QCOMPARE(ShopSettings::get(QStringLiteral("myd2")), QStringLiteral("03-1234-5678"));
    QCOMPARE(ShopSettings::get(QStringLiteral("myd3")), QString());
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
