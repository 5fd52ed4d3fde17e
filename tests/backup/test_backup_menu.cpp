#include "ShopData.h"

#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedMessageBoxes.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The backup commands of the chart screen's file menu.
class TestBackupMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void backupThenRestoreThroughTheMenu();
    void cancelOrARefusedFileChangesNothing();

private:
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }
    QString archive() const { return f->path(QStringLiteral("shop.zip")); }

    std::unique_ptr<ProgramFixture> f;
};

void TestBackupMenu::init()
{
    f = std::make_unique<ProgramFixture>();
    ShopData::writeSample();
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestBackupMenu::backupThenRestoreThroughTheMenu()
{
    const QMap<QString, QByteArray> before = ShopData::dataState();
    const QStringList settings = ShopData::settings();
    f->files.setNextAnswer(archive());
    action("actBackup")->trigger();
    QVERIFY(f->files.suggested.last().contains(QStringLiteral("ソラニカ_バックアップ_20261207_0905.zip")));
    QVERIFY(QFileInfo::exists(archive()));

    ShopData::writeChanged();
    f->control<QLineEdit>("Form2", "Text1")->setText(QStringLiteral("2"));
    QTest::keyClick(f->control<QLineEdit>("Form2", "Text1"), Qt::Key_Return);
    f->files.setNextAnswer(archive());
    action("actRestore")->trigger();
    QCOMPARE(f->messages.asked.size(), 1);
    const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
    QVERIFY(asked.text.startsWith(
        QStringLiteral("2026/12/07 9:05 の バックアップ (カルテ 3 件) に戻しますか？")));
    QVERIFY(asked.defaultAnswer == MessageBoxes::Answer::Cancel);

    // Every file as it was, the settings too, and the chart back on record 1 with the shop lines.
    QMap<QString, QByteArray> after = ShopData::dataState();
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        QCOMPARE(after.value(file.key()), file.value());
    QCOMPARE(ShopData::settings(), settings);
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("1"));
    QCOMPARE(f->control<QLabel>("Form2", "Label21")->text(), settings.first());
    QVERIFY(QDir(f->program->backups().backupFolder()).entryList({"restore-before-*.zip"}).size() == 1);
}

void TestBackupMenu::cancelOrARefusedFileChangesNothing()
{
    f->files.setNextAnswer(archive());
    action("actBackup")->trigger();
    ShopData::writeChanged();
    const QMap<QString, QByteArray> changed = ShopData::dataState();

    f->files.setNextAnswer(archive());
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    action("actRestore")->trigger();
    QCOMPARE(ShopData::dataState(), changed);

    writeFileBytes(f->path("broken.zip"), "not a zip at all");
    f->files.setNextAnswer(f->path("broken.zip"));
    action("actRestore")->trigger();
    QCOMPARE(f->messages.asked.size(), 2);
    QVERIFY(f->messages.asked.last().text.contains(QStringLiteral("broken.zip")));
    QMap<QString, QByteArray> after = ShopData::dataState();
    after.remove(QStringLiteral("broken.zip"));
    QCOMPARE(after, changed);
}

QTEST_MAIN(TestBackupMenu)
#include "test_backup_menu.moc"
