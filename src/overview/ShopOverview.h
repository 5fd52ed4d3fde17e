#pragma once

#include "overview/ShopFigures.h"
#include "sale/ChipDeadlines.h"

#include <QDate>
#include <QDialog>

#include <vector>

class FileDialogs;
class MessageBoxes;
class Printer;
class QPagedPaintDevice;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class QTabWidget;
class QTableWidget;
class RowsModel;

// お店の状況: the animals in stock and how long they have been kept, the months' purchases, sales and
// margin with their plots, and the care and microchip duties that are due. An ordinary window that stays
// open beside the chart: a double-click on an animal asks for its chart, and the window is shown again
// with new data when the shop's data change. Everything can be printed, saved as PDF and written as CSV.
class ShopOverview : public QDialog
{
    Q_OBJECT
public:
    ShopOverview(std::vector<PetRecord> records, const QList<AnimalOutcome>& outcomes,
                 const QMap<QString, Species>& species, const QMap<qint32, ChartSale>& chartSales,
                 const CarePlans& settings, MessageBoxes& messages, Printer& printer, FileDialogs& files,
                 const QDate& today, QWidget* parent);

    // Shows the shop anew from what the files now hold; the tab, the period and the order chosen stay.
    void showShop(std::vector<PetRecord> records, const QList<AnimalOutcome>& outcomes,
                  const QMap<QString, Species>& species, const QMap<qint32, ChartSale>& chartSales,
                  const QDate& today);
    // Brings ケアの予定 to the front.
    void showCarePlan();

signals:
    // A double-click on an animal.
    void chartChosen(qint32 number);
    // The button under 「ケアの間隔が登録されていません。」.
    void carePlansWanted();

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
    CarePlans settings;
    MessageBoxes& messages;
    Printer& printer;
    FileDialogs& files;
    QDate today;
    StockLimits savedLimits;
    StockFigures stockShown;
    QList<MonthFigures> monthsShown;
    CareFigures careShown;
    QList<ChipNotice> chipShown;
    bool carePlanned = false;

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
    QTabWidget* tabs;
    QWidget* noCarePlans;
    RowsModel* dueModel;
    QTableView* due;
    QLabel* unreadableTitle;
    QListWidget* unreadable;
    QLabel* chipTitle;
    QListWidget* chipDeadlines;
};
