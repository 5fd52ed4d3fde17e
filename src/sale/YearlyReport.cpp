#include "sale/YearlyReport.h"

#include "sale/DialogFields.h"
#include "store/Csv.h"
#include "store/ShopSettings.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Look.h"
#include "widgets/Printer.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList RowTitles{QStringLiteral("4/1 の所有数"), QStringLiteral("新たに所有"),
                            QStringLiteral("販売"),         QStringLiteral("譲渡・引渡し"),
                            QStringLiteral("死亡"),         QStringLiteral("3/31 の所有数")};

QTableWidget* countTable(QWidget* parent, const char* name)
{
    auto* table = new QTableWidget(int(RowTitles.size()), 13, parent);
    table->setObjectName(QString::fromLatin1(name));
    QStringList columns;
    for (int month = 0; month < 12; ++month)
        columns.append(QStringLiteral("%1月").arg((month + 3) % 12 + 1));
    columns.append(QStringLiteral("合計"));
    table->setHorizontalHeaderLabels(columns);
    table->setVerticalHeaderLabels(RowTitles);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setMinimumHeight(table->horizontalHeader()->height() +
                            6 * table->verticalHeader()->defaultSectionSize() + 4);
    return table;
}

void fill(QTableWidget* table, const KindCount& count)
{
    table->clearContents();
    const auto put = [&](int row, int column, int number) {
        auto* item = new QTableWidgetItem(QString::number(number));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    };
    const auto months = [&](int row, const std::array<int, 12>& numbers) {
        int total = 0;
        for (int month = 0; month < 12; ++month) {
            put(row, month, numbers[std::size_t(month)]);
            total += numbers[std::size_t(month)];
        }
        put(row, 12, total);
    };
    put(0, 12, count.heldAtStart);
    months(1, count.added);
    months(2, count.left[KindCount::Sold]);
    months(3, count.left[KindCount::HandedOver]);
    months(4, count.left[KindCount::Died]);
    put(5, 12, count.heldAtEnd);
}

QString checkText(const QString& name, const KindCount& count)
{
    return QStringLiteral("%1：①%2 ＋ ②%3 − ③%4 ＝ %5 ですが、④は %6 です（差 %7）")
        .arg(name)
        .arg(count.heldAtStart)
        .arg(count.addedTotal())
        .arg(count.leftTotal())
        .arg(count.heldAtStart + count.addedTotal() - count.leftTotal())
        .arg(count.heldAtEnd)
        .arg(count.difference());
}

} // namespace

YearlyReport::YearlyReport(std::vector<PetRecord> records, QList<AnimalOutcome> outcomes,
                           QMap<QString, Species> species, DealerInfo dealer, MessageBoxes& messages,
                           Printer& printer, FileDialogs& files, const QDate& today, QWidget* parent)
    : QDialog(parent), records(std::move(records)), outcomes(std::move(outcomes)),
      species(std::move(species)), dealer(std::move(dealer)), today(today), messages(messages),
      printer(printer), files(files)
{
    buildLayout();
    fiscalYear->setValue(lastFinishedYear(today));
    connect(fiscalYear, &QSpinBox::valueChanged, this, &YearlyReport::showYear);
    showYear();
}

int YearlyReport::lastFinishedYear(const QDate& today)
{
    return today.month() >= 4 ? today.year() - 1 : today.year() - 2;
}

void YearlyReport::buildLayout()
{
    setObjectName(QStringLiteral("YearlyReport"));
    setWindowTitle(QStringLiteral("定期報告の集計"));
    setFont(gothicFont(9));

    fiscalYear = new QSpinBox(this);
    fiscalYear->setObjectName(QStringLiteral("fiscalYear"));
    fiscalYear->setRange(2000, 2100);
    fiscalYear->setSuffix(QStringLiteral(" 年度"));
    heading = new QLabel(this);
    heading->setObjectName(QStringLiteral("heading"));
    dogs = countTable(this, "dogs");
    cats = countTable(this, "cats");
    check = new QLabel(this);
    check->setObjectName(QStringLiteral("check"));
    check->setWordWrap(true);
    problems = new QListWidget(this);
    problems->setObjectName(QStringLiteral("problems"));
    problems->setMaximumHeight(110);

    const SheetButtons buttons = sheetButtons(this);
    connect(buttons.print, &QPushButton::clicked, this, &YearlyReport::print);
    connect(buttons.pdf, &QPushButton::clicked, this, &YearlyReport::saveAsPdf);
    connect(buttons.csv, &QPushButton::clicked, this, &YearlyReport::saveAsCsv);

    auto* yearRow = new QHBoxLayout;
    auto* yearLabel = new QLabel(QStringLiteral("年度(&Y)（4月1日～翌年3月31日）"), this);
    yearLabel->setBuddy(fiscalYear);
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(fiscalYear);
    yearRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(yearRow);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(QStringLiteral("犬"), this));
    layout->addWidget(dogs);
    layout->addWidget(new QLabel(QStringLiteral("猫"), this));
    layout->addWidget(cats);
    layout->addWidget(check);
    layout->addWidget(problems);
    layout->addWidget(buttons.box);
    resize(980, 640);
}

void YearlyReport::showYear()
{
    shown = countYear(fiscalYear->value(), records, outcomes, species);
    fill(dogs, shown.dogs);
    fill(cats, shown.cats);
    heading->setText(headingLines().join(QLatin1Char('\n')));
    QStringList lines;
    if (!shown.problems.isEmpty())
        lines.append(QStringLiteral("一致しません：%1 頭を数えられません").arg(shown.problems.size()));
    if (shown.dogs.difference() != 0)
        lines.append(checkText(QStringLiteral("犬"), shown.dogs));
    if (shown.cats.difference() != 0)
        lines.append(checkText(QStringLiteral("猫"), shown.cats));
    check->setText(shown.agrees() ? QStringLiteral("一致") : lines.join(QLatin1Char('\n')));
    problems->clear();
    for (const CountProblem& problem : shown.problems)
        problems->addItem(QStringLiteral("%1　%2　%3")
                              .arg(problem.number > 0 ? QStringLiteral("カルテ %1 番").arg(problem.number)
                                                      : QStringLiteral("削除したカルテ"),
                                   problem.kind, problem.reason));
    problems->setVisible(!shown.problems.isEmpty());
}

// The form the counts are for, who reports them, and for which period.
QStringList YearlyReport::headingLines() const
{
    const int year = shown.fiscalYear;
    QStringList lines{
        QStringLiteral("動物販売業者等定期報告届出書（様式第十一の二）の集計"),
        QStringLiteral("事業所：%1　登録番号：%2")
            .arg(ShopSettings::get(ShopSettings::Keys[0]).trimmed(), dealer.registrationNumber.trimmed()),
        QStringLiteral("期間：%1年4月1日～%2年3月31日").arg(year).arg(year + 1)};
    if (today <= QDate(year + 1, 3, 31))
        lines.append(QStringLiteral("年度途中の集計です（提出は %1年5月30日まで）").arg(year + 1));
    return lines;
}

// The sheet as lines of text, one table row per line with its cells in fixed columns.
QStringList YearlyReport::printLines() const
{
    QStringList lines = headingLines();
    lines.append(QString());
    for (const QStringList& row : yearlyReportRows(shown)) {
        if (row.size() < 13) {
            lines.append(row.join(QStringLiteral("　")));
            continue;
        }
        QString line = row.first().leftJustified(9, QChar(u'　'));
        for (int cell = 1; cell < row.size(); ++cell)
            line += row[cell].rightJustified(5);
        lines.append(line);
    }
    lines.append(QString());
    lines.append(check->text() == QStringLiteral("一致") ? QStringLiteral("①＋②−③＝④：一致") : check->text());
    return lines;
}

void YearlyReport::print()
{
    reportFailures(messages, this, [&] {
        printer.print(printLines(), QStringLiteral("定期報告 %1年度").arg(shown.fiscalYear));
    });
}

void YearlyReport::saveAsPdf()
{
    const QString path = files.saveForOtherPrograms(
        this, QStringLiteral("PDFに保存"), QStringLiteral("定期報告_%1年度.pdf").arg(shown.fiscalYear),
        QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    reportFailures(messages, this, [&] {
        writeLinesToPdf(printLines(), path, QStringLiteral("定期報告 %1年度").arg(shown.fiscalYear));
    });
}

void YearlyReport::saveAsCsv()
{
    const QString path = files.saveForOtherPrograms(
        this, QStringLiteral("CSVに書き出す"), QStringLiteral("定期報告_%1年度.csv").arg(shown.fiscalYear),
        QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return;
    reportFailures(messages, this, [&] { Csv::save(path, yearlyReportRows(shown)); });
}
