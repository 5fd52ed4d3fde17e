#include "overview/OverviewSheets.h"

#include "platform/Clock.h"
#include "store/Numbers.h"

namespace {

QString optionalNumber(const std::optional<int>& number)
{
    return number ? QString::number(*number) : QString();
}

} // namespace

const QStringList& stockColumns()
{
    static const QStringList columns{QStringLiteral("番号"),        QStringLiteral("種類"),
                                     QStringLiteral("種別"),        QStringLiteral("性別"),
                                     QStringLiteral("日齢"),        QStringLiteral("在庫日数"),
                                     QStringLiteral("販売予定価格")};
    return columns;
}

QList<QStringList> stockRows(const StockFigures& stock)
{
    QList<QStringList> rows;
    rows.reserve(stock.animals.size());
    for (const StockAnimal& animal : stock.animals)
        rows.append({QString::number(animal.number), animal.kind, speciesText(animal.species), animal.sex,
                     optionalNumber(animal.ageDays), optionalNumber(animal.daysInStock),
                     animal.plannedPrice});
    return rows;
}

QString stockSummary(const StockFigures& stock)
{
    const QString summary = QStringLiteral("犬 %1 頭　猫 %2 頭　その他 %3 頭（計 %4 頭）")
                                .arg(stock.dogs)
                                .arg(stock.cats)
                                .arg(stock.others)
                                .arg(stock.animals.size());
    // A kind nobody has decided is neither a dog nor "another animal": the shop is told to decide it.
    if (stock.undecided == 0)
        return summary;
    return summary + QStringLiteral("　種別が未設定 %1 頭（品種情報で決めてください）").arg(stock.undecided);
}

const QStringList& monthColumns()
{
    static const QStringList columns{QStringLiteral("月"),           QStringLiteral("仕入"),
                                     QStringLiteral("販売"),         QStringLiteral("死亡・譲渡"),
                                     QStringLiteral("売上(円)"),     QStringLiteral("販売分の仕入原価(円)"),
                                     QStringLiteral("粗利(円)"),     QStringLiteral("粗利の対象外"),
                                     QStringLiteral("平均在庫日数"), QStringLiteral("月末在庫")};
    return columns;
}

QString monthName(const QDate& month)
{
    return month.toString(QStringLiteral("yyyy/MM"));
}

QList<QStringList> monthRows(const QList<MonthFigures>& months, Amounts amounts)
{
    const auto amount = [&](qint64 yen) {
        return amounts == Amounts::Grouped ? Numbers::formatAmount(yen) : QString::number(yen);
    };
    QList<QStringList> rows;
    for (const MonthFigures& month : months)
        rows.append(
            {monthName(month.month), QString::number(month.bought), QString::number(month.sold),
             QString::number(month.left), amount(month.revenue), amount(month.cost), amount(month.margin),
             QString::number(month.marginLeftOut),
             month.averageDaysInStock ? QString::number(*month.averageDaysInStock, 'f', 1) : QString(),
             QString::number(month.stockAtEnd)});
    return rows;
}

const QStringList& dueColumns()
{
    static const QStringList columns{QStringLiteral("番号"),   QStringLiteral("投薬名"),
                                     QStringLiteral("予定日"), QStringLiteral("種類"),
                                     QStringLiteral("根拠"),   QStringLiteral("状態")};
    return columns;
}

QList<QStringList> dueRows(const CareFigures& care)
{
    QList<QStringList> rows;
    for (const CareDue& item : care.due)
        rows.append({QString::number(item.number), item.medication, shortDateText(item.due), item.kind,
                     item.basis, item.overdue ? QStringLiteral("期限切れ") : QStringLiteral("今日")});
    return rows;
}

QStringList unreadableLines(const CareFigures& care)
{
    QStringList lines;
    for (const UnreadableLine& line : care.unreadable)
        lines.append(QStringLiteral("カルテ %1 番 %2：%3").arg(line.number).arg(line.kind, line.line));
    return lines;
}

QList<QStringList> overviewCsvRows(const StockFigures& stock, const QList<MonthFigures>& months,
                                   const CareFigures& care)
{
    QList<QStringList> rows{{QStringLiteral("在庫"), stockSummary(stock)}, stockColumns()};
    rows += stockRows(stock);
    rows += {QStringList(), {QStringLiteral("月別")}, monthColumns()};
    rows += monthRows(months, Amounts::Plain);
    rows += {QStringList(), {QStringLiteral("ケアの予定")}, dueColumns()};
    rows += dueRows(care);
    for (const QString& line : unreadableLines(care))
        rows.append({QStringLiteral("読めない投薬履歴"), line});
    return rows;
}

QString periodText(const QList<MonthFigures>& months)
{
    return months.isEmpty() ? QString()
                            : QStringLiteral("%1～%2").arg(monthName(months.first().month),
                                                           monthName(months.last().month));
}
