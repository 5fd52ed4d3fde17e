#include "sale/ReturnDialog.h"

#include "sale/DialogFields.h"
#include "store/AnimalOutcomes.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ReturnDialog::ReturnDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
                           const QDate& today, QWidget* parent)
    : QDialog(parent), records(records), database(database), messages(messages), number(number)
{
    records.LoadRecord(number);
    const QString kind = tableText(records.CurrentRecord.Kind);
    if (kind.isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    const std::optional<AnimalOutcome> present = database.storedOutcome(number);
    const QString refusal = refusalOf(present, LifeStep::Return);
    if (!refusal.isEmpty())
        throw Failure(refusal);

    setObjectName(QStringLiteral("ReturnDialog"));
    setWindowTitle(QStringLiteral("返品を記録"));
    setFont(gothicFont(9));
    returnedOn = namedBox(this, "returnedOn", QStringLiteral("例：2026/12/7"));
    returnedOn->setText(dateBoxText(today));
    reason = namedBox(this, "reason", QStringLiteral("返品の理由"));
    buttonBox = okCancelButtons(this);
    askBeforeDiscarding(this, messages);

    auto* form = new QFormLayout;
    const QString buyer = present->sale->buyerName.isEmpty()
                              ? QString()
                              : QStringLiteral(" %1 へ").arg(present->sale->buyerName);
    form->addRow(QStringLiteral("カルテ"), new QLabel(QStringLiteral("%1 番　%2　%3 に%4販売")
                                                          .arg(number)
                                                          .arg(kind, dateText(present->sale->soldOn), buyer),
                                                      this));
    form->addRow(QStringLiteral("返品の日(&D)"), returnedOn);
    form->addRow(QStringLiteral("理由(&R)"), reason);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    resize(520, sizeHint().height());
}

void ReturnDialog::accept()
{
    QWidget* refused = returnedOn;
    const bool stored = reportFailures(messages, this, [&] {
        if (returnedOn->text().trimmed().isEmpty())
            throw Failure(QStringLiteral("返品の日を入力してください。"));
        const QDate on = typedDate(returnedOn, QStringLiteral("返品の日"));
        database.outcomes().recordReturn(records, number, on, reason->text().trimmed());
        refused = nullptr;
    });
    if (stored) {
        QDialog::accept();
        return;
    }
    if (refused)
        refused->setFocus();
}
