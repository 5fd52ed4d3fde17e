#include "app/DataFolderLock.h"
#include "platform/MessageBoxes.h"
#include "support/ProgramFixture.h"
#include "support/Sandbox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <memory>

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
    QVERIFY(QFileInfo::exists(dir->filePath(DataFolderLock::FileName)));

    ScriptedMessageBoxes messages;
    QVERIFY(claimDataFolder(dir->path(), messages));
    QVERIFY(messages.asked.isEmpty());
}

void TestFolderLock::lockLeftUnderOurProcessIdIsTakenOver()
{
    // An earlier run killed while it had the process id this program has now.
    const QString path = dir->filePath(DataFolderLock::FileName);
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
    QProcess silent;
    QVERIFY(startHolder(silent, false));
    ScriptedMessageBoxes messages;
    QVERIFY(!claimDataFolder(dir->path(), messages));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked[0].text, QStringLiteral("ソラニカはすでに起動しています。"));
    QCOMPARE(messages.asked[0].title, QStringLiteral("ソラニカ"));
    silent.kill();
    silent.waitForFinished();
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
        QLockFile lock(QDir(arguments[2]).filePath(DataFolderLock::FileName));
        if (!lock.tryLock(0))
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        return QApplication::exec();
    }
    TestFolderLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_folderlock.moc"
