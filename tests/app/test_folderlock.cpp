#include "app/DataFolderLock.h"
#include "app/ScreenRegistry.h"
#include "support/ProgramFixture.h"
#include "support/Sandbox.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

// The lock file the program keeps in its data folder while it runs.
const QString LockFile = QStringLiteral("soranika.lock");

} // namespace

// One program per data folder: a second start on the folder brings the first to the front and ends;
// a lock left by a killed program does not stand in the way.
class TestFolderLock : public QObject
{
    Q_OBJECT
private slots:
    void init() { dir = std::make_unique<Sandbox>(); }
    void cleanup() { dir.reset(); }

    void secondStartBringsTheFirstToTheFront();
    void lockOfAKilledProgramIsTakenOver();
    void lockLeftUnderOurProcessIdIsTakenOver();
    void unreachableFirstIsReported();
    void damagedLockIsTakenOverAndToldOnce_data();
    void damagedLockIsTakenOverAndToldOnce();
    void lockNamingAnotherHolderAsksFirst_data();
    void lockNamingAnotherHolderAsksFirst();

private:
    // Starts this test program as another program holding the sandbox folder; it writes a line
    // each time it is asked to come to the front, or, with `answers` false, holds only the lock.
    bool startHolder(QProcess& holder, bool answers = true) const;

    std::unique_ptr<Sandbox> dir;
};

bool TestFolderLock::startHolder(QProcess& holder, bool answers) const
{
    holder.start(QCoreApplication::applicationFilePath(),
                 {answers ? QStringLiteral("--hold") : QStringLiteral("--hold-silently"), dir->path()});
    // trimmed(): standard output ends lines with "\r\n" on Windows.
    return holder.waitForStarted() && holder.waitForReadyRead(10000) &&
           holder.readLine().trimmed() == "holding";
}

void TestFolderLock::secondStartBringsTheFirstToTheFront()
{
    QProcess first;
    QVERIFY(startHolder(first));
    ScriptedMessageBoxes messages;
    QVERIFY(!claimDataFolder(dir->path(), messages));
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readLine().trimmed(), QByteArray("to the front"));
    QVERIFY(messages.asked.isEmpty());
    first.kill();
    first.waitForFinished();

    // Within one program too: the first start's window comes to the front.
    const std::unique_ptr<DataFolderLock> ours = claimDataFolder(dir->path(), messages);
    QVERIFY(ours);
    QWidget screen;
    screen.showMinimized();
    QTRY_VERIFY(screen.isMinimized());
    QVERIFY(!claimDataFolder(dir->path(), messages));
    QTRY_VERIFY(!screen.isMinimized());
    QTRY_VERIFY(screen.isActiveWindow());
    QVERIFY(messages.asked.isEmpty());
}

void TestFolderLock::lockOfAKilledProgramIsTakenOver()
{
    QProcess killed;
    QVERIFY(startHolder(killed));
    killed.kill();
    QVERIFY(killed.waitForFinished());
    QVERIFY(QFileInfo::exists(dir->filePath(LockFile)));

    ScriptedMessageBoxes messages;
    QVERIFY(claimDataFolder(dir->path(), messages));
    QVERIFY(messages.asked.isEmpty());
}

void TestFolderLock::lockLeftUnderOurProcessIdIsTakenOver()
{
    // An earlier run killed while it had the process id this program has now.
    const QString path = dir->filePath(LockFile);
    QByteArray left;
    {
        QLockFile earlier(path);
        QVERIFY(earlier.tryLock(0));
        left = readFileBytes(path);
    }
    QVERIFY(!left.isEmpty());
    writeFileBytes(path, left);
    QCOMPARE(readFileBytes(path), left);

    ScriptedMessageBoxes messages;
    QVERIFY(claimDataFolder(dir->path(), messages));
    QVERIFY(messages.asked.isEmpty());
}

void TestFolderLock::unreachableFirstIsReported()
{
    // A holder that does not answer but still holds the lock open cannot be taken over, even when
    // the shop says it is not in use.
    QProcess silent;
    QVERIFY(startHolder(silent, false));
    ScriptedMessageBoxes messages;
    messages.setNextAnswer(MessageBoxes::Answer::Ok);
    QVERIFY(!claimDataFolder(dir->path(), messages));
    QCOMPARE(messages.asked.size(), 2);
    QVERIFY(messages.asked[0].text.startsWith(QStringLiteral("このパソコンで ")));
    QCOMPARE(messages.asked[1].text, QStringLiteral("ソラニカはすでに起動しています。"));
    QCOMPARE(messages.asked[1].title, QStringLiteral("ソラニカ"));
    silent.kill();
    silent.waitForFinished();
}

void TestFolderLock::damagedLockIsTakenOverAndToldOnce_data()
{
    QTest::addColumn<QByteArray>("left");
    QTest::newRow("empty after a power cut") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x00\x17\xff lock\n");
    QTest::newRow("no process id") << QByteArray("\nsoranika\n") + QSysInfo::machineHostName().toUtf8() +
                                          '\n';
}

void TestFolderLock::damagedLockIsTakenOverAndToldOnce()
{
    QFETCH(QByteArray, left);
    ProgramFixture f;
    writeFileBytes(f.path(LockFile), left);

    const std::unique_ptr<DataFolderLock> lock = claimDataFolder(f.dir.path(), f.messages);
    QVERIFY(lock);
    QVERIFY(f.messages.asked.isEmpty());
    QVERIFY(readFileBytes(f.path(LockFile))
                .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));

    f.program->tellAtStart(lock->notice());
    f.start();
    QTest::mouseClick(f.control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    auto* status = f.control<QLabel>("Form2", "statusLine");
    QVERIFY(status);
    QVERIFY(status->isVisibleTo(f.window("Form2")));
    QCOMPARE(status->text(),
             QStringLiteral("ロックファイル（soranika.lock）が読めなかったため、引き継いで開きました。"));

    // Once: the chart screen opened again says nothing.
    f.program->registry().moveTo(ScreenName::Form2, ScreenRegistry::Leave::Unload, ScreenName::Form1);
    f.program->registry().moveTo(ScreenName::Form1, ScreenRegistry::Leave::Unload, ScreenName::Form2);
    QVERIFY(f.control<QLabel>("Form2", "statusLine")->isHidden());
    QVERIFY(f.messages.asked.isEmpty());
}

void TestFolderLock::lockNamingAnotherHolderAsksFirst_data()
{
    QTest::addColumn<bool>("otherComputer");
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<QString>("question");
    const QString otherComputer = QStringLiteral(
        "別のパソコン（REGI-PC）で 2026/12/08 10:15 から使われています。このパソコンで開きますか？\n\n"
        "両方のパソコンで同時に開くと、入力した内容が失われます。"
        "もう一方のパソコンでソラニカを終了してから「OK」を押してください。");
    const QString notAnswering = QStringLiteral(
        "このパソコンで 2026/12/08 10:15 から起動しているソラニカが応答しません。このまま開きますか？\n\n"
        "2 つのソラニカで同時に開くと、入力した内容が失われます。"
        "もう一方のソラニカが終了していることを確かめてから「OK」を押してください。");
    QTest::newRow("another computer, キャンセル") << true << MessageBoxes::Answer::Cancel << otherComputer;
    QTest::newRow("another computer, OK") << true << MessageBoxes::Answer::Ok << otherComputer;
    QTest::newRow("this computer, no answer, キャンセル")
        << false << MessageBoxes::Answer::Cancel << notAnswering;
    QTest::newRow("this computer, no answer, OK") << false << MessageBoxes::Answer::Ok << notAnswering;
}

void TestFolderLock::lockNamingAnotherHolderAsksFirst()
{
    QFETCH(bool, otherComputer);
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(QString, question);
    // On this computer: a running process of the name the lock gives, which is no program of ours
    // (its process id came round again after a restart, say) and so never answers.
    QProcess waiting;
    waiting.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--wait")});
    QVERIFY(waiting.waitForStarted());
    const QByteArray left = otherComputer
                                ? QByteArray("4242\nsoranika\nREGI-PC\n")
                                : QByteArray::number(waiting.processId()) + '\n' +
                                      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() +
                                      '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    const QString path = dir->filePath(LockFile);
    writeFileBytes(path, left);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30)),
                                 QFileDevice::FileModificationTime));
    }

    ScriptedMessageBoxes messages;
    messages.setNextAnswer(answer);
    const std::unique_ptr<DataFolderLock> lock = claimDataFolder(dir->path(), messages);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked[0].text, question);
    QCOMPARE(messages.asked[0].title, QStringLiteral("ソラニカ"));
    QCOMPARE(messages.asked[0].buttons, MessageBoxes::Buttons::OkCancel);
    QCOMPARE(messages.asked[0].defaultAnswer, MessageBoxes::Answer::Cancel);
    if (answer == MessageBoxes::Answer::Cancel) {
        QVERIFY(!lock);
        QCOMPARE(readFileBytes(path), left);
    } else {
        QVERIFY(lock);
        QVERIFY(
            readFileBytes(path).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
        QVERIFY(lock->notice().isEmpty());
    }
    waiting.kill();
    waiting.waitForFinished();
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--hold")) {
        DataFolderLock lock(arguments[2]);
        if (lock.claim([] {
                std::printf("to the front\n");
                std::fflush(stdout);
            }) != DataFolderLock::Claim::Ours)
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        return QApplication::exec();
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--hold-silently")) {
        QLockFile lock(QDir(arguments[2]).filePath(LockFile));
        if (!lock.tryLock(0))
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        return QApplication::exec();
    }
    if (arguments.size() == 2 && arguments[1] == QLatin1String("--wait"))
        return QApplication::exec();
    TestFolderLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_folderlock.moc"
