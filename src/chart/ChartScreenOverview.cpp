#include "chart/ChartScreen.h"

#include "overview/ShopOverview.h"
#include "platform/Clock.h"
#include "platform/FailureReport.h"
#include "sale/ShopAnimals.h"
#include "store/CarePlans.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <memory>

void ChartScreen::openOverview()
{
    if (!applyTypedRecordNumber())
        return;
    CarePlans settings(context.sales.fileName());
    std::unique_ptr<ShopOverview> overview;
    if (!reportFailures(context.messages, this, [&] {
            const StoredOutcomes stored = storedOutcomes(context.sales.fileName());
            const QMap<qint32, ChartSale> chartSales = QFileInfo::exists(context.sales.fileName())
                                                           ? context.sales.chartSales()
                                                           : QMap<qint32, ChartSale>();
            overview = std::make_unique<ShopOverview>(
                context.records.loadAllRecords(), stored.outcomes, stored.species, chartSales, settings,
                context.messages, context.printer, context.files, context.clock.now().date(), this);
        }))
        return;
    const HandlerScope running; // the window runs its own event loop
    if (overview->exec() != QDialog::Accepted)
        return;
    // As if the user typed the chosen number and pressed Enter.
    Text1->setText(QString::number(overview->chosenRecord()));
    showTypedRecord();
}

// Care that is overdue is told in the status line when the chart opens. Without care plans nothing is
// read; a failure to read leaves the line as it is, as the overview will say what is wrong.
void ChartScreen::showCareNotice()
{
    int overdue = 0;
    failureOf([&] {
        const QList<CarePlan> plans = CarePlans(context.sales.fileName()).plans();
        if (plans.isEmpty())
            return;
        const std::vector<PetRecord> records = context.records.loadAllRecords();
        const StoredOutcomes stored = storedOutcomes(context.sales.fileName());
        overdue =
            careDue(shopAnimals(records, stored.outcomes, stored.species), plans, context.clock.now().date())
                .overdue();
    });
    if (overdue == 0) {
        if (careNoticeShown) {
            careNoticeShown = false;
            statusLine->hide();
        }
        return;
    }
    showStatus(QStringLiteral("ケアの予定: 期限切れ %1 件").arg(overdue),
               QStringLiteral("クリックすると「お店の状況」を開きます"));
    careNoticeShown = true;
    statusLine->setCursor(Qt::PointingHandCursor);
}
