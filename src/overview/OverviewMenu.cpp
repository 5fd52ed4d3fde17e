#include "overview/OverviewMenu.h"

#include "app/ScreenContext.h"
#include "app/ShownChart.h"
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
#include "store/ShopFiles.h"
#include "widgets/FailureReport.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>

OverviewMenu::OverviewMenu(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent), actOverview(menuAction(this, "actOverview", QStringLiteral("お店の状況(&O)..."),
                                              &OverviewMenu::openOverview)),
      careNotice(new QLabel), context(context), chart(chart)
{
    actOverview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    careNotice->setObjectName(QStringLiteral("careNotice"));
    careNotice->setContentsMargins(8, 3, 8, 3);
    careNotice->setCursor(Qt::PointingHandCursor);
    careNotice->setToolTip(QStringLiteral("クリックすると「ケアの予定」を開きます"));
    careNotice->installEventFilter(this);
}

bool OverviewMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == careNotice && event->type() == QEvent::MouseButtonRelease)
        openCarePlan();
    return QObject::eventFilter(watched, event);
}

// お店の状況 stays open beside the chart; opened again, it comes to the front.
void OverviewMenu::openOverview()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    if (overview) {
        if (reportFailures(context.messages, window, [&] { showShopInOverview(); })) {
            overview->show();
            overview->raise();
            overview->activateWindow();
        }
        return;
    }
    reportFailures(context.messages, window, [&] {
        const StoredOutcomes stored = storedOutcomes(context.database);
        overview = new ShopOverview(context.records.loadAllRecords(), stored.outcomes, stored.species,
                                    context.database.storedChartSales(), context.database.carePlans(),
                                    context.messages, context.printer, context.files,
                                    context.clock.now().date(), window);
    });
    if (!overview)
        return;
    overview->setAttribute(Qt::WA_DeleteOnClose);
    overview->setModal(false);
    connect(overview, &ShopOverview::chartChosen, this, &OverviewMenu::showChosenChart);
    connect(overview, &ShopOverview::carePlansWanted, this, &OverviewMenu::editCarePlans);
    overview->show();
}

void OverviewMenu::openCarePlan()
{
    openOverview();
    if (overview)
        overview->showCarePlan();
}

void OverviewMenu::showShopInOverview()
{
    const StoredOutcomes stored = storedOutcomes(context.database);
    overview->showShop(context.records.loadAllRecords(), stored.outcomes, stored.species,
                       context.database.storedChartSales(), context.clock.now().date());
}

// As if the user typed the chosen number and pressed Enter; typing not yet saved is never read over.
void OverviewMenu::showChosenChart(qint32 number)
{
    QWidget* const window = chart.chartWindow();
    if (window->isHidden() || chart.refusedInDirectEntry(QStringLiteral("カルテを表示")))
        return;
    chart.chooseChart(number);
    window->activateWindow();
}

void OverviewMenu::editCarePlans()
{
    QWidget* const owner = overview ? static_cast<QWidget*>(overview) : chart.chartWindow();
    CarePlans& plans = context.database.carePlans();
    QStringList medications;
    if (!reportFailures(context.messages, owner, [&] {
            if (QFileInfo::exists(ShopFiles::MedicationList))
                medications = PickListFile::readItems(ShopFiles::MedicationList);
        }))
        return;
    CarePlanDialog dialog(plans, context.messages, medications, owner);
    {
        const HandlerScope running;
        dialog.exec();
    }
    shopDataChanged();
}

// After every change to the shop's data: the care notice and an open お店の状況 show it.
void OverviewMenu::shopDataChanged()
{
    showCareNotice();
    if (overview && overview->isVisible())
        reportFailures(context.messages, overview, [&] { showShopInOverview(); });
}

// Coming back to the front after another window: the counts are redone only when the shop's files or
// the day changed, as each count reads every chart.
void OverviewMenu::shopDataMayHaveChanged()
{
    if (shopDataStamp() != countedStamp)
        shopDataChanged();
}

// The record file's and the database's sizes and times, and the day: what the care notice's counts
// depend on.
QString OverviewMenu::shopDataStamp() const
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

// Care that is overdue, and microchip duties past or near their last day, are told in the care notice.
// A shop without soranika.db has neither, and nothing is read; a failure to read leaves the notice as it
// is, as the overview will say what is wrong.
void OverviewMenu::showCareNotice()
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
    chart.showStatusBar();
}
