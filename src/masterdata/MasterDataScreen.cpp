#include "masterdata/MasterDataScreen.h"

#include "app/ScreenRegistry.h"
#include "masterdata/CarePlanDialog.h"
#include "platform/InputMethod.h"
#include "platform/JapaneseOrder.h"
#include "store/CarePlans.h"
#include "store/PetRecord.h"
#include "store/PickListFile.h"
#include "store/ShopDatabase.h"
#include "store/ShopFiles.h"
#include "store/ShopSettings.h"
#include "widgets/Controls.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"
#include "widgets/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <limits>

namespace {

struct ControlLayout
{
    const char* name;
    const char* caption;
    TwipsRect rect;
};

// The nine pick lists in the order the screen handles them, that of ShopFiles::PickLists. Groups 1
// to 4 are the visible two-by-two grid; groups 5 to 9 lie below the client area, out of sight but working
// alike.
struct GroupLayout
{
    bool sorted;
    ControlLayout label;
    ControlLayout registerButton;
    ControlLayout deleteButton;
    ControlLayout input;
    ControlLayout list;
};

constexpr GroupLayout GroupTable[9] = {
    {true,
     {"Label1", "犬種", {120, 1620, 1335, 375}},
     {"Command1", "登録", {2280, 1620, 975, 375}},
     {"Command2", "削除", {3300, 1620, 1035, 375}},
     {"Text1", "", {120, 2040, 4215, 315}},
     {"List1", "", {120, 2340, 4215, 1500}}},
    {true,
     {"Label2", "毛色", {4740, 1620, 1335, 375}},
     {"Command3", "登録", {6900, 1620, 975, 375}},
     {"Command4", "削除", {7920, 1620, 1035, 375}},
     {"Text2", "", {4740, 2040, 4215, 315}},
     {"List2", "", {4740, 2340, 4215, 1500}}},
    {true,
     {"Label3", "担当者", {180, 4020, 1335, 375}},
     {"Command5", "登録", {2340, 4020, 975, 375}},
     {"Command6", "削除", {3360, 4020, 1035, 375}},
     {"Text3", "", {180, 4440, 4215, 315}},
     {"List3", "", {180, 4740, 4215, 1500}}},
    {true,
     {"Label4", "投薬名", {4800, 4020, 1335, 375}},
     {"Command7", "登録", {7020, 4020, 975, 375}},
     {"Command8", "削除", {8040, 4020, 1035, 375}},
     {"Text4", "", {4860, 4440, 4215, 315}},
     {"List4", "", {4860, 4740, 4215, 1500}}},
    {false,
     {"Label5", "Label1体調", {360, 6600, 1635, 375}},
     {"Command9", "Command1", {360, 7020, 735, 315}},
     {"Command10", "Command2", {1200, 7020, 795, 315}},
     {"Text5", "", {360, 7380, 1635, 375}},
     {"List5", "", {360, 7800, 1695, 240}}},
    {false,
     {"Label6", "Label1食欲", {2220, 6600, 1635, 375}},
     {"Command11", "Command1", {2220, 7020, 735, 315}},
     {"Command12", "Command2", {3060, 7020, 795, 315}},
     {"Text6", "", {2220, 7380, 1635, 375}},
     {"List6", "", {2220, 7800, 1695, 240}}},
    {false,
     {"Label7", "Label1うんち", {4080, 6600, 1635, 375}},
     {"Command13", "Command1", {4080, 7020, 735, 315}},
     {"Command14", "Command2", {4920, 7020, 795, 315}},
     {"Text7", "", {4080, 7380, 1635, 375}},
     {"List7", "", {4080, 7800, 1695, 240}}},
    {false,
     {"Label8", "Label1犬種", {5940, 6600, 1635, 375}},
     {"Command15", "Command1", {5940, 7020, 735, 315}},
     {"Command16", "Command2", {6780, 7020, 795, 315}},
     {"Text8", "", {5940, 7380, 1635, 375}},
     {"List8", "", {5940, 7800, 1695, 240}}},
    {false,
     {"Label9", "Label1犬種", {7740, 6600, 1635, 375}},
     {"Command17", "Command1", {7740, 7020, 735, 315}},
     {"Command18", "Command2", {8580, 7020, 795, 315}},
     {"Text9", "", {7740, 7380, 1635, 375}},
     {"List9", "", {7740, 7800, 1695, 240}}},
};

// The record field a pick list's items are stored in, by way of the editor box that offers them.
struct ListField
{
    const QString* fileName;
    const char* title;
    int bytes;
};

constexpr ListField ListFields[] = {
    {&ShopFiles::KindList, "犬種", int(sizeof(PetRecord::Kind))},
    {&ShopFiles::CoatColourList, "毛色", int(sizeof(PetRecord::CoatColour))},
    {&ShopFiles::StaffList, "担当者", int(sizeof(PetRecord::Staff))},
    {&ShopFiles::SiblingsList, "出産数", int(sizeof(PetRecord::Siblings))},
    {&ShopFiles::BirthplaceList, "出生地", int(sizeof(PetRecord::Birthplace))},
};

// An item its field cannot hold would be cut on every chart it goes into: it is refused whole.
void checkFitsItsField(const QString& fileName, const QString& item)
{
    for (const ListField& field : ListFields) {
        if (fileName == *field.fileName && Sjis::encode(item).size() > field.bytes)
            throw Failure(QStringLiteral("%1は全角%2文字（半角%3文字）までです。短くして登録してください。")
                              .arg(QString::fromUtf8(field.title))
                              .arg(field.bytes / 2)
                              .arg(field.bytes));
    }
}

template <typename Control> Control* makeControl(QWidget* parent, const ControlLayout& layout)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(layout.name));
    placeTwips(control, layout.rect);
    return control;
}

QLabel* makeLabel(QWidget* parent, const ControlLayout& layout)
{
    const TwipsRect& r = layout.rect;
    return newLabel(parent, QString::fromUtf8(layout.name), QString::fromUtf8(layout.caption), r.left, r.top,
                    r.width, r.height);
}

QPushButton* makeButton(QWidget* parent, const ControlLayout& layout)
{
    // No button answers Enter or Esc: those keys in a box add nothing and close nothing.
    const TwipsRect& r = layout.rect;
    return newButton(parent, QString::fromUtf8(layout.name), QString::fromUtf8(layout.caption), r.left, r.top,
                     r.width, r.height);
}

QLineEdit* makeTextBox(QWidget* parent, const ControlLayout& layout)
{
    const TwipsRect& r = layout.rect;
    QLineEdit* box = newBox(parent, QString::fromUtf8(layout.name), r.left, r.top, r.width, r.height);
    // The boxes have no length limit; a longer paste would otherwise be cut without a word.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QStringList itemsOf(const QListWidget& list)
{
    QStringList items;
    items.reserve(list.count());
    for (int row = 0; row < list.count(); ++row)
        items.append(list.item(row)->text());
    return items;
}

} // namespace

MasterDataScreen::MasterDataScreen(ScreenContext& context) : ScreenWindow(context)
{
    buildLayout();
    for (PickListGroup& group : groups) {
        connect(group.registerButton, &QPushButton::clicked, this, [this, &group] { registerItem(group); });
        connect(group.input, &QLineEdit::returnPressed, this, [this, &group] { registerItem(group); });
        connect(group.deleteButton, &QPushButton::clicked, this,
                [this, &group] { deleteSelectedItem(group); });
    }
    connect(Command19, &QPushButton::clicked, this, &MasterDataScreen::closeAndShowStartScreen);
    connect(careIntervals, &QPushButton::clicked, this, &MasterDataScreen::editCarePlans);
}

MasterDataScreen::~MasterDataScreen()
{
    disconnectControls();
}

void MasterDataScreen::buildLayout()
{
    setObjectName(QStringLiteral("Form4"));
    makeFixedDialog(this, QStringLiteral("基本データ入力"));
    fixClientAreaTwips(this, 10560, 6525);
    setFont(gothicFont(9));

    // The frame first, so that the rows it encloses lie above it.
    buildShopDetails();
    buildGroups();
    setFocusOrder();
    groups[0].input->setFocus();
}

void MasterDataScreen::buildShopDetails()
{
    Shape1 = newShape(this, QStringLiteral("Shape1"), Colours::Black, 1, 120, 180, 8595, 1275);

    Label10 = makeLabel(this, {"Label10", "屋号", {240, 300, 795, 315}});
    Text10 = makeTextBox(this, {"Text10", "", {1080, 300, 4035, 315}});
    Label11 = makeLabel(this, {"Label11", "ＴＥＬ", {5220, 300, 795, 315}});
    Text11 = makeTextBox(this, {"Text11", "", {6060, 300, 2355, 315}});
    Label12 = makeLabel(this, {"Label12", "住所", {240, 660, 795, 315}});
    Text12 = makeTextBox(this, {"Text12", "", {1080, 660, 6495, 315}});
    Label13 = makeLabel(this, {"Label13", "コメント", {240, 1020, 795, 315}});
    Text13 = makeTextBox(this, {"Text13", "", {1080, 1020, 6555, 315}});
    for (QLabel* label : {Label10, Label11, Label12, Label13})
        setGround(label, Colours::BrightGreen);

    setHiraganaInput(Text10);
    setInputMethodOff(Text11);
    setHiraganaInput(Text12);
    setHiraganaInput(Text13);

    Command19 = makeButton(this, {"Command19", "OK", {9180, 300, 915, 435}});
    // Beside the medication list, in the column of the OK button.
    careIntervals = makeButton(this, {"careIntervals", "ケア間隔...", {9180, 4020, 1260, 375}});
}

void MasterDataScreen::buildGroups()
{
    for (int index = 0; index < int(groups.size()); ++index) {
        const GroupLayout& layout = GroupTable[index];
        PickListGroup& group = groups[index];
        group.fileName = ShopFiles::PickLists[index];
        group.sorted = layout.sorted;
        group.label = makeLabel(this, layout.label);
        group.registerButton = makeButton(this, layout.registerButton);
        group.deleteButton = makeButton(this, layout.deleteButton);
        group.input = makeTextBox(this, layout.input);
        group.list = makeControl<QListWidget>(this, layout.list);
        group.list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    // The four visible groups carry bold green labels.
    for (int index = 0; index < 4; ++index) {
        groups[index].label->setFont(gothicFont(9, true));
        setGround(groups[index].label, Colours::BrightGreen);
    }
}

void MasterDataScreen::setFocusOrder()
{
    QList<QWidget*> order;
    for (const PickListGroup& group : groups)
        order << group.input << group.registerButton << group.deleteButton << group.list;
    order << Command19 << Text10 << Text11 << Text12 << Text13 << careIntervals;
    ::setFocusOrder(order);
}

void MasterDataScreen::editCarePlans()
{
    CarePlans& plans = context.database.carePlans();
    CarePlanDialog dialog(plans, context.messages, itemsOf(*groups[3].list), this);
    const HandlerScope running;
    dialog.exec();
}

std::array<QLineEdit*, 4> MasterDataScreen::shopBoxes() const
{
    return {Text10, Text11, Text12, Text13};
}

void MasterDataScreen::load()
{
    for (const PickListGroup& group : groups)
        PickListFile::ensureExists(group.fileName);
    for (PickListGroup& group : groups)
        showItems(group, PickListFile::readItems(group.fileName));
    for (int index = 0; index < 4; ++index)
        shopBoxes()[index]->setText(ShopSettings::get(ShopSettings::Keys[index]));
}

void MasterDataScreen::registerItem(PickListGroup& group)
{
    // Only the exact empty text is refused; spaces make a valid item.
    const QString item = group.input->text();
    if (item.isEmpty())
        return;
    reportFailures(context.messages, this, [&] {
        checkFitsItsField(group.fileName, item);
        PickListFile::appendItem(group.fileName, item);
        // Read back from the file, so the list shows the item as stored (a character without a
        // Shift_JIS form as "?") and takes its place in a sorted list.
        showItems(group, PickListFile::readItems(group.fileName));
        group.input->clear();
        group.input->setFocus();
    });
}

void MasterDataScreen::deleteSelectedItem(PickListGroup& group)
{
    const QList<QListWidgetItem*> selected = group.list->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = group.list->row(selected.first());
    reportFailures(context.messages, this, [&] {
        QStringList remaining = itemsOf(*group.list);
        remaining.removeAt(row);
        // The file goes first: when it cannot be written, the entry stays in the list just as it
        // stays in the file.
        PickListFile::rewrite(group.fileName, remaining);
        delete group.list->takeItem(row);
        group.list->clearSelection();
        group.list->setCurrentRow(-1);
    });
}

void MasterDataScreen::closeAndShowStartScreen()
{
    reportFailures(context.messages, this, [&] {
        closingByCommand = true;
        const bool closed = context.registry.unload(ScreenName::Form4);
        closingByCommand = false;
        // A refused close (the shop details could not be saved) keeps the user here.
        if (closed)
            context.registry.show(ScreenName::Form1);
    });
}

bool MasterDataScreen::unload()
{
    if (reportFailures(context.messages, this, [&] { saveShopDetails(); }))
        return true;
    // "OK" stays with the typed text; the close box lets the user give it up, so that a settings
    // store that cannot be written never keeps the window open for good.
    return !closingByCommand && confirmDiscard(context.messages, this);
}

void MasterDataScreen::showItems(PickListGroup& group, const QStringList& items)
{
    group.list->clear();
    group.list->addItems(group.sorted ? sortedJapanese(items) : items);
}

void MasterDataScreen::saveShopDetails()
{
    for (int index = 0; index < 4; ++index)
        ShopSettings::save(ShopSettings::Keys[index], shopBoxes()[index]->text());
}
