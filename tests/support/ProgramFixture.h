#pragma once

#include "app/Program.h"
#include "platform/Clock.h"
#include "support/FakeWebView.h"
#include "support/FixedClock.h"
#include "support/RecordingPrinter.h"
#include "support/Sandbox.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printer.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <memory>

// A whole program for one test case: its own working directory and settings store, scripted
// message boxes (or real ones, for the flows whose boxes must run their own event loop), a fixed
// clock, fake web views, and an exit that is counted instead of leaving the process.
class ProgramFixture
{
public:
    enum class Boxes { Scripted, Real };
    explicit ProgramFixture(Boxes boxes = Boxes::Scripted);
    ~ProgramFixture();

    // Starts the program as the user does: the start screen is loaded and shown.
    void start();

    // The loaded top-level window with that object name, or nullptr.
    QWidget* window(const QString& objectName) const;
    // Every loaded top-level window with that object name (help browsers may be several).
    QList<QWidget*> windows(const QString& objectName) const;
    // The names of the visible top-level windows of the program.
    QStringList visibleWindowNames() const;

    template <typename T> T* control(const QString& windowName, const QString& controlName) const
    {
        QWidget* owner = window(windowName);
        return owner ? owner->findChild<T*>(controlName) : nullptr;
    }

    // Makes `window` the program's active window, as the user's click on it would.
    static void activate(QWidget* window);

    QString path(const QString& fileName) const { return dir.filePath(fileName); }

    Sandbox dir;
    ScriptedMessageBoxes messages;
    RealMessageBoxes realMessages;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3))};
    RecordingPrinter printer;
    ScriptedFileDialogs files;
    FakeWebViews webViews;
    int exits = 0;
    std::unique_ptr<Program> program;
};

// Test data helpers.
QByteArray sjis(const QString& text);
QByteArray readFileBytes(const QString& fileName);
void writeFileBytes(const QString& fileName, const QByteArray& bytes);
// The 964 bytes of record `number` (1-based) of a record file; fewer when the file is shorter.
QByteArray recordBytes(const QString& fileName, int number);
// A record with the given bytes at the given offsets and zeros elsewhere.
QByteArray recordWith(std::initializer_list<std::pair<int, QByteArray>> parts);
// A record as the editor writes it: every text field it owns space-padded, never zero; no trading fields.
QByteArray editorWrittenRecord(const QString& kind, const QString& sex = QStringLiteral("オス"),
                               const QString& colour = QStringLiteral("白"));
