#include "masterdata/CarePlanDialog.h"

#include "sale/DialogFields.h"
#include "store/Failure.h"
#include "store/Numbers.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Medication, FirstAge, Interval, Doses, Animals, Replaces, ColumnCount };

// Names typed one after another: 「混合ワクチン（5種）、駆虫薬」.
const QRegularExpression NameSeparators(QStringLiteral("[、,，]"));

QString numberText(const std::optional<int>& number)
{
    return number ? QString::number(*number) : QString();
}

std::optional<int> typedNumber(const QTableWidgetItem* item, const QString& medication, const QString& what)
{
    const QString text = item == nullptr ? QString() : Numbers::halfWidthNumber(item->text()).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool whole = false;
    const int number = text.toInt(&whole);
    if (!whole)
        throw Failure(QStringLiteral("%1の%2は数字で入力してください。").arg(medication, what));
    return number;
}

} // namespace

CarePlanDialog::CarePlanDialog(CarePlans& store, MessageBoxes& messages, const QStringList& medications,
                               QWidget* parent)
    : QDialog(parent), store(store), messages(messages)
{
    buildLayout();
    askBeforeDiscarding(this, messages);
    QList<CarePlan> saved;
    reportFailures(messages, parent, [&] { saved = store.plans(); });
    QList<CarePlan> shown;
    for (const QString& name : medications) {
        const auto plan = std::find_if(saved.cbegin(), saved.cend(),
                                       [&](const CarePlan& each) { return each.medication == name; });
        shown.append(plan != saved.cend() ? *plan : CarePlan{name, {}, {}, {}, CareFor::All, {}});
    }
    for (const CarePlan& plan : saved) {
        if (!medications.contains(plan.medication))
            shown.append(plan);
    }
    carePlans->setRowCount(int(shown.size()));
    for (int row = 0; row < shown.size(); ++row) {
        auto* name = new QTableWidgetItem(shown[row].medication);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        carePlans->setItem(row, Medication, name);
        carePlans->setItem(row, FirstAge, new QTableWidgetItem(numberText(shown[row].firstAgeDays)));
        carePlans->setItem(row, Interval, new QTableWidgetItem(numberText(shown[row].intervalDays)));
        carePlans->setItem(row, Doses, new QTableWidgetItem(numberText(shown[row].doses)));
        auto* animals = new QComboBox(carePlans);
        animals->setObjectName(QStringLiteral("animals%1").arg(row + 1));
        for (CareFor each : {CareFor::All, CareFor::Dog, CareFor::Cat, CareFor::Other})
            animals->addItem(careForText(each), int(each));
        animals->setCurrentIndex(animals->findData(int(shown[row].animals)));
        carePlans->setCellWidget(row, Animals, animals);
        carePlans->setItem(row, Replaces,
                           new QTableWidgetItem(shown[row].replaces.join(QStringLiteral("、"))));
    }
}

void CarePlanDialog::buildLayout()
{
    setObjectName(QStringLiteral("CarePlan"));
    setWindowTitle(QStringLiteral("ケアの間隔"));
    setFont(gothicFont(9));
    carePlans = new QTableWidget(0, ColumnCount, this);
    carePlans->setObjectName(QStringLiteral("carePlans"));
    carePlans->setHorizontalHeaderLabels({QStringLiteral("投薬名"), QStringLiteral("初回（生後日数）"),
                                          QStringLiteral("間隔（日）"), QStringLiteral("回数"),
                                          QStringLiteral("対象"), QStringLiteral("不要にする投薬")});
    carePlans->verticalHeader()->hide();
    carePlans->horizontalHeader()->setSectionResizeMode(Medication, QHeaderView::Stretch);
    carePlans->setEditTriggers(QAbstractItemView::AllEditTriggers);
    auto* note = new QLabel(
        QStringLiteral("例：混合ワクチンを生後56日に1回目、その後28日ごとに、全部で3回なら "
                       "56・28・3。空欄はその決まりがないことを表します。対象は その投薬を予定する動物"
                       "（すべて・犬・猫・その他）。不要にする投薬：これを与えた動物には予定しない投薬名を"
                       "「、」で区切って（例：猫の混合ワクチン（3種）に 混合ワクチン（5種））。"),
        this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(carePlans, 1);
    layout->addWidget(okCancelButtons(this));
    resize(760, 420);
}

QList<CarePlan> CarePlanDialog::typedPlans() const
{
    QStringList names;
    for (int row = 0; row < carePlans->rowCount(); ++row)
        names.append(carePlans->item(row, Medication)->text());
    QList<CarePlan> plans;
    for (int row = 0; row < carePlans->rowCount(); ++row) {
        const QString& name = names[row];
        const auto* animals = static_cast<QComboBox*>(carePlans->cellWidget(row, Animals));
        const QTableWidgetItem* replacesCell = carePlans->item(row, Replaces);
        QStringList replaces;
        for (const QString& typed :
             (replacesCell ? replacesCell->text() : QString()).split(NameSeparators, Qt::SkipEmptyParts)) {
            const QString replaced = typed.trimmed();
            if (replaced.isEmpty() || replaces.contains(replaced))
                continue;
            if (!names.contains(replaced) || replaced == name)
                throw Failure(QStringLiteral("%1の不要にする投薬「%2」は、ほかの投薬名で入力してください。")
                                  .arg(name, replaced));
            replaces.append(replaced);
        }
        plans.append({name, typedNumber(carePlans->item(row, Interval), name, QStringLiteral("間隔")),
                      typedNumber(carePlans->item(row, FirstAge), name, QStringLiteral("初回の日数")),
                      typedNumber(carePlans->item(row, Doses), name, QStringLiteral("回数")),
                      CareFor(animals->currentData().toInt()), replaces});
    }
    return plans;
}

void CarePlanDialog::accept()
{
    // A cell still being edited counts as typed.
    carePlans->setCurrentItem(nullptr);
    if (reportFailures(messages, this, [&] { store.savePlans(typedPlans()); }))
        QDialog::accept();
}
