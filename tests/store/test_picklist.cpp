#include "store/Failure.h"
#include "store/PickListFile.h"
#include "support/ProgramFixture.h"
#include "support/Sandbox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

#include "support/FileSizeLimit.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    void appendEndsAnUnterminatedLastLineFirst_data();
    void appendEndsAnUnterminatedLastLineFirst();
    void failedAppendLeavesTheFileAsItWas_data();
    void failedAppendLeavesTheFileAsItWas();
    void rewriteWritesEveryItemWithCrLf();
    void rewriteOfAnEmptyListLeavesAnEmptyFile();
    void failedRewriteKeepsTheOldList();
    void rewriteIntoAMissingDirectoryFails();
    void rewriteRefusesWhatIsNotARegularFile_data();
    void rewriteRefusesWhatIsNotARegularFile();
    void staleTemporariesOfTheNineListsGoAndNothingElse();

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

void TestPickList::appendEndsAnUnterminatedLastLineFirst_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("items");
    const QString chihuahua = QStringLiteral("ﾁﾜﾜ");
    QTest::newRow("ends in CR LF") << "a\r\n" + Shiba + "\r\n"
                                   << "a\r\n" + Shiba + "\r\n" + Chihuahua + "\r\n"
                                   << QStringList{"a", QStringLiteral("柴犬"), chihuahua};
    QTest::newRow("last line without CR LF")
        << "a\r\n" + Shiba << "a\r\n" + Shiba + "\r\n" + Chihuahua + "\r\n"
        << QStringList{"a", QStringLiteral("柴犬"), chihuahua};
    QTest::newRow("only one line without CR LF") << Shiba << Shiba + "\r\n" + Chihuahua + "\r\n"
                                                 << QStringList{QStringLiteral("柴犬"), chihuahua};
    QTest::newRow("ends in a lone CR") << Shiba + "\r" << Shiba + "\r\n" + Chihuahua + "\r\n"
                                       << QStringList{QStringLiteral("柴犬"), chihuahua};
    // A lone LF is part of the item's text; the item still ends before the new one.
    QTest::newRow("ends in a lone LF") << Shiba + "\n"
                                       << Shiba + "\n\r\n" + Chihuahua + "\r\n"
                                       << QStringList{QStringLiteral("柴犬\n"), chihuahua};
    QTest::newRow("empty file") << QByteArray() << Chihuahua + "\r\n" << QStringList{chihuahua};
}

void TestPickList::appendEndsAnUnterminatedLastLineFirst()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, items);
    writeFileBytes(FileName, before);
    PickListFile::appendItem(FileName, QStringLiteral("ﾁﾜﾜ"));
    QCOMPARE(readFileBytes(FileName), after);
    QCOMPARE(PickListFile::readItems(FileName), items);
}

void TestPickList::failedAppendLeavesTheFileAsItWas_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("ends in CR LF") << QByteArray("a\r\nb\r\n");
    QTest::newRow("last line without CR LF") << QByteArray("a\r\nb");
}

void TestPickList::failedAppendLeavesTheFileAsItWas()
{
    QFETCH(QByteArray, before);
    writeFileBytes(FileName, before);
    QString failure;
    {
        // Room for part of the item, as on a disk that fills up halfway through the line.
        const FileSizeLimit limit(before.size() + 10);
        try {
            PickListFile::appendItem(FileName, QString(40, QChar(u'犬')));
        } catch (const Failure& f) {
            failure = f.description();
        }
    }
    QCOMPARE(failure, QStringLiteral("ファイルに書き込めません。 (syurui.txt)"));
    QCOMPARE(readFileBytes(FileName), before);

    // The next item stands on a line of its own.
    PickListFile::appendItem(FileName, QStringLiteral("c"));
    QCOMPARE(PickListFile::readItems(FileName), (QStringList{"a", "b", "c"}));
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
    const QByteArray old = "a\r\nb\r\n";
    writeFileBytes(FileName, old);
    const QStringList longList(100, QStringLiteral("ミニチュア・ダックスフンド"));
    QString failure;
    {
        const FileSizeLimit limit(64);
        try {
            PickListFile::rewrite(FileName, longList);
        } catch (const Failure& f) {
            failure = f.description();
        }
    }
    QCOMPARE(failure, QStringLiteral("ファイルに書き込めません。 (syurui.txt)"));
    QCOMPARE(readFileBytes(FileName), old);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{FileName});
}

void TestPickList::rewriteIntoAMissingDirectoryFails()
{
    const QString name = QStringLiteral("missing/syurui.txt");
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::rewrite(name, {QStringLiteral("a")}));
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::appendItem(name, QStringLiteral("a")));
    QVERIFY_THROWS_EXCEPTION(Failure, PickListFile::ensureExists(name));
    QVERIFY(QDir().isEmpty());
}

void TestPickList::rewriteRefusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("link to a device") << QStringLiteral("link to device");
    QTest::newRow("link to a FIFO") << QStringLiteral("link to fifo");
    QTest::newRow("link to a folder") << QStringLiteral("link to folder");
    QTest::newRow("link to nothing") << QStringLiteral("link to nothing");
    QTest::newRow("device") << QStringLiteral("device");
    QTest::newRow("FIFO") << QStringLiteral("fifo");
}

void TestPickList::rewriteRefusesWhatIsNotARegularFile()
{
#ifndef Q_OS_UNIX
    QSKIP("makes FIFOs, device nodes and symbolic links");
#else
    QFETCH(QString, kind);
    const bool linked = kind.startsWith(QLatin1String("link to "));
    const QString target = linked ? QStringLiteral("target") : FileName;
    // A device of its own (the null device's numbers) rather than /dev/null itself, so a rewrite
    // that goes through replaces nothing outside the test's folder.
    if (kind.endsWith(QLatin1String("device")) &&
        ::mknod(qPrintable(target), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("device nodes cannot be made here");
    if (kind.endsWith(QLatin1String("fifo")))
        QCOMPARE(::mkfifo(qPrintable(target), 0666), 0);
    if (kind.endsWith(QLatin1String("folder")))
        QVERIFY(QDir().mkdir(target));
    if (linked)
        QVERIFY(QFile::link(target, FileName));
    const QFileInfo before(target);

    try {
        PickListFile::rewrite(FileName, {QStringLiteral("a")});
        QFAIL("the list was written");
    } catch (const Failure& f) {
        QCOMPARE(f.description(), QStringLiteral("ファイルを開けません。 (syurui.txt)"));
    }
    const QFileInfo after(target);
    QCOMPARE(after.exists(), before.exists());
    QCOMPARE(after.isFile(), false);
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(QFileInfo(FileName).isSymbolicLink(), linked);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size(),
             linked && kind != QLatin1String("link to nothing") ? 2 : 1);
#endif
}

void TestPickList::staleTemporariesOfTheNineListsGoAndNothingElse()
{
#ifndef Q_OS_UNIX
    QSKIP("makes a FIFO and a symbolic link");
#else
    const QDateTime startedAt = QDateTime::currentDateTime();
    const QDateTime before = startedAt.addSecs(-60);
    const QDateTime after = startedAt.addSecs(60);
    const auto make = [](const QString& name, const QDateTime& modified) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("left over\r\n");
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    // What a rewrite cut short leaves: the list's name, a dot and six letters.
    for (const QString& name : {QStringLiteral("syurui.txt.AbCdEf"), QStringLiteral("iro.txt.QWERTY"),
                                QStringLiteral("hoka2.txt.zzzzzz")})
        make(name, before);
    const QStringList kept{QStringLiteral("syurui.txt"),         QStringLiteral("kusuri.txt.NewOne"),
                           QStringLiteral("syurui.txt.abc12Z"),  QStringLiteral("syurui.txt.ABCDEFG"),
                           QStringLiteral("syurui.txt.ABCDE"),   QStringLiteral("syurui.txt.bak"),
                           QStringLiteral("other.txt.ABCDEF"),   QStringLiteral("detapetto.dt.ABCDEF"),
                           QStringLiteral("xsyurui.txt.ABCDEF"), QStringLiteral("SYURUI.TXT.ABCDEF")};
    for (const QString& name : kept)
        make(name, name == QLatin1String("kusuri.txt.NewOne") ? after : before);
    // Only regular files go: not a folder, a FIFO or a link of a temporary's name.
    QVERIFY(QDir().mkdir(QStringLiteral("tokucyou.txt.Folder")));
    QCOMPARE(::mkfifo("shoku.txt.FifoXx", 0666), 0);
    QVERIFY(QFile::link(QStringLiteral("syurui.txt"), QStringLiteral("unti.txt.Linked")));

    QCOMPARE(PickListFile::removeStaleTemporaries(startedAt), 3);
    QStringList left =
        kept + QStringList{QStringLiteral("tokucyou.txt.Folder"), QStringLiteral("shoku.txt.FifoXx"),
                           QStringLiteral("unti.txt.Linked")};
    left.sort();
    QCOMPARE(
        QDir().entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        left);
#endif
}

QTEST_GUILESS_MAIN(TestPickList)
#include "test_picklist.moc"
