#pragma once

#include "chartlist/ChartRows.h"

#include <QDate>
#include <QDialog>
#include <QMap>

struct ChartListView;
class ChartListFilter;
class ChartListModel;
class FileDialogs;
class MessageBoxes;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// カルテ一覧: every chart of the record file in a table the user searches and sorts. Enter or a
// double-click on a row closes the list with that chart chosen; Esc closes it with nothing chosen.
class ChartList : public QDialog
{
    Q_OBJECT
public:
    // `microchips`: the microchip numbers of the charts that have one, by record number.
    // `outcomes`: what became of the animals that were sold or left the shop, by record number. The list
    // opens with the search, status and sort of `view` and leaves its own there when it closes.
    ChartList(const QString& recordFileName, const QMap<qint32, QString>& microchips,
              const QMap<qint32, ChartOutcomeFigures>& outcomes, ChartListView& view, MessageBoxes& messages,
              FileDialogs& files, const QDate& today, QWidget* parent);

    // The record number of the chart chosen, once the list was closed with one.
    qint32 chosenRecord() const { return chosen; }

    void done(int result) override;

signals:
    // The shown rows were written as CSV into `path`.
    void csvWritten(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void showView();
    void choose(const QModelIndex& index);
    void showSummary();
    void exportShownRows();

    ChartListView& view;
    MessageBoxes& messages;
    FileDialogs& files;
    QDate today;
    ChartListModel* model;
    ChartListFilter* filter;
    qint32 chosen = 0;

    QLineEdit* filterText;
    QComboBox* filterStatus;
    QTableView* table;
    QLabel* summary;
    QPushButton* exportCsv;
};

// Asks where to save (カルテ一覧_yyyyMMdd.csv in the documents folder to start with) and writes the
// rows as CSV; a failure is shown to the user. The path written, or empty when nothing was written.
QString exportChartsToCsv(const QList<QStringList>& rows, MessageBoxes& messages, FileDialogs& files,
                          const QDate& today, QWidget* parent);

// Every chart of the record file as CSV rows, in record-number order.
QList<QStringList> allChartRows(const QString& recordFileName, const QMap<qint32, QString>& microchips,
                                const QMap<qint32, ChartOutcomeFigures>& outcomes);
