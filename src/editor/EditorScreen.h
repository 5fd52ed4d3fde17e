#pragma once

#include "app/ScreenWindow.h"
#include "editor/EditorFields.h"
#include "editor/EditorOpening.h"
#include "store/PetRecord.h"

#include <QStringList>

#include <map>
#include <span>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Form3: the record editor. It edits the record it is opened on (an EditorOpening handed to it through
// the screen registry); every way out of it but Esc stores the record under that number, and every way
// returns to the chart screen.
class EditorScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit EditorScreen(ScreenContext& context);
    ~EditorScreen() override;

    void load() override;

    // The combos and boxes that hold a record field: they build their part of the layout, show a record
    // and read it back.
    static std::span<const EditorFieldRow> fieldRows();

protected:
    bool unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void buildRow(const EditorFieldRow& row);
    void limitToFields();
    QString textOf(const EditorFieldRow& row) const;
    QLabel* addTitle(const QString& name, const QString& caption, int left, int top, int width, int height);
    QComboBox* addCombo(const QString& name, const QStringList& items, int left, int top, int width);

    void showHistoryLines();
    void fillPickLists();
    void showRecord(const PetRecord& record);

    void writeFirstHistoryLine();
    void writeHistoryLine(QLineEdit* line);
    QString historyLine() const;

    void deleteData();
    bool hasSaleInformation() const;
    bool deletionConfirmed(bool hasSale);
    void closeAndShowChart();
    void closeWithoutSaving();
    QStringList enteredTexts() const;

    void save();
    void restoreEmptiedWeights();
    PetRecord recordFromControls() const;
    void becomeDialogOfTheChart();

    // The record number, history lines and listener the editor was opened with.
    EditorOpening opening;
    // The record as the load read it: the trading fields, which the editor never shows, go back
    // from here exactly as they came.
    PetRecord loadedRecord{};
    // Set while "ＯＫ" or "データ削除" closes the editor; they show the chart screen themselves.
    bool closingByCommand = false;
    // Set while "データ削除" closes the editor: the chart's sale information is removed with it.
    bool deleting = false;
    // Set while Esc closes the editor: nothing is stored.
    bool discarding = false;
    // What the stored boxes showed once the record was loaded; Esc asks first when they changed.
    QStringList loadedTexts;
    // The weight each weight box held before the user's entry emptied it.
    std::map<const QLineEdit*, QString> weightsBeforeEntry;

    QFrame* Shape1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLabel* Label21;
    QLabel* Label22;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QComboBox* Combo4;
    QComboBox* Combo5;
    QComboBox* Combo6;
    QComboBox* Combo7;
    QComboBox* Combo8;
    QComboBox* Combo9;
    QComboBox* Combo10;
    QComboBox* Combo11;
    QComboBox* Combo12;
    QComboBox* Combo13;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QLineEdit* Text10;
    QLineEdit* Text11;
    QLineEdit* Text12;
    QLineEdit* Text13;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
};
