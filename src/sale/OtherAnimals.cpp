#include "sale/OtherAnimals.h"

#include "store/DateText.h"
#include "store/DisplayText.h"

#include <QMap>

namespace {

enum Column {
    Kind,
    Births,
    AtStart,
    Acquired,
    Left,
    Died,
    AtEnd,
    Breeders,
    Sellers,
    AcquiredOn,
    LeftOn,
    Buyers,
    BuyerChecks,
    SoldBy,
    Explanations,
    DiedOn,
    ColumnCount
};

// What happened to the animals of one 品種等.
struct KindTally
{
    int atStart = 0;
    int acquired = 0;
    int left = 0;
    int died = 0;
    int atEnd = 0;
    QMap<QDate, int> births;
    int birthsUnknown = 0;
    QStringList breeders;
    QStringList sellers;
    QMap<QDate, int> acquiredOn;
    int acquiredUnknown = 0;
    QMap<QDate, int> leftOn;
    QStringList buyers;
    QStringList buyerChecks;
    QStringList soldBy;
    QStringList explanations;
    QStringList deaths;
};

void addOnce(QStringList& list, const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && !list.contains(trimmed))
        list.append(trimmed);
}

// The non-empty parts, joined by `separator`.
QString joined(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& part : parts)
        if (!part.trimmed().isEmpty())
            kept.append(part.trimmed());
    return kept.join(separator);
}

QString nameAndPlace(const QString& name, const QString& place)
{
    return joined({name, place}, QStringLiteral("　"));
}

// 「2026/8/3（2 頭）、2026/9/1、日付なし（1 頭）」
QString daysText(const QMap<QDate, int>& days, int unknown = 0)
{
    QStringList parts;
    for (auto day = days.cbegin(); day != days.cend(); ++day)
        parts.append(*day > 1 ? QStringLiteral("%1（%2 頭）").arg(dateText(day.key())).arg(*day)
                              : dateText(day.key()));
    if (unknown > 0)
        parts.append(QStringLiteral("日付なし（%1 頭）").arg(unknown));
    return parts.join(QStringLiteral("、"));
}

QDate birthOf(const ShopAnimal& animal)
{
    if (animal.chart != nullptr)
        return QDate(animal.chart->BirthYear, animal.chart->BirthMonth, animal.chart->BirthDay);
    return animal.outcome ? readShopDate(animal.outcome->birth) : QDate();
}

} // namespace

const QStringList& otherAnimalsColumns()
{
    static const QStringList columns{
        QStringLiteral("品種等の名称"),
        QStringLiteral("生年月日"),
        QStringLiteral("期間の初めの数"),
        QStringLiteral("所有した数"),
        QStringLiteral("販売・引渡しの数"),
        QStringLiteral("死亡の数"),
        QStringLiteral("期間の終わりの数"),
        QStringLiteral("繁殖者の氏名・登録番号又は所在地"),
        QStringLiteral("仕入先の氏名・登録番号又は所在地"),
        QStringLiteral("所有した日"),
        QStringLiteral("販売・引渡しの日"),
        QStringLiteral("販売・引渡し先"),
        QStringLiteral("法令違反がないことを確認した方法"),
        QStringLiteral("販売担当者"),
        QStringLiteral("対面説明の実施"),
        QStringLiteral("死亡の日と原因"),
    };
    return columns;
}

QList<QStringList> otherAnimalsRows(const QDate& from, const QDate& to, const QList<ShopAnimal>& animals,
                                    const QMap<qint32, ChartSale>& chartSales)
{
    QMap<QString, KindTally> kinds;
    for (const ShopAnimal& animal : animals) {
        // An undecided kind is not taken for one of these: the dogs' and cats' part lists it to be fixed.
        if (animal.species != Species::Other)
            continue;
        const QDate acquired = animal.purchasedOn;
        const QDate left = animal.leftOn();
        const bool died = animal.outcome && !animal.outcome->sale && animal.outcome->leaving &&
                          animal.outcome->leaving->kind == LeaveKind::Died;
        // A 所有した日 that does not read keeps the animal in, as owned before the period.
        if ((acquired.isValid() && acquired > to) || (left.isValid() && left < from))
            continue;

        KindTally& tally = kinds[animal.kind];
        if (const QDate born = birthOf(animal); born.isValid())
            ++tally.births[born];
        else
            ++tally.birthsUnknown;
        if (acquired.isValid() && acquired >= from) {
            ++tally.acquired;
            ++tally.acquiredOn[acquired];
        } else {
            ++tally.atStart;
            if (!acquired.isValid())
                ++tally.acquiredUnknown;
        }
        if (left.isValid() && left <= to) {
            if (died) {
                ++tally.died;
                tally.deaths.append(nameAndPlace(dateText(left), animal.outcome->leaving->detail));
            } else {
                ++tally.left;
                ++tally.leftOn[left];
                QString buyer;
                if (animal.outcome && animal.outcome->sale) {
                    const Sale& sale = *animal.outcome->sale;
                    buyer = sale.buyerName;
                    addOnce(tally.buyerChecks, sale.buyerCheck);
                    addOnce(tally.soldBy, sale.soldBy);
                    addOnce(tally.explanations,
                            joined({dateText(sale.explainedOn), sale.explainedHow}, QStringLiteral(" ")));
                } else if (animal.outcome && animal.outcome->leaving) {
                    buyer = animal.outcome->leaving->detail;
                }
                // A sale typed on the chart only: what the sale information knows of the buyer.
                if (buyer.trimmed().isEmpty())
                    buyer = chartSales.value(animal.number).buyerName;
                addOnce(tally.buyers, buyer);
            }
        } else {
            ++tally.atEnd;
        }

        ChartSale origin = chartSales.value(animal.number);
        if (animal.chart == nullptr && animal.outcome) {
            origin.breederName = animal.outcome->breederName;
            origin.breederReg = animal.outcome->breederReg;
            origin.sellerName = animal.outcome->sellerName;
            origin.sellerReg = animal.outcome->sellerReg;
        } else if (origin.sellerName.trimmed().isEmpty() && animal.chart != nullptr) {
            origin.sellerName = tableText(animal.chart->Supplier);
        }
        addOnce(tally.breeders, nameAndPlace(origin.breederName, origin.breederReg));
        addOnce(tally.sellers, nameAndPlace(origin.sellerName, origin.sellerReg));
    }

    QList<QStringList> rows;
    for (auto kind = kinds.cbegin(); kind != kinds.cend(); ++kind) {
        const KindTally& tally = *kind;
        QStringList row(ColumnCount);
        row[Kind] = kind.key();
        row[Births] = daysText(tally.births, tally.birthsUnknown);
        row[AtStart] = QString::number(tally.atStart);
        row[Acquired] = QString::number(tally.acquired);
        row[Left] = QString::number(tally.left);
        row[Died] = QString::number(tally.died);
        row[AtEnd] = QString::number(tally.atEnd);
        row[Breeders] = tally.breeders.join(QStringLiteral("、"));
        row[Sellers] = tally.sellers.join(QStringLiteral("、"));
        row[AcquiredOn] = daysText(tally.acquiredOn, tally.acquiredUnknown);
        row[LeftOn] = daysText(tally.leftOn);
        row[Buyers] = tally.buyers.join(QStringLiteral("、"));
        row[BuyerChecks] = tally.buyerChecks.join(QStringLiteral("、"));
        row[SoldBy] = tally.soldBy.join(QStringLiteral("、"));
        row[Explanations] = tally.explanations.join(QStringLiteral("、"));
        row[DiedOn] = tally.deaths.join(QStringLiteral("、"));
        rows.append(row);
    }
    return rows;
}

PrintedTable otherAnimalsTable(const QList<QStringList>& rows)
{
    return {QStringLiteral("犬・猫以外の哺乳類・鳥類・爬虫類（品種等ごと）"),
            otherAnimalsColumns(),
            {8, 8, 4, 4, 4, 4, 4, 10, 10, 8, 8, 10, 8, 6, 7, 10},
            rows};
}
