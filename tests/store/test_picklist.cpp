#include "store/Failure.h"
#include "store/PickListFile.h"
#include "support/ProgramFixture.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// The pick-list text files: line ends, code page 932 both ways, and failures that keep the list.
class TestPickList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ensureExistsCreatesAnEmptyFileAndLeavesAnExistingOneAlone();
    void readItems_data();
    void readItems();
    void readingAMissingFileNamesIt();
    void appendItemAddsTheTextAndCrLf();
    void rewriteWritesEveryItemWithCrLf();
    void rewriteOfAnEmptyListLeavesAnEmptyFile();
    void failedRewriteKeepsTheOldList();
    void rewriteIntoAMissingDirectoryFails();

private:
    std::unique_ptr<Sandbox> dir;
};

namespace {

const QString FileName = QStringLiteral("syurui.txt");
// 柴犬 and ﾁﾜﾜ in code page 932.
const QByteArray Shiba = QByteArray::fromHex("8E C4 8C A2");
const QByteArray Chihuahua = QByteArray::fromHex("C1 DC DC");

} // namespace

void TestPickList::init()
{
    dir = std::make_unique<Sandbox>();
}

void TestPickList::cleanup()
{
    dir.reset();
}

void TestPickList::ensureExistsCreatesAnEmptyFileAndLeavesAnExistingOneAlone()
{
    PickListFile::ensureExists(FileName);
    QVERIFY(QFile::exists(FileName));
    QCOMPARE(QFileInfo(FileName).size(), 0);
    QCOMPARE(PickListFile::readItems(FileName), QStringList());

    const QByteArray existing = "a\r\nb" + Shiba;
    writeFileBytes(FileName, existing);
    PickListFile::ensureExists(FileName);
    QCOMPARE(readFileBytes(FileName), existing);
}

void TestPickList::readItems_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("ends in CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("last line without CR LF") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("blank line") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("only a blank line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("spaces kept") << QByteArray("  a b  \r\n \r\n") << QStringList{"  a b  ", " "};
    QTest::newRow("same text twice") << QByteArray("a\r\na\r\n") << QStringList{"a", "a"};
    QTest::newRow("lone LF is text") << QByteArray("a\nb\r\nc\n") << QStringList{"a\nb", "c\n"};
    QTest::newRow("lone CR ends an item") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("code page 932") << Shiba + "\r\n" + Chihuahua + "\r\n"
                                   << QStringList{QStringLiteral("柴犬"), QStringLiteral("ﾁﾜﾜ")};
    QTest::newRow("wave dash and circled one")
        << QByteArray::fromHex("81 60 87 40 0D 0A") << QStringList{QStringLiteral("～①")};
}

void TestPickList::readItems()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    writeFileBytes(FileName, bytes);
    QCOMPARE(PickListFile::readItems(FileName), items);
}

void TestPickList::readingAMissingFileNamesIt()
{
    try {
        PickListFile::readItems(FileName);
        QFAIL("a missing file was read");
    } catch (const Failure& f) {
        QCOMPARE(f.description(), QStringLiteral("ファイルが見つかりません。 (syurui.txt)"));
    }
    QVERIFY(!QFile::exists(FileName));
}

void TestPickList::appendItemAddsTheTextAndCrLf()
{
    writeFileBytes(FileName, "a\r\n");
    PickListFile::appendItem(FileName, QStringLiteral("柴犬"));
    PickListFile::appendItem(FileName, QStringLiteral("柴犬"));
    PickListFile::appendItem(FileName, QStringLiteral(" ﾁﾜﾜ "));
    PickListFile::appendItem(FileName, QString());
    PickListFile::appendItem(FileName, QStringLiteral("€"));
    QCOMPARE(readFileBytes(FileName),
             "a\r\n" + Shiba + "\r\n" + Shiba + "\r\n " + Chihuahua + " \r\n\r\n?\r\n");
    QCOMPARE(
        PickListFile::readItems(FileName),
        (QStringList{"a", QStringLiteral("柴犬"), QStringLiteral("柴犬"), QStringLiteral(" ﾁﾜﾜ "), "", "?"}));

    // Appending creates a missing file.
    PickListFile::appendItem(QStringLiteral("iro.txt"), QStringLiteral("白"));
    QCOMPARE(readFileBytes(QStringLiteral("iro.txt")), QByteArray::fromHex("94 92 0D 0A"));
}

void TestPickList::rewriteWritesEveryItemWithCrLf()
{
    writeFileBytes(FileName, "old\r\nlist\r\nlonger than the new one\r\n");
    const QStringList items{QStringLiteral("ﾁﾜﾜ"), QString(), QStringLiteral(" b "), QStringLiteral("柴犬")};
    PickListFile::rewrite(FileName, items);
    QCOMPARE(readFileBytes(FileName), Chihuahua + "\r\n\r\n b \r\n" + Shiba + "\r\n");
    QCOMPARE(PickListFile::readItems(FileName), items);
    QCOMPARE(QDir().entryList(QDir::Files), QStringList{FileName});
}

void TestPickList::rewriteOfAnEmptyListLeavesAnEmptyFile()
{
    writeFileBytes(FileName, "a\r\n");
    PickListFile::rewrite(FileName, {});
    QVERIFY(QFile::exists(FileName));
    QCOMPARE(QFileInfo(FileName).size(), 0);
}

void TestPickList::failedRewriteKeepsTheOldList()
{
#ifndef Q_OS_UNIX
    QSKIP("limits the size of written files through setrlimit");
#else
    // File modes do not stop root, but a limit on the size of written files stops everyone: the
    // new list cannot be written in full, as on a full disk.
    const QByteArray old = "a\r\nb\r\n";
    writeFileBytes(FileName, old);
    const QStringList longList(100, QStringLiteral("ミニチュア・ダックスフンド"));

    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString failure;
    try {
        PickListFile::rewrite(FileName, longList);
    } catch (const Failure& f) {
        failure = f.description();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(failure, QStringLiteral("ファイルに書き込めません。 (syurui.txt)"));
    QCOMPARE(readFileBytes(FileName), old);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{FileName});
#endif
}

void TestPickList::rewriteIntoAMissingDirectoryFails()
{
    const QString name = QStringLiteral("missing/syurui.txt");
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::rewrite(name, {QStringLiteral("a")}));
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::appendItem(name, QStringLiteral("a")));
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::ensureExists(name));
    QVERIFY(QDir().isEmpty());
}

QTEST_GUILESS_MAIN(TestPickList)
#include "test_picklist.moc"
