#pragma once

#include "store/PetRecord.h"
#include "store/ShopFiles.h"

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>

#include <array>
#include <optional>

class DamagedDatabase;
class Failure;
class RecordFile;

// The animal a chart showed when its sale information was saved. A record number can come to hold
// another animal (a replaced record file, a number used again); the sale information then no longer
// belongs to the chart.
struct SaleAnimal
{
    QString kind;      // as the chart shows it, without padding
    QString birth;     // the birth date as the chart shows it, yyyy/M/d, empty when none
    QString purchased; // the purchase date as typed, without padding

    static SaleAnimal of(const PetRecord& record);
    friend bool operator==(const SaleAnimal&, const SaleAnimal&) = default;
};

// What a chart needs for its sale beyond the 964-byte record.
struct ChartSale
{
    static inline const QString Mismatch = QStringLiteral("このカルテの動物と販売情報が一致しません");

    QString microchip; // 15 ASCII digits, or empty
    QDate chipImplanted;
    QDate chipRegistered;    // in the national database
    QDate chipCertificateOn; // the registration certificate handed to the buyer
    bool neutered = false;
    QDate neuteredOn;
    QString owner; // only when the shop does not own the animal
    QString hereditary;
    QString buyerName;
    QString buyerAddress;
    QString buyerPhone;
    QDate explainedOn; // the day the explanation sheet was handed over
    // The animal it was entered for; none for information saved before the program kept it, which
    // counts as the chart's own until it is saved again.
    std::optional<SaleAnimal> animal;
    // Where the animal came from: who bred it and who sold it to the shop, each with a registration
    // number or an address.
    QString breederName;
    QString breederReg;
    QString sellerName;
    QString sellerReg;

    // Nothing entered at all: such a chart has no row.
    bool isEmpty() const;
    // Whether it was entered for the animal `record` holds now.
    bool isFor(const PetRecord& record) const;
    bool hasBuyer() const;
    friend bool operator==(const ChartSale&, const ChartSale&) = default;
};

// A kind's texts for items 2 to 10 of the sale-time explanation.
struct BreedTexts
{
    static constexpr int FirstItem = 2;
    static constexpr int LastItem = 10;

    std::array<QString, LastItem - FirstItem + 1> items;

    QString& item(int number) { return items.at(std::size_t(number - FirstItem)); }
    const QString& item(int number) const { return items.at(std::size_t(number - FirstItem)); }
    bool isEmpty() const;
    friend bool operator==(const BreedTexts&, const BreedTexts&) = default;
};

// The shop as an animal dealer.
struct DealerInfo
{
    QString registrationNumber; // 動物取扱業 登録番号
    QString animalHandler;      // 動物取扱責任者
    friend bool operator==(const DealerInfo&, const DealerInfo&) = default;
};

// soranika.db beside detapetto.dt: what the record has no room for. Each call opens the file
// (creating it, or bringing an older one up to date, as it goes), does its work and closes it again,
// like every other file of the shop. Every failure is a Failure with a Japanese description, and a
// failed call changes nothing in the database; a file found damaged is renamed aside, so that the
// next call starts a new one.
class SaleStore
{
public:
    explicit SaleStore(QString fileName = ShopFiles::SaleDatabase);

    const QString& fileName() const { return name; }

    // Opens the file, creating or migrating it, and closes it: a check the program can make early.
    void open() const;

    // The chart's sale information; empty when none was ever saved.
    ChartSale chartSale(qint32 number) const;
    // Every chart that has sale information, by record number.
    QMap<qint32, ChartSale> chartSales() const;
    // Refuses a record number outside 1 to 32767 and a microchip number that is not 15 digits (full-width
    // digits are stored as ASCII). An empty `sale` removes the chart's row.
    void saveChartSale(qint32 number, const ChartSale& sale);
    // The lowest-numbered chart other than `exceptNumber` that carries `microchip` (as typed; refused
    // like saveChartSale refuses it); none for an empty number.
    std::optional<qint32> chartWithMicrochip(const QString& microchip, qint32 exceptNumber) const;

    // The texts saved for `kind` exactly as the pick list holds it; empty when none were saved.
    BreedTexts breedTexts(const QString& kind) const;
    // The texts of the kind a chart shows: the kind whose text, stored in a record's kind field, reads
    // as the chart's does (a pick-list item longer than the field still finds its texts).
    BreedTexts breedTextsForChart(const PetRecord& record) const;
    // Empty texts remove the kind's row.
    void saveBreedTexts(const QString& kind, const BreedTexts& texts);

    // The texts of items 2 to 10 for every dog, cat or other animal (犬, 猫 or その他) whose kind has
    // none of its own for an item.
    BreedTexts speciesTexts(const QString& species) const;
    // Empty texts remove the species' row.
    void saveSpeciesTexts(const QString& species, const BreedTexts& texts);

    DealerInfo dealerInfo() const;
    void saveDealerInfo(const DealerInfo& dealer);

    // A consistent copy of the whole database written to the new SQLite file `path`, for a backup
    // archive. Written by SQLite itself from one read transaction, so a write under way is either
    // wholly in it or not at all. A damaged file fails with DamagedDatabase and stays where it is: a
    // backup may run where nobody sees what it did. Waits only briefly for another program's lock.
    void snapshot(const QString& path) const;
    // Refuses bytes that are not a sound database this program can read (damaged, or of a newer
    // version), with a description naming the backup.
    void checkSnapshot(const QByteArray& bytes) const;
    // Replaces the whole content by that of a snapshot (an older one brought up to date first), in
    // one transaction: a refused or failed restore leaves the database as it was.
    void restoreSnapshot(const QByteArray& bytes);

private:
    QString backupName() const;
    template <typename Work> auto settingDamageAside(Work work) const -> decltype(work());
    Failure setAside(const DamagedDatabase& damage) const;
    BreedTexts textsOf(const QString& table, const QString& keyColumn, const QString& key) const;
    void saveTexts(const QString& table, const QString& keyColumn, const QString& key,
                   const BreedTexts& texts);

    QString name;
};
