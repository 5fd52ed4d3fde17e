// Prints one chart and its sale-time explanation sheet from the shop in the working directory, as the
// chart screen's データプリント and 販売時説明書を印刷 do, with every question answered OK. The clock
// is fixed, so two runs print the same header. Run by `make test-windows-print` on both systems: under
// Wine the documents go to the system's default printer; given PDF_DIR they are written there as PDFs
// by the same painting instead (カルテ.pdf, 説明書.pdf), with their text searchable.
//
// Usage: soranika_printsample CHART_NUMBER [PDF_DIR]

#include "app/Application.h"
#include "app/HelpPage.h"
#include "app/Program.h"
#include "app/ScreenWindow.h"
#include "browser/TextWebViews.h"
#include "platform/Clock.h"
#include "support/FixedClock.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "printsample: %s\n", qPrintable(what));
    std::exit(1);
}

// Writes each document into a PDF file of its own in a folder, named by what the document is.
class PdfFolderPrinter final : public Printer
{
public:
    explicit PdfFolderPrinter(QString folder) : folder(std::move(folder)) {}

    void print(const QStringList& lines, const QString& documentName) override
    {
        writeLinesToPdf(lines, path(documentName), documentName);
    }
    void printDocument(const QString& documentName, const Painting& paint) override
    {
        writePdf(path(documentName), documentName, paint);
    }

private:
    // "カルテ 3" goes to カルテ.pdf, "販売時説明書 3" to 説明書.pdf.
    QString path(const QString& documentName) const
    {
        const QString kind = documentName.section(QLatin1Char(' '), 0, 0);
        return QDir(folder).filePath(
            (kind == QStringLiteral("販売時説明書") ? QStringLiteral("説明書") : kind) +
            QStringLiteral(".pdf"));
    }

    QString folder;
};

template <typename T> T* control(QWidget* window, const char* name)
{
    T* found = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        fail(QStringLiteral("no control ") + QString::fromLatin1(name));
    return found;
}

// Every box after the question `asked` is a failure the user would have been shown.
void expectOnlyQuestion(const ScriptedMessageBoxes& messages, qsizetype before, const QString& what)
{
    const QList<ScriptedMessageBoxes::Asked>& asked = messages.asked;
    if (asked.size() == before)
        fail(what + QStringLiteral(": no question was asked"));
    for (qsizetype i = before + 1; i < asked.size(); ++i)
        fail(what + QStringLiteral(": ") + asked[i].text);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s CHART_NUMBER [PDF_DIR]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    setUpApplication();
    const QString chartNumber = QString::fromLocal8Bit(argv[1]);

    ScriptedMessageBoxes messages;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 24, 36))};
    SystemPrinter systemPrinter;
    std::unique_ptr<PdfFolderPrinter> pdfPrinter;
    if (argc == 3) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        if (!QDir().mkpath(folder))
            fail(QStringLiteral("cannot make ") + folder);
        pdfPrinter = std::make_unique<PdfFolderPrinter>(folder);
    }
    Printer& printer = pdfPrinter ? static_cast<Printer&>(*pdfPrinter) : systemPrinter;
    ScriptedFileDialogs files;
    TextWebViews webViews(HelpPageAddress, SearchPageAddress);
    Program program(messages, clock, printer, files, webViews);
    program.registry().setExitHandler([] {});
    program.start();

    ScreenRegistry& screens = program.registry();
    QTest::mouseClick(control<QPushButton>(screens.loaded(ScreenName::Form1), "Command1"), Qt::LeftButton);
    QWidget* chart = screens.loaded(ScreenName::Form2);
    auto* number = control<QLineEdit>(chart, "Text1");
    number->setText(chartNumber);
    QTest::keyClick(number, Qt::Key_Return);
    if (number->text() != chartNumber)
        fail(QStringLiteral("chart ") + chartNumber + QStringLiteral(" was not shown"));

    qsizetype before = messages.asked.size();
    QTest::mouseClick(control<QPushButton>(chart, "Command3"), Qt::LeftButton);
    expectOnlyQuestion(messages, before, QStringLiteral("データプリント"));

    before = messages.asked.size();
    control<QAction>(chart, "actExplanation")->trigger();
    expectOnlyQuestion(messages, before, QStringLiteral("販売時説明書"));

    std::printf("printsample: chart %s and its explanation sheet printed\n", qPrintable(chartNumber));
    screens.endProgram();
    return 0;
}
