#include "sale/LeaveDialog.h"

#include "sale/DialogFields.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/ShopDatabase.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

LeaveDialog::LeaveDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
                         const PetRecord& chart, const QDate& today, QWidget* parent)
    : QDialog(parent), records(records), database(database), messages(messages), number(number), chart(chart)
{
    if (tableText(chart.Kind).isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    // An animal that has left the shop cannot leave again; the dialog says so before anything is typed.
    if (const QString refusal = refusalOf(database.storedOutcome(number), LifeStep::Leave);
        !refusal.isEmpty())
        throw Failure(refusal);
    buildLayout();
    askBeforeDiscarding(this, messages);
    leftOn->setText(dateBoxText(today));
    kind->setCurrentIndex(kind->findData(int(LeaveKind::Died)));
}

void LeaveDialog::buildLayout()
{
    setObjectName(QStringLiteral("LeaveDialog"));
    setWindowTitle(QStringLiteral("死亡・譲渡を記録"));
    setFont(gothicFont(9));

    leftOn = namedBox(this, "leftOn", QStringLiteral("例：2026/12/7"));
    kind = new QComboBox(this);
    kind->setObjectName(QStringLiteral("kind"));
    for (LeaveKind each : {LeaveKind::Died, LeaveKind::HandedOver, LeaveKind::Returned})
        kind->addItem(leaveKindText(each), int(each));
    detail = namedBox(this, "detail", QStringLiteral("死亡の原因、または渡した相手の氏名と住所か登録番号"));
    buttonBox = okCancelButtons(this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("カルテ"),
                 new QLabel(QStringLiteral("%1 番　%2").arg(number).arg(tableText(chart.Kind)), this));
    form->addRow(QStringLiteral("日付(&D)"), leftOn);
    form->addRow(QStringLiteral("区分(&K)"), kind);
    form->addRow(QStringLiteral("原因・相手(&T)"), detail);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    resize(520, sizeHint().height());
}

void LeaveDialog::accept()
{
    QWidget* refused = leftOn;
    const bool stored = reportFailures(messages, this, [&] {
        if (leftOn->text().trimmed().isEmpty())
            throw Failure(QStringLiteral("日付を入力してください。"));
        const Leaving leaving{typedDate(leftOn, QStringLiteral("日付")),
                              LeaveKind(kind->currentData().toInt()), detail->text().trimmed()};
        refused = nullptr;
        AnimalOutcomes& outcomes = database.outcomes();
        outcomes.recordLeaving(records, number, leaving, outcomes.speciesForChart(chart));
    });
    if (stored) {
        QDialog::accept();
        return;
    }
    if (refused)
        refused->setFocus();
}
