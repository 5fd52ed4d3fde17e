#pragma once

#include "app/ScreenWindow.h"

#include <QString>
#include <QStringList>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Form4: the master-data screen, where the user keeps the nine pick lists and the shop's details.
// Every change to a pick list reaches its file at once; the shop details are saved when the
// screen closes.
class MasterDataScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit MasterDataScreen(ScreenContext& context);
    ~MasterDataScreen() override;

    void load() override;

protected:
    bool unload() override;

private:
    // One pick list: its file and the controls that edit it. The list box is the only copy of
    // the list in memory.
    struct PickListGroup
    {
        QString fileName;
        bool sorted = false;
        QLabel* label = nullptr;
        QLineEdit* input = nullptr;
        QPushButton* registerButton = nullptr;
        QPushButton* deleteButton = nullptr;
        QListWidget* list = nullptr;
    };

    void buildLayout();
    void buildGroups();
    void buildShopDetails();
    void setFocusOrder();

    void registerItem(PickListGroup& group);
    void deleteSelectedItem(PickListGroup& group);
    void closeAndShowStartScreen();
    void editCarePlans();

    void showItems(PickListGroup& group, const QStringList& items);
    void saveShopDetails();
    // Text10 .. Text13, in the order of the settings keys myd1 .. myd4.
    std::array<QLineEdit*, 4> shopBoxes() const;

    std::array<PickListGroup, 9> groups;
    // Set while "OK" closes the screen; it shows the start screen itself.
    bool closingByCommand = false;

    QFrame* Shape1;
    QLabel* Label10;
    QLineEdit* Text10;
    QLabel* Label11;
    QLineEdit* Text11;
    QLabel* Label12;
    QLineEdit* Text12;
    QLabel* Label13;
    QLineEdit* Text13;
    QPushButton* Command19;
    // The medications' care intervals, kept in soranika.db.
    QPushButton* careIntervals;
};
