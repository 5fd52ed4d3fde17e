#include "sale/RecordBookDialog.h"

#include "sale/DialogFields.h"
#include "sale/OtherAnimals.h"
#include "sale/ShopAnimals.h"
#include "store/Csv.h"
#include "store/Failure.h"
#include "store/ShopDatabase.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Look.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printer.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

RecordBookDialog::RecordBookDialog(std::vector<PetRecord> records, QList<AnimalOutcome> outcomes,
                                   QMap<qint32, ChartSale> chartSales, QMap<QString, Species> species,
                                   ShopDatabase& database, MessageBoxes& messages, FileDialogs& files,
                                   const QDate& today, QWidget* parent)
    : QDialog(parent), records(std::move(records)), outcomes(std::move(outcomes)),
      chartSales(std::move(chartSales)), species(std::move(species)), database(database), messages(messages),
      files(files), today(today)
{
    buildLayout();
    askBeforeDiscarding(this, messages);
    from->setText(dateBoxText(today.addYears(-5).addDays(1)));
    to->setText(dateBoxText(today));
    connect(from, &QLineEdit::editingFinished, this, &RecordBookDialog::showSummary);
    connect(to, &QLineEdit::editingFinished, this, &RecordBookDialog::showSummary);
    showSummary();
    // The summary wraps: the dialog is as tall as its lines need at its width.
    resize(560, std::max(sizeHint().height(), layout()->heightForWidth(560)));
}

void RecordBookDialog::buildLayout()
{
    setObjectName(QStringLiteral("RecordBook"));
    setWindowTitle(QStringLiteral("帳簿を作成"));
    setFont(gothicFont(9));
    from = namedBox(this, "from", QStringLiteral("例：2021/12/8"));
    to = namedBox(this, "to", QStringLiteral("例：2026/12/7"));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);
    buttonBox = okCancelButtons(this);
    removeExpired = buttonBox->addButton(QStringLiteral("保存期間を過ぎた記録を消す(&E)..."),
                                         QDialogButtonBox::ActionRole);
    removeExpired->setObjectName(QStringLiteral("removeExpired"));
    removeExpired->setAutoDefault(false);
    connect(removeExpired, &QPushButton::clicked, this, &RecordBookDialog::removeExpiredStays);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("期間の始め(&F)"), from);
    form->addRow(QStringLiteral("期間の終わり(&T)"), to);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "この期間に所有した犬と猫を 1 頭 1 行で、そのほかの哺乳類・鳥類・爬虫類を品種等ごとに、"
            "CSV と PDF に書き出します。"),
        this));
    layout->addLayout(form);
    layout->addWidget(summary);
    layout->addWidget(buttonBox);
}

RecordBook RecordBookDialog::typedBook() const
{
    const QDate first = typedDate(from, QStringLiteral("期間の始め"));
    const QDate last = typedDate(to, QStringLiteral("期間の終わり"));
    if (!first.isValid() || !last.isValid() || first > last)
        throw Failure(QStringLiteral("期間は始めと終わりの日付を、始めが先になるように入力してください。"));
    return makeRecordBook(first, last, records, outcomes, chartSales, species);
}

QList<QStringList> RecordBookDialog::otherRows(const RecordBook& book) const
{
    return otherAnimalsRows(book.from, book.to, shopAnimals(records, outcomes, species), chartSales);
}

// The kept stays of deleted charts whose five years have passed: they go only when the shop says so.
QList<AnimalOutcome> RecordBookDialog::expiredStays() const
{
    QList<AnimalOutcome> expired;
    for (const AnimalOutcome& stay : outcomes) {
        if (stay.recordNumber == 0 && keptUntil(stay).isValid() && keptUntil(stay) < today)
            expired.append(stay);
    }
    return expired;
}

void RecordBookDialog::removeExpiredStays()
{
    const qsizetype count = expiredStays().size();
    if (messages.ask(this,
                     QStringLiteral(
                         "データ削除したカルテのうち、5 年の保存期間を過ぎた %1 頭の記録を帳簿から消します。"
                         "消した記録は元に戻せません。よろしいですか？")
                         .arg(count),
                     QStringLiteral("帳簿を作成"), MessageBoxes::Buttons::OkCancel,
                     MessageBoxes::Icon::Warning, MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
        return;
    reportFailures(messages, this, [&] {
        AnimalOutcomes& stored = database.outcomes();
        stored.removeExpired(today);
        outcomes = stored.outcomes();
    });
    showSummary();
}

void RecordBookDialog::showSummary()
{
    removeExpired->setEnabled(!expiredStays().isEmpty());
    const std::optional<QString> failure = failureOf([&] {
        const RecordBook book = typedBook();
        summary->setText(recordBookSummary(book) +
                         QStringLiteral("\n犬・猫以外：%1 品種等").arg(otherRows(book).size()));
    });
    if (failure)
        summary->setText(*failure);
}

void RecordBookDialog::accept()
{
    bool written = false;
    reportFailures(messages, this, [&] {
        const RecordBook book = typedBook();
        const QList<QStringList> others = otherRows(book);
        summary->setText(recordBookSummary(book) +
                         QStringLiteral("\n犬・猫以外：%1 品種等").arg(others.size()));
        const QString csv = files.saveForOtherPrograms(
            this, QStringLiteral("帳簿を作成"),
            QStringLiteral("帳簿_%1.csv").arg(today.toString(QStringLiteral("yyyyMMdd"))),
            QStringLiteral("CSV ファイル (*.csv)"));
        if (csv.isEmpty())
            return;
        const QFileInfo file(csv);
        const QString pdf = file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
        // The other animals below the dogs and cats, after an empty line and their heading.
        const PrintedTable otherTable = otherAnimalsTable(others);
        Csv::save(csv, QList<QStringList>{recordBookColumns()} + book.rows +
                           QList<QStringList>{{}, {otherTable.heading}, otherAnimalsColumns()} + others);
        // Like the CSV, the PDF carries buyers' names.
        writePdf(
            pdf, QStringLiteral("帳簿"),
            [&](QPagedPaintDevice& device, const QString&) { paintRecordBook(book, device, {otherTable}); },
            RegularFile::Readers::OwnerOnly);
        written = true;
    });
    if (written)
        QDialog::accept();
}
