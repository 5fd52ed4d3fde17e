#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "store/SaleStore.h"
#include "store/ScratchFolder.h"
#include "store/SqliteConnection.h"
#include "support/DialogDriver.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

#include <memory>

#include <sys/stat.h>

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
    PetRecord record{};
    record.BirthYear = 2024;
    record.BirthMonth = 4;
    record.BirthDay = 15;
    setText(record.Kind, QStringLiteral("柴犬"));
    setText(record.SaleDate, QStringLiteral("2026/12/1"));
    return QByteArray(reinterpret_cast<const char*>(&record), RecordLength);
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
    ChartSale sale;
    sale.buyerName = QStringLiteral("山田 花子");
    sale.buyerPhone = QStringLiteral("03-1234-5678");
    f->program->sales().saveChartSale(1, sale);
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
    ChartSale sale;
    sale.buyerName = QStringLiteral("山田 花子");
    f->program->sales().saveChartSale(1, sale);
    QVERIFY(QDir().mkdir(QStringLiteral("バックアップ")));
    QVERIFY(::chmod("soranika.db", 0644) == 0);
    QVERIFY(::chmod(QFile::encodeName(QStringLiteral("バックアップ")).constData(), 0755) == 0);

    f->program->sales().chartSale(1);
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

QTEST_MAIN(TestFileModes)
#include "test_filemodes.moc"
