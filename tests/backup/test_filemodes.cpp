#include "app/DataFolderLock.h"
#include "backup/BackupService.h"
#include "backup/SaleDatabaseCopy.h"
#include "backup/SaleStoreEntry.h"
#include "backup/ShopIni.h"
#include "store/PetRecord.h"
#include "store/SaleStore.h"
#include "store/ScratchFolder.h"
#include "store/SqliteConnection.h"
#include "support/DialogDriver.h"
#include "support/FixedClock.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <memory>

#include <sys/stat.h>
#include <sys/time.h>

namespace {

int modeOf(const QString& path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QByteArray soldChart()
{
    return SampleChart{
        .kind = QStringLiteral("柴犬"), .born = QDate(2024, 4, 15), .sold = QStringLiteral("2026/12/1")}
        .bytes();
}

} // namespace

// Who can read the files the program writes: what holds the buyers' data is the owner's only, the
// rest as the umask says.
class TestFileModes : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buyersDataIsTheOwnersOnly();
    void recordBookIsTheOwnersOnlyUnderAnyUmask();
    void filesOfAnOlderVersionAreClosed();
    void scratchCopiesOfAKilledProgramGo();
    void restoreOntoANewFolderIsTheOwnersOnly();
    void temporaryCopiesOfKilledRunsGoAtStart();

private:
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }

    mode_t previousMask = 0;
    std::unique_ptr<ProgramFixture> f;
};

void TestFileModes::init()
{
    // The usual desktop umask, under which new files are readable by every user.
    previousMask = ::umask(022);
    f = std::make_unique<ProgramFixture>();
    writeFileBytes("detapetto.dt", soldChart());
    writeFileBytes("syurui.txt", sjis("柴犬\r\n"));
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestFileModes::cleanup()
{
    f.reset();
    ::umask(previousMask);
}

void TestFileModes::buyersDataIsTheOwnersOnly()
{
    f->program->database().sales().saveChartSale(
        1, buyerSale(QStringLiteral("山田 花子"), {}, QStringLiteral("03-1234-5678")));
    for (const char* file : {"ledger.csv", "charts.csv", "sheet.pdf", "chart.pdf", "hand.zip"})
        f->files.setNextAnswer(f->path(QString::fromLatin1(file)));
    for (const char* menu : {"actSaleLedger", "actExportCsv", "actExplanationPdf", "actSavePdf", "actBackup"})
        action(QString::fromLatin1(menu))->trigger();
    f->program->backups().setDailyBackupEnabled(true);
    f->program->backups().startDailyBackup();
    f->program->backups().waitForDailyBackup();
    f->program->backups().restore(f->program->backups().open(f->path("hand.zip")));
    QCOMPARE(f->messages.asked.size(), 0);

    // The database's log files are there while a connection is open.
    SqliteConnection db(QStringLiteral("soranika.db"), QStringLiteral("soranika.db"));
    db.useWriteAheadLog();
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM chart_sale")).toInt(), 1);

    const QList<std::pair<QString, int>> expected{
        {"soranika.db", 0600},
        {"soranika.db-wal", 0600},
        {"soranika.db-shm", 0600},
        {"バックアップ", 0700},
        {"バックアップ/20261207.zip", 0600},
        {"バックアップ/restore-before-20261207_090503.zip", 0600},
        {"hand.zip", 0600},
        {"ledger.csv", 0600},
        {"charts.csv", 0600},
        {"sheet.pdf", 0600},
        // The charts, the lists and the chart's own printout stay as they were.
        {"chart.pdf", 0644},
        {"detapetto.dt", 0644},
        {"syurui.txt", 0644},
    };
    for (const auto& [file, mode] : expected)
        QVERIFY2(modeOf(f->path(file)) == mode,
                 qPrintable(QStringLiteral("%1: %2").arg(file).arg(modeOf(f->path(file)), 0, 8)));
}

void TestFileModes::recordBookIsTheOwnersOnlyUnderAnyUmask()
{
    // A umask that lets every user read and write what is created.
    ::umask(0);
    whenDialogShows([&](QDialog* dialog) {
        f->files.setNextAnswer(f->path("book.csv"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    action("actRecordBook")->trigger();
    QCOMPARE(f->messages.asked.size(), 0);
    QCOMPARE(modeOf(f->path("book.csv")), 0600);
    QCOMPARE(modeOf(f->path("book.pdf")), 0600);
}

void TestFileModes::filesOfAnOlderVersionAreClosed()
{
    // What an older version left readable to all.
    f->program->database().sales().saveChartSale(1, buyerSale(QStringLiteral("山田 花子")));
    QVERIFY(QDir().mkdir(QStringLiteral("バックアップ")));
    QVERIFY(::chmod("soranika.db", 0644) == 0);
    QVERIFY(::chmod(QFile::encodeName(QStringLiteral("バックアップ")).constData(), 0755) == 0);

    f->program->database().sales().chartSale(1);
    f->program->backups().setDailyBackupEnabled(true);
    f->program->backups().startDailyBackup();
    f->program->backups().waitForDailyBackup();
    QCOMPARE(modeOf(QStringLiteral("soranika.db")), 0600);
    QCOMPARE(modeOf(QStringLiteral("バックアップ")), 0700);
}

void TestFileModes::scratchCopiesOfAKilledProgramGo()
{
    // A scratch folder in use is left alone; one without a living program, and the copy of the
    // buyers' data in it, goes.
    const ScratchFolder inUse;
    writeFileBytes(inUse.filePath(QStringLiteral("snapshot.db")), "in use");
    const QString abandoned =
        QDir::temp().filePath(QStringLiteral("soranika-scratch-test%1").arg(QTest::currentTestFunction()));
    QVERIFY(QDir().mkpath(abandoned));
    writeFileBytes(abandoned + QStringLiteral("/snapshot.db"), "left behind");
    // A lock of a process that has ended.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    writeFileBytes(abandoned + QStringLiteral("/in-use.lock"),
                   QByteArray::number(pid) + "\nsoranika\n" + QSysInfo::machineHostName().toUtf8() + '\n');

    ScratchFolder::removeAbandoned();
    QVERIFY(!QFileInfo::exists(abandoned));
    QCOMPARE(readFileBytes(inUse.filePath(QStringLiteral("snapshot.db"))), QByteArray("in use"));
}

void TestFileModes::restoreOntoANewFolderIsTheOwnersOnly()
{
    // Every file created from here on is readable by all unless the program says otherwise.
    ::umask(0);
    f->program->database().sales().saveChartSale(1, buyerSale(QStringLiteral("山田 花子")));
    QCOMPARE(modeOf(QStringLiteral("soranika.db")), 0600);
    f->files.setNextAnswer(f->path(QStringLiteral("hand.zip")));
    action(QStringLiteral("actBackup"))->trigger();
    QCOMPARE(f->messages.asked.size(), 0);

    // The new computer: an empty data folder, and the backup restored onto it.
    const QTemporaryDir fresh;
    QVERIFY(QDir::setCurrent(fresh.path()));
    {
        FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
        SaleStore store;
        BackupService backups(clock);
        backups.setDailyBackupEnabled(false);
        backups.addExtraEntry(saleStoreEntry(store));
        backups.restore(backups.open(f->path(QStringLiteral("hand.zip"))));
    }
    // As the restore left them, before the program opens the database again.
    const int database = modeOf(QStringLiteral("soranika.db"));
    const int records = modeOf(QStringLiteral("detapetto.dt"));
    QVERIFY(QDir::setCurrent(f->dir.path()));
    QCOMPARE(database, 0600);
    QCOMPARE(records, 0666);
}

void TestFileModes::temporaryCopiesOfKilledRunsGoAtStart()
{
    // A temporary folder of the test's own, as the system's would be.
    const QTemporaryDir temporary;
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    f->program->database().sales().saveChartSale(1, buyerSale(QStringLiteral("山田 花子")));
    // Programs killed while they check a backup's database and settings, whose copies they hold in
    // temporary files.
    for (int run = 0; run < 3; ++run) {
        QProcess checking;
        checking.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--check-forever"), f->dir.path()});
        QVERIFY(checking.waitForStarted());
        QVERIFY(checking.waitForReadyRead(10000));
        QTest::qWait(20 * run);
        checking.kill();
        QVERIFY(checking.waitForFinished());
    }
    // What killed programs of earlier versions left without a lock, a while ago; a folder of theirs
    // that has just been made may still be in use.
    for (const char* left :
         {"soranika-a1B2c3/archive.db", "soranika-a1B2c3/clean.db", "soranika-settings-Xy9Zq1/soranika.conf",
          "soranika-settings-JustNw/soranika.conf"}) {
        const QString path = temporary.filePath(QString::fromLatin1(left));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeFileBytes(path, "山田 花子");
    }
    for (const char* old : {"soranika-a1B2c3", "soranika-settings-Xy9Zq1"}) {
        const struct timeval anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        QVERIFY(::utimes(QFile::encodeName(temporary.filePath(QString::fromLatin1(old))).constData(),
                         anHourAgo) == 0);
    }
    // Another program's folder that only looks alike, and a scratch folder in use, stay.
    QVERIFY(QDir().mkpath(temporary.filePath(QStringLiteral("soranika-notes"))));
    const ScratchFolder inUse;
    // At least one copy from each killed run.
    const QStringList before = QDir(temporary.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY2(before.size() >= 8, qPrintable(before.join(QLatin1Char(' '))));

    const std::unique_ptr<DataFolderLock> lock = claimDataFolder(f->dir.path(), f->messages);
    QVERIFY(lock);
    // Qt's own folder for the test's child processes aside.
    const QStringList after = QDir(temporary.path())
                                  .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                  .filter(QRegularExpression(QStringLiteral(
                                      "^(?!runtime-|soranika-notes$|soranika-settings-JustNw$)")));
    qputenv("TMPDIR", previousTemp);
    QVERIFY(QFileInfo::exists(temporary.filePath(QStringLiteral("soranika-settings-JustNw/soranika.conf"))));
    QVERIFY2(after.size() == 1, qPrintable(after.join(QLatin1Char(' '))));
    QVERIFY(after[0].startsWith(QStringLiteral("soranika-scratch-")));
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--check-forever")) {
        // The database and settings of a backup checked over and over, as opening a backup does: the
        // database unpacked into a scratch folder and copied clean there.
        const QString database = QDir(arguments[2]).filePath(QStringLiteral("soranika.db"));
        const QByteArray ini = ShopIni::encode({"a", "b", "c", "d"});
        for (bool first = true;; first = false) {
            const ScratchFolder scratch;
            const QString unpacked = scratch.filePath(QStringLiteral("soranika.db"));
            if (!QFile::copy(database, unpacked))
                return 1;
            SaleDatabaseCopy::copy(unpacked, scratch.filePath(QStringLiteral("clean.db")),
                                   QStringLiteral("soranika.db"));
            ShopIni::decode(ini);
            if (first) {
                std::printf("checking\n");
                std::fflush(stdout);
            }
        }
    }
    TestFileModes test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_filemodes.moc"
