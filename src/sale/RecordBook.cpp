#include "sale/RecordBook.h"

#include "sale/ShopAnimals.h"
#include "store/DateText.h"
#include "store/DisplayText.h"
#include "widgets/TablePages.h"

#include <iterator>

namespace {

enum Column {
    Number,
    Kind,
    BreederName,
    BreederReg,
    Birth,
    OwnedOn,
    SellerName,
    SellerReg,
    LeftOn,
    BuyerName,
    BuyerReg,
    BuyerCheck,
    SoldBy,
    Explanation,
    DiedOn,
    DeathCause,
    ColumnCount
};

// Relative widths of the columns on paper.
constexpr double Widths[ColumnCount] = {4, 9, 8, 10, 6.5, 6.5, 8, 10, 6.5, 8, 10, 9, 6, 7, 6.5, 8};

QString date(const QDate& day)
{
    return day.isValid() ? dateText(day) : QString();
}

struct Entry
{
    qint32 number = 0;
    bool cleared = false;
    QDate ownedOn; // invalid when it does not read
    QDate leftOn;  // invalid while in stock
    QString kind;
    QString birth;
    QString purchased;
    QString supplier;
    QString saleDate;
    ChartSale chartSale;
    std::optional<AnimalOutcome> outcome;
};

// The shop owned the animal at some time in the period; dates that do not read keep it in.
bool ownedWithin(const Entry& entry, const QDate& from, const QDate& to)
{
    if (entry.ownedOn.isValid() && entry.ownedOn > to)
        return false;
    return !entry.leftOn.isValid() || entry.leftOn >= from;
}

QStringList rowOf(const Entry& entry, QMap<int, int>& missing)
{
    QStringList row(ColumnCount);
    row[Number] =
        entry.cleared ? QStringLiteral("%1（削除済）").arg(entry.number) : QString::number(entry.number);
    row[Kind] = entry.kind;
    row[BreederName] = entry.chartSale.breederName;
    row[BreederReg] = entry.chartSale.breederReg;
    row[Birth] = entry.birth;
    // An animal born in the shop is owned from its birth.
    row[OwnedOn] =
        entry.purchased.isEmpty() && entry.ownedOn.isValid() ? dateText(entry.ownedOn) : entry.purchased;
    row[SellerName] = entry.chartSale.sellerName.isEmpty() ? entry.supplier : entry.chartSale.sellerName;
    row[SellerReg] = entry.chartSale.sellerReg;
    QList<int> required{Kind, BreederName, BreederReg, Birth, OwnedOn, SellerName, SellerReg};

    const std::optional<Sale> sale = entry.outcome ? entry.outcome->sale : std::nullopt;
    const std::optional<Leaving> leaving = entry.outcome ? entry.outcome->leaving : std::nullopt;
    if (sale) {
        row[LeftOn] = date(sale->soldOn);
        row[BuyerName] = sale->buyerName;
        row[BuyerReg] = sale->businessBuyer ? sale->buyerRegNo : sale->buyerAddress;
        row[BuyerCheck] = sale->businessBuyer ? sale->buyerCheck : QString();
        row[SoldBy] = sale->soldBy;
        row[Explanation] =
            sale->explainedOn.isValid()
                ? QStringLiteral("%1 %2").arg(date(sale->explainedOn), sale->explainedHow).trimmed()
                : sale->explainedHow;
        required << BuyerName << BuyerReg << SoldBy << Explanation;
        if (sale->businessBuyer)
            required << BuyerCheck;
    } else if (leaving && leaving->kind == LeaveKind::Died) {
        row[DiedOn] = date(leaving->leftOn);
        row[DeathCause] = leaving->detail;
        required << DeathCause;
    } else if (leaving) {
        row[LeftOn] = date(leaving->leftOn);
        row[BuyerName] = leaving->detail;
        required << BuyerName;
    } else if (entry.leftOn.isValid()) {
        // A sale typed on the chart only: what the sale information knows of the buyer.
        row[LeftOn] = entry.saleDate;
        row[BuyerName] = entry.chartSale.buyerName;
        row[BuyerReg] = entry.chartSale.buyerAddress;
        required << BuyerName << BuyerReg << SoldBy << Explanation;
    }
    for (int column : required) {
        if (row[column].trimmed().isEmpty())
            ++missing[column];
    }
    return row;
}

} // namespace

const QStringList& recordBookColumns()
{
    static const QStringList columns{
        QStringLiteral("カルテ番号"),
        QStringLiteral("品種"),
        QStringLiteral("繁殖者の氏名"),
        QStringLiteral("繁殖者の登録番号・住所"),
        QStringLiteral("生年月日"),
        QStringLiteral("所有した日"),
        QStringLiteral("仕入先の氏名"),
        QStringLiteral("仕入先の登録番号・住所"),
        QStringLiteral("販売・引渡しの日"),
        QStringLiteral("販売・引渡し先の氏名"),
        QStringLiteral("販売・引渡し先の登録番号・住所"),
        QStringLiteral("法令違反がないことを確認した方法"),
        QStringLiteral("販売担当者"),
        QStringLiteral("対面説明の実施"),
        QStringLiteral("死亡の日"),
        QStringLiteral("死亡の原因"),
    };
    return columns;
}

RecordBook makeRecordBook(const QDate& from, const QDate& to, const std::vector<PetRecord>& records,
                          const QList<AnimalOutcome>& outcomes, const QMap<qint32, ChartSale>& chartSales,
                          const QMap<QString, Species>& species)
{
    QList<Entry> entries;
    for (const ShopAnimal& animal : shopAnimals(records, outcomes, species)) {
        if (animal.species == Species::Other)
            continue;
        Entry entry;
        entry.number = animal.number;
        entry.cleared = animal.cleared;
        entry.ownedOn = animal.purchasedOn;
        entry.leftOn = animal.leftOn();
        // A kind nobody has decided may be a dog or cat: it stays in the book, marked to be fixed.
        entry.kind = animal.species == Species::Unset ? QStringLiteral("%1（種別未設定）").arg(animal.kind)
                                                      : animal.kind;
        entry.purchased = animal.purchased;
        entry.saleDate = animal.saleDate;
        entry.outcome = animal.outcome;
        if (animal.chart != nullptr) {
            entry.birth = birthDateText(*animal.chart);
            entry.supplier = tableText(animal.chart->Supplier);
            entry.chartSale = chartSales.value(entry.number);
            // Brought back by its buyer: the shop owns it again from them.
            if (animal.outcome && animal.outcome->returnedByBuyer) {
                entry.chartSale.sellerName = animal.outcome->sellerName;
                entry.chartSale.sellerReg.clear();
            }
        } else {
            // An earlier stay of a chart, or what a cleared chart said, kept with its stay.
            const AnimalOutcome& stay = *animal.outcome;
            entry.birth = stay.birth;
            entry.supplier = stay.supplier;
            // An earlier stay of a chart still in use came from the supplier its chart names.
            if (!animal.cleared && entry.supplier.isEmpty() && std::size_t(entry.number) <= records.size())
                entry.supplier = tableText(records[std::size_t(entry.number - 1)].Supplier);
            entry.chartSale = animal.cleared ? ChartSale{} : chartSales.value(entry.number);
            for (const auto& [kept, item] : {std::pair{&stay.breederName, &entry.chartSale.breederName},
                                             std::pair{&stay.breederReg, &entry.chartSale.breederReg},
                                             std::pair{&stay.sellerName, &entry.chartSale.sellerName},
                                             std::pair{&stay.sellerReg, &entry.chartSale.sellerReg}}) {
                if (!kept->isEmpty())
                    *item = *kept;
            }
        }
        entries.append(entry);
    }

    RecordBook book{from, to, {}, {}};
    for (const Entry& entry : entries) {
        if (ownedWithin(entry, from, to))
            book.rows.append(rowOf(entry, book.missing));
    }
    return book;
}

QString recordBookSummary(const RecordBook& book)
{
    QString text = QStringLiteral("%1～%2 に所有した犬・猫：%3 頭")
                       .arg(dateText(book.from), dateText(book.to))
                       .arg(book.rows.size());
    if (book.missing.isEmpty())
        return text + QStringLiteral("\n記入漏れはありません。");
    text += QStringLiteral("\n記入のない項目：");
    QStringList items;
    for (auto item = book.missing.cbegin(); item != book.missing.cend(); ++item)
        items.append(QStringLiteral("%1 %2 頭").arg(recordBookColumns()[item.key()]).arg(*item));
    return text + items.join(QStringLiteral("、"));
}

void paintRecordBook(const RecordBook& book, QPagedPaintDevice& device, const QList<PrintedTable>& more)
{
    TableDocument document;
    document.title = QStringLiteral("動物取扱業 帳簿　%1～%2").arg(dateText(book.from), dateText(book.to));
    document.tables = {{QStringLiteral("犬・猫（個体ごと）"), recordBookColumns(),
                        QList<double>(std::begin(Widths), std::end(Widths)), book.rows}};
    document.tables += more;
    document.orientation = QPageLayout::Landscape;
    document.pointSize = 7;
    paintTableDocument(document, device);
}

QDate keptAfterDeletion(const PetRecord& record, const std::optional<AnimalOutcome>& outcome, Species species,
                        const QDate& today)
{
    if (!mayBeDogOrCat(species) || tableText(record.Kind).isEmpty())
        return {};
    QDate left = outcome && outcome->hasLeft() ? outcome->leftShopOn() : QDate();
    if (!left.isValid())
        left = readShopDate(tableText(record.SaleDate));
    const QDate until = (left.isValid() ? std::min(left, today) : today).addYears(5);
    return until > today ? until : QDate();
}
