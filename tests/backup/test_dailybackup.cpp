#include "ShopData.h"

#include "app/ScreenRegistry.h"
#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "support/ProgramFixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>

// The daily backup as the program runs it: after the start screen is up, off the user-interface
// thread, waited for when the program ends, and quiet when it fails.
class TestDailyBackup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startScreenShowsBeforeTheArchiveIsWritten();
    void programEndWaitsForTheArchive();
    void failureAtStartShowsNoMessage();

private:
    // Holds the daily backup inside its snapshot until released: an extra entry that waits.
    void holdDailyBackup();
    QString todaysArchive() const { return QStringLiteral("バックアップ/20261207.zip"); }

    std::unique_ptr<ProgramFixture> f;
    QSemaphore gate;
};

void TestDailyBackup::init()
{
    f = std::make_unique<ProgramFixture>();
    f->program->backups().setDailyBackupEnabled(true);
}

void TestDailyBackup::cleanup()
{
    gate.release(1000);
    f.reset();
    gate.acquire(gate.available());
}

void TestDailyBackup::holdDailyBackup()
{
    f->program->backups().addExtraEntry({QStringLiteral("held.bin"), [this](const QString& path) {
                                             gate.acquire();
                                             writeFileBytes(path, "held");
                                             return true;
                                         }});
}

void TestDailyBackup::startScreenShowsBeforeTheArchiveIsWritten()
{
    const QByteArray records = editorWrittenRecord(QStringLiteral("柴犬")).repeated(32767);
    writeFileBytes(QStringLiteral("detapetto.dt"), records);
    holdDailyBackup();
    BackupService& backups = f->program->backups();

    f->start();
    QWidget* startScreen = f->window(QStringLiteral("Form1"));
    QVERIFY(QTest::qWaitForWindowExposed(startScreen));
    QTRY_VERIFY(backups.isDailyBackupRunning());
    QVERIFY(startScreen->isVisible());
    QVERIFY(!QFileInfo::exists(todaysArchive()));

    // The start screen goes on taking the user's clicks while the backup is held.
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form2")});
    QVERIFY(backups.isDailyBackupRunning());

    gate.release();
    backups.waitForDailyBackup();
    const BackupContents contents = backups.open(todaysArchive());
    QCOMPARE(contents.recordCount(), qint64(32767));
    QCOMPARE(contents.data.file(QStringLiteral("detapetto.dt"))->bytes, records);
    QCOMPARE(backups.lastDailyBackupFailure(), QString());
}

void TestDailyBackup::programEndWaitsForTheArchive()
{
    ShopData::writeSample();
    holdDailyBackup();
    f->start();
    QTRY_VERIFY(f->program->backups().isDailyBackupRunning());

    // The chart's 終了, confirmed: the program's explicit end.
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_VERIFY(f->window(QStringLiteral("Form2")));
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command4")),
                      Qt::LeftButton);
    QCOMPARE(f->exits, 1);
    QVERIFY(f->program->backups().isDailyBackupRunning());

    // The backup is let go only once the program is on its way out; it ends with the archive on disk.
    std::thread release([this] {
        QThread::msleep(100);
        gate.release();
    });
    const auto joined = qScopeGuard([&] { release.join(); });
    f->program.reset();
    QVERIFY(QFileInfo::exists(todaysArchive()));
    QCOMPARE(ShopData::dataState().value(QStringLiteral("detapetto.dt")), ShopData::sampleRecords());
}

void TestDailyBackup::failureAtStartShowsNoMessage()
{
    ShopData::writeSample();
    writeFileBytes(QStringLiteral("バックアップ"), "in the way");
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^今日の自動バックアップを作れませんでした")));

    f->start();
    QTRY_VERIFY(!f->program->backups().lastDailyBackupFailure().isEmpty());
    f->program->backups().waitForDailyBackup();
    QTest::qWait(20);
    QVERIFY(f->messages.asked.isEmpty());
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});

    // The chart screen says it once, in its status line, without a box.
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    auto* status = f->control<QLabel>(QStringLiteral("Form2"), QStringLiteral("statusLine"));
    QVERIFY(status->isVisible());
    QVERIFY(status->text().startsWith(QStringLiteral("今日の自動バックアップを作れませんでした。")));
    QVERIFY(f->messages.asked.isEmpty());
    f->program->registry().moveTo(ScreenName::Form2, ScreenRegistry::Leave::Unload, ScreenName::Form1);
    f->program->registry().moveTo(ScreenName::Form1, ScreenRegistry::Leave::Unload, ScreenName::Form2);
    QVERIFY(!f->control<QLabel>(QStringLiteral("Form2"), QStringLiteral("statusLine"))->isVisible());
}

QTEST_MAIN(TestDailyBackup)
#include "test_dailybackup.moc"
