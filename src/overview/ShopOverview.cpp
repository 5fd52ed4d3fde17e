#include "overview/ShopOverview.h"

#include "overview/OverviewPlots.h"
#include "overview/OverviewSheets.h"
#include "overview/RowsModel.h"
#include "sale/DialogFields.h"
#include "store/CarePlans.h"
#include "store/Csv.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Look.h"
#include "widgets/Printer.h"
#include "widgets/TablePages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

const QColor PastLimit(255, 224, 178);
const QColor Overdue(200, 0, 0);

QTableView* newTable(QWidget* parent, const char* name, RowsModel* model)
{
    auto* table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    // Column widths from the first rows: measuring thousands of cells would slow the opening.
    table->horizontalHeader()->setResizeContentsPrecision(200);
    return table;
}

QList<RowsModel::Row> plainRows(const QList<QStringList>& texts)
{
    QList<RowsModel::Row> rows;
    rows.reserve(texts.size());
    for (const QStringList& row : texts)
        rows.append({row, {}, {}, {}});
    return rows;
}

} // namespace

ShopOverview::ShopOverview(std::vector<PetRecord> records, const QList<AnimalOutcome>& outcomes,
                           const QMap<QString, Species>& species, const QMap<qint32, ChartSale>& chartSales,
                           const CarePlans& settings, MessageBoxes& messages, Printer& printer,
                           FileDialogs& files, const QDate& today, QWidget* parent)
    : QDialog(parent), settings(settings), messages(messages), printer(printer), files(files), today(today)
{
    buildLayout();
    savedLimits = settings.stockLimits();
    ageLimit->setValue(savedLimits.ageDays);
    stockLimit->setValue(savedLimits.stockDays);
    connect(ageLimit, &QSpinBox::valueChanged, this, &ShopOverview::saveLimits);
    connect(stockLimit, &QSpinBox::valueChanged, this, &ShopOverview::saveLimits);
    connect(period, &QComboBox::currentIndexChanged, this, &ShopOverview::showMonths);
    connect(stock, &QTableView::doubleClicked, this, &ShopOverview::choose);
    connect(due, &QTableView::doubleClicked, this, &ShopOverview::choose);
    showShop(std::move(records), outcomes, species, chartSales, today);
}

void ShopOverview::showShop(std::vector<PetRecord> shownRecords, const QList<AnimalOutcome>& outcomes,
                            const QMap<QString, Species>& species, const QMap<qint32, ChartSale>& chartSales,
                            const QDate& day)
{
    const QList<CarePlan> plans = settings.plans();
    records = std::move(shownRecords);
    today = day;
    // The animals point into the records this window keeps.
    animals = shopAnimals(records, outcomes, species);
    careShown = careDue(animals, plans, today);
    chipShown = chipNotices(animals, chartSales, today);
    carePlanned = !plans.isEmpty();
    showStock();
    showMonths();
    showCare();
}

void ShopOverview::showCarePlan()
{
    tabs->setCurrentIndex(2);
}

void ShopOverview::buildLayout()
{
    setObjectName(QStringLiteral("ShopOverview"));
    setWindowTitle(QStringLiteral("お店の状況"));
    setFont(gothicFont(9));

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(buildStockPage(), QStringLiteral("在庫(&S)"));
    tabs->addTab(buildMonthPage(), QStringLiteral("月別(&M)"));
    tabs->addTab(buildCarePage(), QStringLiteral("ケアの予定(&C)"));

    const SheetButtons buttons = sheetButtons(this);
    connect(buttons.print, &QPushButton::clicked, this, &ShopOverview::print);
    connect(buttons.pdf, &QPushButton::clicked, this, &ShopOverview::saveAsPdf);
    connect(buttons.csv, &QPushButton::clicked, this, &ShopOverview::saveAsCsv);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons.box);
    resize(1000, 720);
}

QWidget* ShopOverview::buildStockPage()
{
    auto* page = new QWidget(this);
    const auto days = [&](const char* name) {
        auto* box = new QSpinBox(page);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(1, 3650);
        box->setSuffix(QStringLiteral(" 日"));
        // Saved once the number is complete, not at every digit typed.
        box->setKeyboardTracking(false);
        return box;
    };
    ageLimit = days("ageLimit");
    stockLimit = days("stockLimit");
    stockSummaryLabel = new QLabel(page);
    stockSummaryLabel->setObjectName(QStringLiteral("stockSummary"));
    breeds = new QTableWidget(0, 2, page);
    breeds->setObjectName(QStringLiteral("breeds"));
    breeds->setHorizontalHeaderLabels({QStringLiteral("種類"), QStringLiteral("頭数")});
    breeds->setEditTriggers(QAbstractItemView::NoEditTriggers);
    breeds->verticalHeader()->hide();
    breeds->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    breeds->setMaximumWidth(260);
    stockModel = new RowsModel(stockColumns(), this);
    stock = newTable(page, "stock", stockModel);
    stock->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    stock->setSortingEnabled(true);

    auto* limits = new QHBoxLayout;
    auto* ageLabel = new QLabel(QStringLiteral("印を付ける：日齢が(&A)"), page);
    ageLabel->setBuddy(ageLimit);
    auto* stockLabel = new QLabel(QStringLiteral("を超える、在庫日数が(&D)"), page);
    stockLabel->setBuddy(stockLimit);
    limits->addWidget(ageLabel);
    limits->addWidget(ageLimit);
    limits->addWidget(stockLabel);
    limits->addWidget(stockLimit);
    limits->addWidget(new QLabel(QStringLiteral("を超える"), page));
    limits->addStretch(1);
    auto* tables = new QHBoxLayout;
    tables->addWidget(stock, 1);
    tables->addWidget(breeds);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(stockSummaryLabel);
    layout->addLayout(limits);
    layout->addLayout(tables);
    return page;
}

QWidget* ShopOverview::buildMonthPage()
{
    auto* page = new QWidget(this);
    period = new QComboBox(page);
    period->setObjectName(QStringLiteral("period"));
    period->addItem(QStringLiteral("直近12か月"), 0);
    for (int year = today.year(); year > today.year() - 10; --year)
        period->addItem(QStringLiteral("%1年").arg(year), year);
    monthModel = new RowsModel(monthColumns(), this);
    months = newTable(page, "months", monthModel);
    // All twelve months are seen without scrolling; the plots take what is left.
    months->setMinimumHeight(months->horizontalHeader()->sizeHint().height() +
                             12 * months->verticalHeader()->defaultSectionSize() + 2 * months->frameWidth());
    // Twelve rows: every column as wide as its figures, the month's name taking what is left.
    months->horizontalHeader()->setStretchLastSection(false);
    months->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    months->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    salesChart = newPlotView(page, "salesChart");
    stockChart = newPlotView(page, "stockChart");

    auto* periodRow = new QHBoxLayout;
    auto* periodLabel = new QLabel(QStringLiteral("期間(&T)"), page);
    periodLabel->setBuddy(period);
    periodRow->addWidget(periodLabel);
    periodRow->addWidget(period);
    periodRow->addStretch(1);
    auto* charts = new QHBoxLayout;
    charts->addWidget(salesChart);
    charts->addWidget(stockChart);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(periodRow);
    layout->addWidget(months);
    layout->addLayout(charts, 1);
    return page;
}

QWidget* ShopOverview::buildCarePage()
{
    auto* page = new QWidget(this);
    noCarePlans = new QWidget(page);
    noCarePlans->setObjectName(QStringLiteral("noCarePlans"));
    auto* setPlans = new QPushButton(QStringLiteral("ケアの間隔を登録(&I)..."), noCarePlans);
    setPlans->setObjectName(QStringLiteral("setCarePlans"));
    setPlans->setAutoDefault(false);
    connect(setPlans, &QPushButton::clicked, this, &ShopOverview::carePlansWanted);
    auto* hint = new QHBoxLayout(noCarePlans);
    hint->setContentsMargins(0, 0, 0, 0);
    hint->addWidget(new QLabel(QStringLiteral("ケアの間隔が登録されていません。"), noCarePlans));
    hint->addWidget(setPlans);
    hint->addStretch(1);
    dueModel = new RowsModel(dueColumns(), this);
    due = newTable(page, "due", dueModel);
    unreadableTitle =
        new QLabel(QStringLiteral("日付が読めない投薬履歴（予定の計算に入っていません）"), page);
    unreadable = new QListWidget(page);
    unreadable->setObjectName(QStringLiteral("unreadable"));
    unreadable->setMaximumHeight(110);
    chipTitle = new QLabel(
        QStringLiteral("マイクロチップの期限（過ぎたもの、%1 日以内のもの）").arg(ChipNoticeDays), page);
    chipDeadlines = new QListWidget(page);
    chipDeadlines->setObjectName(QStringLiteral("chipDeadlines"));
    chipDeadlines->setMaximumHeight(110);
    chipDeadlines->setUniformItemSizes(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(noCarePlans);
    layout->addWidget(due, 1);
    layout->addWidget(unreadableTitle);
    layout->addWidget(unreadable);
    layout->addWidget(chipTitle);
    layout->addWidget(chipDeadlines);
    return page;
}

void ShopOverview::showStock()
{
    stockShown = stockNow(animals, today, {ageLimit->value(), stockLimit->value()});
    stockSummaryLabel->setText(stockSummary(stockShown));
    // The three tips, made once and shared by the rows.
    const QString pastAge = QStringLiteral("日齢が %1 日を超えています").arg(ageLimit->value());
    const QString pastStock = QStringLiteral("在庫が %1 日を超えています").arg(stockLimit->value());
    const QString pastBoth = pastAge + QStringLiteral("、") + pastStock;
    QList<RowsModel::Row> rows = plainRows(stockRows(stockShown));
    for (int row = 0; row < stockShown.animals.size(); ++row) {
        const StockAnimal& animal = stockShown.animals[row];
        if (animal.pastAge || animal.pastStock) {
            rows[row].ground = PastLimit;
            rows[row].tip = animal.pastAge && animal.pastStock ? pastBoth
                            : animal.pastAge                   ? pastAge
                                                               : pastStock;
        }
    }
    stockModel->setRows(std::move(rows));
    // The rows come in number order; another order the user chose is kept.
    const QHeaderView* header = stock->horizontalHeader();
    if (header->sortIndicatorSection() != 0 || header->sortIndicatorOrder() != Qt::AscendingOrder)
        stockModel->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    stock->resizeColumnsToContents();

    breeds->setRowCount(int(stockShown.byKind.size()));
    int row = 0;
    for (auto kind = stockShown.byKind.cbegin(); kind != stockShown.byKind.cend(); ++kind, ++row) {
        breeds->setItem(row, 0, new QTableWidgetItem(kind.key()));
        auto* count = new QTableWidgetItem(QString::number(*kind));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        breeds->setItem(row, 1, count);
    }
}

void ShopOverview::showMonths()
{
    const int year = period->currentData().toInt();
    const QDate first = year > 0 ? QDate(year, 1, 1) : today.addMonths(-11);
    monthsShown = monthFigures(animals, first, 12);
    monthModel->setRows(plainRows(monthRows(monthsShown)));
    showPlot(salesChart, Plot::Sales, monthsShown);
    showPlot(stockChart, Plot::Stock, monthsShown);
}

void ShopOverview::showCare()
{
    noCarePlans->setVisible(!carePlanned);
    QList<RowsModel::Row> rows = plainRows(dueRows(careShown));
    for (int row = 0; row < careShown.due.size(); ++row) {
        if (careShown.due[row].overdue) {
            rows[row].text = Overdue;
            rows[row].tip = QStringLiteral("期限切れ");
        }
    }
    dueModel->setRows(std::move(rows));
    due->resizeColumnsToContents();
    const QStringList lines = unreadableLines(careShown);
    unreadable->clear();
    unreadable->addItems(lines);
    unreadableTitle->setVisible(!lines.isEmpty());
    unreadable->setVisible(!lines.isEmpty());
    // Put in as one insertion: item by item, each one relaid the list, which on a full shop holds tens
    // of thousands of notices.
    QStringList notices;
    for (const ChipNotice& notice : chipShown)
        notices.append(chipNoticeText(notice));
    chipDeadlines->clear();
    chipDeadlines->addItems(notices);
    for (int row = 0; row < chipShown.size(); ++row) {
        if (chipShown[row].daysLeft < 0)
            chipDeadlines->item(row)->setForeground(Overdue);
    }
    chipTitle->setVisible(!chipShown.isEmpty());
    chipDeadlines->setVisible(!chipShown.isEmpty());
}

void ShopOverview::saveLimits()
{
    const StockLimits limits{ageLimit->value(), stockLimit->value()};
    if (reportFailures(messages, this, [&] { settings.saveStockLimits(limits); })) {
        savedLimits = limits;
    } else {
        // The marks stay as they are kept.
        const QSignalBlocker ageBlocked(ageLimit);
        const QSignalBlocker stockBlocked(stockLimit);
        ageLimit->setValue(savedLimits.ageDays);
        stockLimit->setValue(savedLimits.stockDays);
    }
    showStock();
}

void ShopOverview::choose(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    emit chartChosen(index.sibling(index.row(), 0).data().toInt());
}

QString ShopOverview::title() const
{
    return QStringLiteral("お店の状況　%1").arg(today.toString(QStringLiteral("yyyy/MM/dd")));
}

void ShopOverview::paint(QPagedPaintDevice& device) const
{
    TableDocument document;
    document.title = title();
    document.tables = {
        {QStringLiteral("在庫　%1").arg(stockSummary(stockShown)),
         stockColumns(),
         {1, 4, 1.5, 1.5, 1.2, 1.2, 2.5},
         stockRows(stockShown)},
        {QStringLiteral("月別　%1").arg(periodText(monthsShown)),
         monthColumns(),
         {1.5, 1, 1, 1.3, 1.6, 2, 1.6, 1.3, 1.4, 1.2},
         monthRows(monthsShown)},
        {QStringLiteral("ケアの予定"), dueColumns(), {1, 2.5, 1.5, 2.5, 3, 1.2}, dueRows(careShown)},
    };
    const QStringList lines = unreadableLines(careShown);
    if (!lines.isEmpty()) {
        QList<QStringList> rows;
        for (const QString& line : lines)
            rows.append({line});
        document.tables.append({QString(), {QStringLiteral("日付が読めない投薬履歴")}, {1}, rows});
    }
    if (!chipShown.isEmpty()) {
        QList<QStringList> rows;
        for (const ChipNotice& notice : chipShown)
            rows.append({chipNoticeText(notice)});
        document.tables.append({QString(), {chipTitle->text()}, {1}, rows});
    }
    const QList<MonthFigures> shown = monthsShown;
    document.pages = {[shown](QPainter& painter, const QRectF& area) {
        const QRectF upper(area.topLeft(), QSizeF(area.width(), area.height() / 2));
        paintPlot(painter, upper, Plot::Sales, shown);
        paintPlot(painter, upper.translated(0, area.height() / 2), Plot::Stock, shown);
    }};
    paintTableDocument(document, device);
}

void ShopOverview::print()
{
    reportFailures(messages, this, [&] {
        printer.printDocument(title(), [&](QPagedPaintDevice& device, const QString&) { paint(device); });
    });
}

void ShopOverview::saveAsPdf()
{
    const QString path = files.saveForOtherPrograms(
        this, QStringLiteral("PDFに保存"),
        QStringLiteral("お店の状況_%1.pdf").arg(today.toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    reportFailures(messages, this, [&] {
        writePdf(path, title(), [&](QPagedPaintDevice& device, const QString&) { paint(device); });
    });
}

void ShopOverview::saveAsCsv()
{
    const QString path = files.saveForOtherPrograms(
        this, QStringLiteral("CSVに書き出す"),
        QStringLiteral("お店の状況_%1.csv").arg(today.toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return;
    reportFailures(messages, this, [&] {
        Csv::save(path, overviewCsvRows(stockShown, monthsShown, careShown), {0, 1, 2, 3, 4, 5, 6, 7, 9});
    });
}
