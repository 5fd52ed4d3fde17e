#include "chart/ChartScreen.h"

#include "masterdata/CarePlanDialog.h"
#include "overview/ShopOverview.h"
#include "platform/Clock.h"
#include "platform/RunningHandlers.h"
#include "sale/ChipDeadlines.h"
#include "sale/ShopAnimals.h"
#include "store/CarePlans.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/FailureReport.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

// お店の状況 stays open beside the chart; opened again, it comes to the front.
void ChartScreen::openOverview()
{
    if (!applyTypedRecordNumber())
        return;
    if (overview) {
        if (reportFailures(context.messages, this, [&] { showShopInOverview(); })) {
            overview->show();
            overview->raise();
            overview->activateWindow();
        }
        return;
    }
    reportFailures(context.messages, this, [&] {
        const StoredOutcomes stored = storedOutcomes(context.database);
        overview = new ShopOverview(context.records.loadAllRecords(), stored.outcomes, stored.species,
                                    storedChartSales(), context.database.carePlans(), context.messages,
                                    context.printer, context.files, context.clock.now().date(), this);
    });
    if (!overview)
        return;
    overview->setAttribute(Qt::WA_DeleteOnClose);
    overview->setModal(false);
    connect(overview, &ShopOverview::chartChosen, this, &ChartScreen::showChosenChart);
    connect(overview, &ShopOverview::carePlansWanted, this, &ChartScreen::editCarePlans);
    overview->show();
}

void ChartScreen::openCarePlan()
{
    openOverview();
    if (overview)
        overview->showCarePlan();
}

void ChartScreen::showShopInOverview()
{
    const StoredOutcomes stored = storedOutcomes(context.database);
    overview->showShop(context.records.loadAllRecords(), stored.outcomes, stored.species, storedChartSales(),
                       context.clock.now().date());
}

// The sale information of every chart; none for a shop without soranika.db, which is not created.
QMap<qint32, ChartSale> ChartScreen::storedChartSales() const
{
    return context.database.exists() ? context.database.sales().chartSales() : QMap<qint32, ChartSale>();
}

// As if the user typed the chosen number and pressed Enter; typing not yet saved is never read over.
void ChartScreen::showChosenChart(qint32 number)
{
    if (isHidden() || refusedInDirectEntry(QStringLiteral("カルテを表示")))
        return;
    Text1->setText(QString::number(number));
    showTypedRecord();
    activateWindow();
}

void ChartScreen::editCarePlans()
{
    CarePlans& plans = context.database.carePlans();
    QStringList medications;
    if (!reportFailures(context.messages, overview ? static_cast<QWidget*>(overview) : this, [&] {
            if (QFileInfo::exists(QStringLiteral("kusuri.txt")))
                medications = PickListFile::readItems(QStringLiteral("kusuri.txt"));
        }))
        return;
    CarePlanDialog dialog(plans, context.messages, medications,
                          overview ? static_cast<QWidget*>(overview) : this);
    {
        const HandlerScope running;
        dialog.exec();
    }
    shopDataChanged();
}

// After every change to the shop's data: the care notice and an open お店の状況 show it.
void ChartScreen::shopDataChanged()
{
    showCareNotice();
    if (overview && overview->isVisible())
        reportFailures(context.messages, overview, [&] { showShopInOverview(); });
}

// Coming back to the front after another window: the counts are redone only when the shop's files or
// the day changed, as each count reads every chart.
void ChartScreen::shopDataMayHaveChanged()
{
    if (shopDataStamp() != countedStamp)
        shopDataChanged();
}

// The record file's and the database's sizes and times, and the day: what the care notice's counts
// depend on.
QString ChartScreen::shopDataStamp() const
{
    QStringList parts{context.clock.now().date().toString(Qt::ISODate)};
    const QString database = context.database.fileName();
    for (const QString& name : {context.records.fileName(), database, database + QStringLiteral("-wal")}) {
        const QFileInfo file(name);
        parts.append(QStringLiteral("%1:%2")
                         .arg(file.size())
                         .arg(file.exists() ? file.lastModified().toMSecsSinceEpoch() : -1));
    }
    return parts.join(QLatin1Char(' '));
}

// Care that is overdue, and microchip duties past or near their last day, are told in the care notice,
// its own part of the status bar. A shop without soranika.db has neither, and nothing is read; a failure
// to read leaves the notice as it is, as the overview will say what is wrong.
void ChartScreen::showCareNotice()
{
    int overdue = 0;
    qsizetype chips = 0;
    const QString stamp = shopDataStamp();
    const std::optional<QString> failure = failureOf([&] {
        if (!context.database.exists())
            return;
        const QList<CarePlan> plans = context.database.carePlans().plans();
        const std::vector<PetRecord> records = context.records.loadAllRecords();
        const StoredOutcomes stored = storedOutcomes(context.database);
        const QList<ShopAnimal> animals = shopAnimals(records, stored.outcomes, stored.species);
        const QDate today = context.clock.now().date();
        if (!plans.isEmpty())
            overdue = careDue(animals, plans, today).overdue();
        chips = chipNotices(animals, context.database.sales().chartSales(), today).size();
    });
    if (failure)
        return;
    countedStamp = stamp;
    QStringList parts;
    if (overdue > 0)
        parts.append(QStringLiteral("ケアの予定: 期限切れ %1 件").arg(overdue));
    if (chips > 0)
        parts.append(QStringLiteral("マイクロチップの期限 %1 件").arg(chips));
    careNotice->setText(parts.join(QStringLiteral("　")));
    careNotice->setVisible(!parts.isEmpty());
    showStatusBar();
}
