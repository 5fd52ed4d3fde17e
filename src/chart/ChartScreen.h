#pragma once

#include "app/ScreenWindow.h"
#include "app/ShownChart.h"
#include "chart/ChartFields.h"

#include <QString>

#include <optional>
#include <span>

class ChartMenuBar;
class ChartStatusBar;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
struct PetRecord;

// Form2: the chart of one pet record, the steps between records, the next free record, the
// trading fields typed straight into the chart, and the way to the editor, master data and help. The
// menus place the commands of the features behind them, which reach the chart as a ShownChart.
class ChartScreen : public ScreenWindow, private ShownChart
{
    Q_OBJECT
public:
    explicit ChartScreen(ScreenContext& context);
    ~ChartScreen() override;

    void load() override;

    // The labels and boxes of the record, history, notes and trading areas: they build the layout, show
    // a record and give the trading fields back.
    static std::span<const ChartFieldRow> fieldRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool unload() override;

private:
    void buildLayout();
    void buildFieldAreas();
    void buildRow(const ChartFieldRow& row);
    void buildShopLines();

    // Events.
    void becameActive(QWidget* window);
    void tick();
    void recordNumberLeft();
    void previousRecord();
    void nextRecord();
    void newEntry();
    void openEditor();
    void openMasterData();
    void quit();
    void openHelp();
    void saveTradingFields();
    bool storeTradingFields();
    void leaveDirectEntryWithoutSaving();
    void showAbout();

    // What the menus' commands know of the chart.
    QWidget* chartWindow() override;
    qint32 shownRecord() const override;
    void chooseChart(qint32 number) override;
    bool refusedInDirectEntry(const QString& step) override;
    void showStatus(const QString& text, const QString& tip) override;
    void showStatusBar() override;
    void shopDataChanged() override;

    // Steps.
    void showChart(qint32 number) override;
    void showRecordNumber(qint32 number);
    void showTradingFields(const PetRecord& record);
    void showRow(const ChartFieldRow& row, const PetRecord& record);
    void showShopLines() override;
    void showClock();
    bool showTypedRecord();
    bool applyTypedRecordNumber() override;
    void copyTradingBoxesInto(PetRecord& record) const;
    void setDirectEntryMode(bool on);
    bool inDirectEntryMode() const;

    // The record the display was last filled from; the record number box returns to it when a
    // typed number is refused.
    qint32 shownNumber = 1;
    // Why the load could not show the chart; the activation right after the load does not say it again.
    std::optional<QString> loadFailure;

    QWidget* client;
    ChartMenuBar* menus;
    // Below the client area, with the status line and the overview's care notice.
    ChartStatusBar* statusBar;

    QLabel* Label25;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command8;
    QPushButton* Command5;
    QLineEdit* Text1;
    QPushButton* Command6;
    QPushButton* Command9;

    QLabel* Label1;
    QLabel* Label14;
    QLabel* Label6;
    QLabel* Label15;
    QLabel* Label7;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label2;
    QLabel* Label18;
    QLabel* Label3;
    QLabel* Label19;
    QLabel* Label4;
    QLabel* Label20;
    QLabel* Label5;
    QLabel* Label36;
    QLabel* Label32;
    QLabel* Label38;
    QLabel* Label33;
    QLabel* Label37;
    QLabel* Label34;
    QLabel* Label39;
    QLabel* Label35;

    QFrame* Shape2;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;

    QLabel* Label26;
    QLineEdit* Text2;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QLineEdit* Text10;
    QLineEdit* Text11;
    QLineEdit* Text12;

    QFrame* Shape1;
    QCheckBox* Check1;
    QLabel* Label27;
    QLineEdit* Text3;
    QLabel* Label28;
    QLineEdit* Text4;
    QLabel* Label29;
    QLineEdit* Text5;
    QLabel* Label30;
    QLineEdit* Text6;
    QLabel* Label31;
    QLineEdit* Text7;
    QPushButton* Command7;

    QLabel* Label21;
    QLabel* Label22;
    QLabel* Label23;
    QLabel* Label24;

    QTimer* Timer1;
};
