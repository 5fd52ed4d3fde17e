#include "store/ShopSettings.h"
#include "support/Sandbox.h"

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
    const QString file = dir->filePath(QStringLiteral("settings/soranika/soranika.conf"));
    QVERIFY2(QFile::exists(file), qPrintable(file));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("[mysave1]"), text.constData());
    QVERIFY2(text.contains("myd1="), text.constData());
    QCOMPARE(QSettings(file, QSettings::IniFormat).value(QStringLiteral("mysave1/myd1")).toString(),
             QStringLiteral("ソラニカ"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
