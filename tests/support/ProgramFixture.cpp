#include "support/ProgramFixture.h"

#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "store/Sjis.h"
#include "support/SampleCharts.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>

ProgramFixture::ProgramFixture(Boxes boxes)
{
    MessageBoxes& shown = boxes == Boxes::Real ? static_cast<MessageBoxes&>(realMessages) : messages;
    program = std::make_unique<Program>(shown, clock, printer, files, webViews);
    program->registry().setExitHandler([this] { ++exits; });
    // The screens' cases would each get a backup folder and a thread writing into it; the backup
    // tests turn the daily backup on where they need it.
    program->backups().setDailyBackupEnabled(false);
}

ProgramFixture::~ProgramFixture()
{
    program.reset();
    // Deleting one window may delete others it owns (a screen's menus): each is checked only while
    // it still exists.
    QList<QPointer<QWidget>> strays;
    for (QWidget* window : QApplication::topLevelWidgets())
        strays.append(window);
    for (const QPointer<QWidget>& stray : strays) {
        if (stray && stray->isWindow() && stray->testAttribute(Qt::WA_DeleteOnClose))
            delete stray.data();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProgramFixture::start()
{
    program->start();
}

QWidget* ProgramFixture::window(const QString& objectName) const
{
    const QList<QWidget*> found = windows(objectName);
    return found.isEmpty() ? nullptr : found.first();
}

QList<QWidget*> ProgramFixture::windows(const QString& objectName) const
{
    QList<QWidget*> found;
    for (QWidget* window : program->registry().loadedWindows()) {
        if (window->objectName() == objectName)
            found.append(window);
    }
    return found;
}

QStringList ProgramFixture::visibleWindowNames() const
{
    QStringList names;
    for (QWidget* window : program->registry().loadedWindows()) {
        if (window->isVisible())
            names.append(window->objectName());
    }
    names.sort();
    return names;
}

void ProgramFixture::activate(QWidget* window)
{
    window->activateWindow();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}

QByteArray sjis(const QString& text)
{
    return Sjis::encode(text);
}

QByteArray readFileBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFileBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray recordBytes(const QString& fileName, int number)
{
    return readFileBytes(fileName).mid(qsizetype(number - 1) * RecordLength, RecordLength);
}

QByteArray recordWith(std::initializer_list<std::pair<int, QByteArray>> parts)
{
    QByteArray record(RecordLength, '\0');
    for (const auto& [offset, bytes] : parts)
        record.replace(offset, bytes.size(), bytes);
    return record;
}

QByteArray editorWrittenRecord(const QString& kind, const QString& sex, const QString& colour)
{
    PetRecord record =
        SampleChart{.kind = kind, .born = QDate(2024, 4, 1), .sex = sex, .colour = colour}.record();
    setText(record.Staff, QString());
    for (auto* line : {&record.Medication1, &record.Medication2, &record.Medication3, &record.Medication4,
                       &record.Medication5})
        setText(*line, QString());
    for (auto* line :
         {&record.Memo1, &record.Memo2, &record.Memo3, &record.Memo4, &record.Memo5, &record.Memo6})
        setText(*line, QString());
    setText(record.Siblings, QString());
    setText(record.Birthplace, QString());
    return bytesOf(record);
}
