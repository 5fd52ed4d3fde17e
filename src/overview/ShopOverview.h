#pragma once

#include "overview/ShopFigures.h"
#include "sale/ChipDeadlines.h"

#include <QDate>
#include <QDialog>

#include <vector>

class CarePlans;
class FileDialogs;
class MessageBoxes;
class Printer;
class QPagedPaintDevice;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QTableView;
class QTableWidget;
class RowsModel;

// お店の状況: the animals in stock and how long they have been kept, the months' purchases, sales and
// margin with their plots, and the care and microchip duties that are due. A double-click on an animal closes
// the window with its chart chosen. Everything can be printed, saved as PDF and written as CSV.
class ShopOverview : public QDialog
{
    Q_OBJECT
public:
    ShopOverview(std::vector<PetRecord> records, const QList<AnimalOutcome>& outcomes,
                 const QMap<QString, Species>& species, const QMap<qint32, ChartSale>& chartSales,
                 CarePlans& settings, MessageBoxes& messages, Printer& printer, FileDialogs& files,
                 const QDate& today, QWidget* parent);

    // The record number of the chart chosen, once the window was closed with one.
    qint32 chosenRecord() const { return chosen; }

private:
    void buildLayout();
    QWidget* buildStockPage();
    QWidget* buildMonthPage();
    QWidget* buildCarePage();
    void showStock();
    void showMonths();
    void showCare();
    void saveLimits();
    void choose(const QModelIndex& index);
    QString title() const;
    void paint(QPagedPaintDevice& device) const;
    void print();
    void saveAsPdf();
    void saveAsCsv();

    std::vector<PetRecord> records;
    QList<ShopAnimal> animals;
    CarePlans& settings;
    MessageBoxes& messages;
    Printer& printer;
    FileDialogs& files;
    QDate today;
    StockLimits savedLimits;
    StockFigures stockShown;
    QList<MonthFigures> monthsShown;
    CareFigures careShown;
    QList<ChipNotice> chipShown;
    qint32 chosen = 0;

    QSpinBox* ageLimit;
    QSpinBox* stockLimit;
    QLabel* stockSummaryLabel;
    QTableWidget* breeds;
    RowsModel* stockModel;
    QTableView* stock;
    QComboBox* period;
    RowsModel* monthModel;
    QTableView* months;
    QWidget* salesChart;
    QWidget* stockChart;
    RowsModel* dueModel;
    QTableView* due;
    QLabel* unreadableTitle;
    QListWidget* unreadable;
    QLabel* chipTitle;
    QListWidget* chipDeadlines;
};
