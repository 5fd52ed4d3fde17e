#pragma once

#include "sale/RecordBook.h"

#include <QDialog>

class FileDialogs;
class MessageBoxes;
class ShopDatabase;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// 帳簿を作成: the period, how many dogs and cats it holds and which of their items are missing, and how
// many kinds of other animals; OK asks where to save and writes the book as CSV and, beside it, as PDF.
class RecordBookDialog : public QDialog
{
    Q_OBJECT
public:
    RecordBookDialog(std::vector<PetRecord> records, QList<AnimalOutcome> outcomes,
                     QMap<qint32, ChartSale> chartSales, QMap<QString, Species> species,
                     ShopDatabase& database, MessageBoxes& messages, FileDialogs& files, const QDate& today,
                     QWidget* parent);

    void accept() override;

private:
    void buildLayout();
    RecordBook typedBook() const;
    QList<QStringList> otherRows(const RecordBook& book) const;
    void showSummary();
    QList<AnimalOutcome> expiredStays() const;
    void removeExpiredStays();

    std::vector<PetRecord> records;
    QList<AnimalOutcome> outcomes;
    QMap<qint32, ChartSale> chartSales;
    QMap<QString, Species> species;
    ShopDatabase& database;
    MessageBoxes& messages;
    FileDialogs& files;
    QDate today;

    QLineEdit* from;
    QLineEdit* to;
    QLabel* summary;
    QDialogButtonBox* buttonBox;
    QPushButton* removeExpired;
};
