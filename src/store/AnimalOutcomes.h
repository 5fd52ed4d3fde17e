#pragma once

#include "store/PetRecord.h"
#include "store/ShopFiles.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

class RecordFile;

// Dogs and cats fall under the rules for animal dealers; other animals do not. A kind the shop has not
// decided is Unset: the legal screens list it to be fixed and never take it for "not a dog".
enum class Species { Unset, Other, Dog, Cat };

// 未設定, その他, 犬 or 猫.
QString speciesText(Species species);
// Whether the rules for dogs and cats may apply: a dog, a cat, or a kind not decided yet.
bool mayBeDogOrCat(Species species);
// A kind name that plainly names a dog or a cat, offered to the user but never stored unasked; Unset
// when it names neither.
Species proposedSpecies(const QString& kind);

// The species of a kind as a chart shows it, from the species saved by kind: the kind itself, or a
// longer pick-list item the chart's field cut it from; Unset when none was saved.
Species speciesOfKind(const QString& shownKind, const QMap<QString, Species>& species);

// A dog or cat may be sold from this day on: 56 whole days after the day of its birth must have passed.
QDate firstSaleDay(const QDate& birth);
// Why an animal of `species` born on `birth` cannot be sold on `soldOn`; empty when it can. A kind whose
// species is undecided is held to the rule for dogs and cats.
QString tooYoungToSell(Species species, const QDate& birth, const QDate& soldOn);

struct Sale
{
    QDate soldOn;
    std::optional<qint64> price; // yen
    bool businessBuyer = false;
    QString buyerName;
    QString buyerAddress;
    QString buyerPhone;
    QString buyerRegNo; // a business buyer's registration
    QString buyerCheck; // how the shop made sure a business buyer breaks no rule
    QString soldBy;     // the staff member
    QDate explainedOn;  // the face-to-face explanation
    QString explainedHow;
    QString microchip;
    bool chipRegistered = false;
    QDate chipCertificateOn;    // the registration certificate handed to the buyer
    QString noChipReason;       // why a dog or cat went without a registered microchip
    bool priceFromPlan = false; // a 販売日 typed on the chart: the price is the planned one
    friend bool operator==(const Sale&, const Sale&) = default;
};

enum class LeaveKind { Died, HandedOver, Returned };

// The words the shop sees and the database keeps for each kind.
QString leaveKindText(LeaveKind kind);

struct Leaving
{
    QDate leftOn;
    LeaveKind kind = LeaveKind::Died;
    QString detail; // cause of death, or who took the animal
    friend bool operator==(const Leaving&, const Leaving&) = default;
};

// One stay of an animal in the shop and how it ended, with what its chart said of it. A buyer's
// return starts a new stay of the same chart; the newest stay is the animal's present.
struct AnimalOutcome
{
    qint64 id = 0;           // the stay's row
    qint32 recordNumber = 0; // 0 once the chart was cleared
    qint32 formerNumber = 0; // the chart's number, kept when it was cleared
    Species species = Species::Unset;
    QString kind;
    QString birth;
    QString purchased; // 所有した日 as typed; a return's day for a stay a return began
    std::optional<Sale> sale;
    std::optional<Leaving> leaving;
    QString breederName;
    QString breederReg;
    QString sellerName;
    QString sellerReg;
    bool returnedByBuyer = false; // the stay began when the buyer brought the animal back
    QString returnReason;
    // Kept from the chart when it was cleared.
    QDate deletedOn;
    QString supplier;
    QString staff;
    QString cost;
    QString plannedPrice;

    // The chart list's status: 死亡, 譲渡, 返品 or 販売済; empty while in stock.
    QString status() const;
    // The day the animal left the shop, by sale or otherwise.
    QDate leftShopOn() const;
    bool hasLeft() const { return sale || leaving; }
    // The chart number the shop knew the animal by.
    qint32 chartNumber() const { return recordNumber > 0 ? recordNumber : formerNumber; }
    // What the shop is told when a step needs the animal in the shop: 「この動物は 2026/10/21
    // に販売済みです。」
    QString leftText() const;
};

// The last day a record of an animal must be kept: five years after its stay ended (its departure, or
// the day its chart was cleared while it was in stock); invalid while it is in the shop.
QDate keptUntil(const AnimalOutcome& stay);

// Sales, departures and returns kept in soranika.db, and each kind's species: the one writer of an
// animal's life. Every step checks the animal's present state and refuses a second departure, and
// writes the chart and its stay both or neither, also across a kill: the record's old bytes are
// committed first, and a change found unfinished at the next start is undone. Every call opens the
// database, brings it up to date, does its work and closes it again; a failure changes nothing.
class AnimalOutcomes
{
public:
    explicit AnimalOutcomes(QString fileName = ShopFiles::SaleDatabase);

    const QString& fileName() const { return name; }

    // The species saved for a kind as the pick list holds it.
    QMap<QString, Species> allSpecies() const;
    // Unset removes a kind's row.
    void saveSpecies(const QMap<QString, Species>& species);
    // The species of the kind a chart shows; a pick-list item longer than the field still finds it.
    Species speciesForChart(const PetRecord& record) const;

    // The present stay of chart `number`, if anything was ever recorded of it.
    std::optional<AnimalOutcome> outcome(qint32 number) const;
    // Every stay, cleared charts' included, in the order they were recorded.
    QList<AnimalOutcome> outcomes() const;

    // Sells the animal of chart `number`: `changed` is the record as it is to be stored, with its 販売日.
    // Refused when the animal has left the shop, and for a dog, a cat or an undecided kind before the
    // 57th day of its life. The chart's microchip and buyer go into its sale information too.
    void recordSale(RecordFile& records, qint32 number, const PetRecord& changed, const Sale& sale,
                    Species species);
    // The same with the chart's 販売日 set to the sale's day.
    void recordSale(RecordFile& records, qint32 number, const Sale& sale, Species species);
    // Takes back a sale entered by mistake: the stay forgets it, the buyer's name, address and phone go
    // from the sale information too, and the chart is stored as `changed` (its 販売日 emptied).
    void undoSale(RecordFile& records, qint32 number, const PetRecord& changed);
    void undoSale(RecordFile& records, qint32 number);
    void recordLeaving(RecordFile& records, qint32 number, const Leaving& leaving, Species species);
    // The buyer brought the sold animal back on `on`: the sale stays on record, and a new stay begins.
    void recordReturn(RecordFile& records, qint32 number, const QDate& on, const QString& reason);
    // "データ削除": keeps what the record book needs of the animal, then stores `blanked` and removes
    // the chart's sale information, both or neither. The stay keeps the chart's number as its former one.
    void deleteChart(RecordFile& records, qint32 number, const PetRecord& blanked, const QDate& today);

    // Undoes the chart changes a kill or a power cut left unfinished; the names of their steps.
    QStringList settleUnfinished(RecordFile& records);
    // Records a sale for each chart whose 販売日 reads as a date but has no sale recorded: charts
    // written by earlier versions. Once per database, in one transaction; how many were recorded.
    int adoptTypedSaleDates(RecordFile& records);
    // Removes the kept stays of cleared charts whose keeping ended before `today`; how many went.
    int removeExpired(const QDate& today);

private:
    QString name;
};

// The step `present` refuses, in the words the shop sees; empty when the step is allowed.
enum class LifeStep { Sell, Leave, Return, UndoSale };
QString refusalOf(const std::optional<AnimalOutcome>& present, LifeStep step);
