#include "chartlist/ChartList.h"

#include "chartlist/ChartListFilter.h"
#include "chartlist/ChartListModel.h"
#include "chartlist/ChartListView.h"
#include "store/Csv.h"
#include "store/RecordFile.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QList<QStringList> rowTexts(const QList<ChartRow>& rows)
{
    QList<QStringList> texts;
    texts.reserve(rows.size());
    for (const ChartRow& row : rows)
        texts.append(row.texts);
    return texts;
}

} // namespace

ChartList::ChartList(const QString& recordFileName, const QMap<qint32, QString>& microchips,
                     const QMap<qint32, ChartOutcomeFigures>& outcomes, ChartListView& view,
                     MessageBoxes& messages, FileDialogs& files, const QDate& today, QWidget* parent)
    : QDialog(parent), view(view), messages(messages), files(files), today(today),
      model(new ChartListModel(chartRows(RecordFile(recordFileName).loadAllRecords(), microchips, outcomes),
                               this)),
      filter(new ChartListFilter(this))
{
    filter->setSourceModel(model);
    buildLayout();
    connect(filterText, &QLineEdit::textChanged, this, [this](const QString& text) {
        filter->setSearchText(text);
        showSummary();
    });
    connect(filterStatus, &QComboBox::currentIndexChanged, this, [this](int index) {
        filter->setStatus(ChartListFilter::Status(index));
        showSummary();
    });
    connect(table, &QTableView::doubleClicked, this, &ChartList::choose);
    connect(exportCsv, &QPushButton::clicked, this, &ChartList::exportShownRows);
    showView();
    showSummary();
}

void ChartList::showView()
{
    filterText->setText(view.search);
    filterStatus->setCurrentIndex(qBound(0, view.status, filterStatus->count() - 1));
    const int column = qBound(0, view.sortColumn, ChartRow::ColumnCount - 1);
    table->sortByColumn(column, view.sortOrder);
}

void ChartList::done(int result)
{
    view.search = filterText->text();
    view.status = filterStatus->currentIndex();
    view.sortColumn = table->horizontalHeader()->sortIndicatorSection();
    view.sortOrder = table->horizontalHeader()->sortIndicatorOrder();
    QDialog::done(result);
}

void ChartList::buildLayout()
{
    setObjectName(QStringLiteral("ChartList"));
    setWindowTitle(QStringLiteral("カルテ一覧"));
    setFont(gothicFont(9));
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(qMin(1240, screen.width() - 40), qMin(640, screen.height() - 80));

    filterText = new QLineEdit(this);
    filterText->setObjectName(QStringLiteral("filterText"));
    filterText->setPlaceholderText(QStringLiteral("種類・毛色・仕入先・番号などで検索"));
    filterText->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("検索(&S):"), this);
    searchLabel->setBuddy(filterText);

    filterStatus = new QComboBox(this);
    filterStatus->setObjectName(QStringLiteral("filterStatus"));
    filterStatus->addItems({QStringLiteral("すべて"), QStringLiteral("在庫"), QStringLiteral("販売済")});
    auto* statusLabel = new QLabel(QStringLiteral("状態(&T):"), this);
    statusLabel->setBuddy(filterStatus);

    table = new QTableView(this);
    table->setObjectName(QStringLiteral("table"));
    table->setModel(filter);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->installEventFilter(this);
    // Widths that fit the usual contents; measuring every row would cost seconds on a full file.
    const int widths[ChartRow::ColumnCount] = {50, 150, 60, 100, 90, 80, 90, 120,
                                               90, 100, 90, 130, 60, 90, 90};
    for (int column = 0; column < ChartRow::ColumnCount; ++column)
        table->setColumnWidth(column, widths[column]);

    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));

    exportCsv = new QPushButton(QStringLiteral("CSVに書き出す..."), this);
    exportCsv->setObjectName(QStringLiteral("exportCsv"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter belongs to the table (open the chart) and the search box (nothing), never to a button.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* filters = new QHBoxLayout;
    filters->addWidget(searchLabel);
    filters->addWidget(filterText, 1);
    filters->addSpacing(16);
    filters->addWidget(statusLabel);
    filters->addWidget(filterStatus);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(summary, 1);
    bottom->addWidget(exportCsv);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table, 1);
    layout->addLayout(bottom);
    // From the search straight to its results, then to the status choice.
    QWidget::setTabOrder(filterText, table);
    QWidget::setTabOrder(table, filterStatus);
    QWidget::setTabOrder(filterStatus, exportCsv);
    filterText->installEventFilter(this);
    filterText->setFocus();
}

bool ChartList::eventFilter(QObject* watched, QEvent* event)
{
    // Down in the search box goes on to the rows found.
    if (watched == filterText && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        table->setFocus(Qt::TabFocusReason);
        return true;
    }
    // The table comes into the keyboard's reach on its first row.
    if (watched == table && event->type() == QEvent::FocusIn && !table->currentIndex().isValid() &&
        filter->rowCount() > 0)
        table->setCurrentIndex(filter->index(0, ChartRow::Kind));
    if (watched == table && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table->currentIndex().isValid()) {
            choose(table->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ChartList::choose(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    chosen = index.data(ChartListModel::RecordNumberRole).toInt();
    accept();
}

void ChartList::showSummary()
{
    const ChartListFilter::Summary sum = filter->summary();
    QString text = QStringLiteral("表示 %1 件　在庫 %2 件　在庫の仕入原価 合計 %3 円")
                       .arg(sum.charts)
                       .arg(sum.inStock)
                       .arg(QLocale(QLocale::Japanese, QLocale::Japan).toString(sum.stockCost));
    if (sum.unreadableCosts > 0)
        text += QStringLiteral("（金額として読めない %1 件は合計に含めていません）").arg(sum.unreadableCosts);
    summary->setText(text);
}

void ChartList::exportShownRows()
{
    QList<QStringList> rows;
    for (int row = 0; row < filter->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < ChartRow::ColumnCount; ++column)
            texts.append(filter->index(row, column).data().toString());
        rows.append(texts);
    }
    const QString written = exportChartsToCsv(rows, messages, files, today, this);
    if (!written.isEmpty())
        emit csvWritten(written);
}

QString exportChartsToCsv(const QList<QStringList>& rows, MessageBoxes& messages, FileDialogs& files,
                          const QDate& today, QWidget* parent)
{
    const QString path = files.saveForOtherPrograms(
        parent, QStringLiteral("CSVに書き出す"),
        QStringLiteral("カルテ一覧_%1.csv").arg(today.toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return {};
    const bool written = reportFailures(
        messages, parent, [&] { Csv::save(path, chartCsvRows(rows), chartCsvNumberColumns()); });
    return written ? path : QString();
}

QList<QStringList> allChartRows(const QString& recordFileName, const QMap<qint32, QString>& microchips,
                                const QMap<qint32, ChartOutcomeFigures>& outcomes)
{
    return rowTexts(chartRows(RecordFile(recordFileName).loadAllRecords(), microchips, outcomes));
}
