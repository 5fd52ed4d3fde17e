#pragma once

#include "sale/YearlyCount.h"
#include "store/SaleStore.h"

#include <QDialog>

class FileDialogs;
class MessageBoxes;
class Printer;
class QLabel;
class QListWidget;
class QSpinBox;
class QTableWidget;

// 定期報告の集計: the dogs and cats of one fiscal year, as the yearly report to the authorities asks
// for them, with a check that the numbers agree and the charts that make them disagree. The counts
// can be printed, saved as PDF and written as CSV.
class YearlyReport : public QDialog
{
    Q_OBJECT
public:
    YearlyReport(std::vector<PetRecord> records, QList<AnimalOutcome> outcomes,
                 QMap<QString, Species> species, DealerInfo dealer, MessageBoxes& messages, Printer& printer,
                 FileDialogs& files, const QDate& today, QWidget* parent);

    // The fiscal year last finished on `today`, by the year of its April.
    static int lastFinishedYear(const QDate& today);

private:
    void buildLayout();
    void showYear();
    QStringList headingLines() const;
    QStringList printLines() const;
    void print();
    void saveAsPdf();
    void saveAsCsv();

    std::vector<PetRecord> records;
    QList<AnimalOutcome> outcomes;
    QMap<QString, Species> species;
    DealerInfo dealer;
    QDate today;
    MessageBoxes& messages;
    Printer& printer;
    FileDialogs& files;
    YearlyCount shown;

    QSpinBox* fiscalYear;
    QLabel* heading;
    QTableWidget* dogs;
    QTableWidget* cats;
    QLabel* check;
    QListWidget* problems;
};
