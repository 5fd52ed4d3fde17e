#pragma once

#include "store/PetRecord.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

class RecordFile;

// Dogs and cats fall under the rules for animal dealers; every other kind does not.
enum class Species { Other, Dog, Cat };

QString speciesText(Species species);
// A kind name that plainly names a dog or a cat, offered to the user but never stored unasked.
Species proposedSpecies(const QString& kind);

// The species of a kind as a chart shows it, from the species saved by kind: the kind itself, or a
// longer pick-list item the chart's field cut it from.
Species speciesOfKind(const QString& shownKind, const QMap<QString, Species>& species);

// A dog or cat may be sold from this day on: 56 whole days after the day of its birth must have passed.
QDate firstSaleDay(const QDate& birth);

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

// What became of one animal, with what its chart said of it when that was recorded.
struct AnimalOutcome
{
    qint32 recordNumber = 0; // 0 once the chart was cleared
    Species species = Species::Other;
    QString kind;
    QString birth;
    QString purchased;
    std::optional<Sale> sale;
    std::optional<Leaving> leaving;
    // Kept from the chart's sale information when the chart was cleared.
    QString breederName;
    QString breederReg;
    QString sellerName;
    QString sellerReg;

    // The chart list's status: 死亡, 譲渡, 返品 or 販売済.
    QString status() const;
    // The day the animal left the shop, by sale or otherwise.
    QDate leftShopOn() const;
};

// Sales and departures kept in soranika.db, and each kind's species. Every call opens the database,
// brings it up to date, does its work and closes it again; a failure changes nothing.
class AnimalOutcomes
{
public:
    explicit AnimalOutcomes(QString fileName = QStringLiteral("soranika.db"));

    // The species saved for a kind as the pick list holds it.
    QMap<QString, Species> allSpecies() const;
    void saveSpecies(const QMap<QString, Species>& species);
    // The species of the kind a chart shows; a pick-list item longer than the field still finds it.
    Species speciesForChart(const PetRecord& record) const;

    std::optional<AnimalOutcome> outcome(qint32 number) const;
    // Every row, cleared charts' included, by record number (cleared ones first).
    QList<AnimalOutcome> outcomes() const;

    // Stores the sale and the chart's 販売日 in record `number` of `records`, both or neither; the
    // chart's microchip and buyer go into its sale information too.
    void recordSale(RecordFile& records, qint32 number, const Sale& sale, Species species);
    // Takes a sale back: the chart's 販売日 is emptied and the row forgets the sale, both or neither.
    void undoSale(RecordFile& records, qint32 number);
    void recordLeaving(qint32 number, const PetRecord& record, const Leaving& leaving, Species species);

private:
    QString name;
};
