#pragma once

#include "store/PetRecord.h"
#include "store/ShopDatabase.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One numbered item of the sale-time explanation sheet.
struct SheetItem
{
    int number = 0;
    QString title;
    QString value; // ExplanationSheet::Missing when nothing was entered, so the gap shows on paper
    friend bool operator==(const SheetItem&, const SheetItem&) = default;
};

// Everything the sale-time explanation sheet of one chart prints, in reading order.
struct ExplanationSheet
{
    static inline const QString Missing = QStringLiteral("—");
    static inline const QString Receipt = QStringLiteral("上記の説明を受け、書面を受領しました。");

    // The shop (as on the chart screen) and its registration as an animal dealer.
    QString shopName;
    QString shopPhone;
    QString shopAddress;
    DealerInfo dealer;

    qint32 recordNumber = 0;
    QString kind;           // the breed, as the chart names it
    QList<SheetItem> items; // the 18 items, in order
    QString microchip;      // the number, or Missing
    QString buyerName;      // empty when not recorded
    QDate explainedOn;      // the day the sheet is handed over; invalid when not recorded
    // The items whose text is the default of the animal's species (犬, 猫 or その他), not its kind's own.
    QList<int> defaultItems;
    QString species;
};

namespace Explanation {

// The titles of the 18 items, in order.
const QStringList& itemTitles();

// The 18 items of a chart: 1, 11, 12 and 16 from the record, 2 to 10 from its kind's texts,
// 13, 14 (the breeder), 15, 17 and 18 (the microchip and its dates) from its sale information.
QList<SheetItem> items(const PetRecord& record, const ChartSale& sale, const BreedTexts& breed);

// A kind's texts with each empty item taken from its species' defaults; `usedDefaults` gets the numbers
// of the items taken.
BreedTexts withDefaults(BreedTexts own, const BreedTexts& defaults, QList<int>& usedDefaults);

// What the user is told before the sheet goes out when some items are its species' defaults; empty
// when none are. The paper itself does not say.
QString defaultsNote(const ExplanationSheet& sheet);

// The sheet of record `number` (as it is held in `record`), with the shop's details from the settings
// store and the rest from `store`.
ExplanationSheet load(qint32 number, const PetRecord& record, const ShopDatabase& database);

} // namespace Explanation
