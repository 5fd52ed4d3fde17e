#include "app/DataFolderLock.h"
#include "platform/MessageBoxes.h"
#include "support/Sandbox.h"

#include <QApplication>
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
    void unreachableFirstIsReported();

private:
    // Starts this test program as another program holding the sandbox folder; it writes a line
    // each time it is asked to come to the front.
    bool startHolder(QProcess& holder) const;

    std::unique_ptr<Sandbox> dir;
};

bool TestFolderLock::startHolder(QProcess& holder) const
{
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), dir->path()});
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

void TestFolderLock::unreachableFirstIsReported()
{
    // A program holding the folder that does not answer.
    QLockFile held(dir->filePath(DataFolderLock::FileName));
    QVERIFY(held.tryLock(0));
    ScriptedMessageBoxes messages;
    QVERIFY(!claimDataFolder(dir->path(), messages));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked[0].text, QStringLiteral("ソラニカはすでに起動しています。"));
    QCOMPARE(messages.asked[0].title, QStringLiteral("ソラニカ"));
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
    TestFolderLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_folderlock.moc"
