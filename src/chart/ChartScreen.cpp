#include "chart/ChartScreen.h"

#include "app/HelpPage.h"
#include "app/ScreenRegistry.h"
#include "app/VersionInfo.h"
#include "backup/BackupService.h"
#include "chart/ChartMenuBar.h"
#include "chart/ChartPrinting.h"
#include "chart/ChartStatusBar.h"
#include "editor/EditorOpening.h"
#include "overview/OverviewMenu.h"
#include "platform/ActivationWatcher.h"
#include "platform/Clock.h"
#include "platform/InputMethod.h"
#include "sale/TypedSale.h"
#include "store/DisplayText.h"
#include "store/Numbers.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "store/ShopSettings.h"
#include "widgets/Controls.h"
#include "widgets/FailureReport.h"
#include "widgets/FieldWidth.h"
#include "widgets/Look.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <span>
#include <utility>

namespace {

QLabel* valueLabel(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    QLabel* label = newLabel(parent, name, QString(), left, top, width, height);
    setColours(label, Colours::Black, Colours::White);
    return label;
}

// Long texts are shown from their beginning, not scrolled to their end.
void showText(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

} // namespace

ChartScreen::ChartScreen(ScreenContext& context) : ScreenWindow(context), Timer1(new QTimer(this))
{
    buildLayout();
    connect(&ActivationWatcher::instance(), &ActivationWatcher::activated, this, &ChartScreen::becameActive);
    connect(Timer1, &QTimer::timeout, this, &ChartScreen::tick);
    connect(Text1, &QLineEdit::returnPressed, this, &ChartScreen::showTypedRecord);
    connect(Text1, &QLineEdit::editingFinished, this, &ChartScreen::recordNumberLeft);
    connect(Command1, &QPushButton::clicked, this, &ChartScreen::openEditor);
    connect(Command2, &QPushButton::clicked, this, &ChartScreen::openMasterData);
    connect(Command3, &QPushButton::clicked, menus->printing, &ChartPrinting::print);
    connect(Command4, &QPushButton::clicked, this, &ChartScreen::quit);
    connect(Command5, &QPushButton::clicked, this, &ChartScreen::previousRecord);
    connect(Command6, &QPushButton::clicked, this, &ChartScreen::nextRecord);
    connect(Command7, &QPushButton::clicked, this, &ChartScreen::saveTradingFields);
    connect(Command8, &QPushButton::clicked, this, &ChartScreen::openHelp);
    connect(Command9, &QPushButton::clicked, this, &ChartScreen::newEntry);
    connect(menus->actQuit, &QAction::triggered, this, &ChartScreen::quit);
    connect(menus->actNewEntry, &QAction::triggered, this, &ChartScreen::newEntry);
    connect(menus->actHelp, &QAction::triggered, this, &ChartScreen::openHelp);
    connect(menus->actAbout, &QAction::triggered, this, &ChartScreen::showAbout);
    for (QLineEdit* box : {Text3, Text4, Text5, Text6, Text7}) {
        box->installEventFilter(this);
        // The first keystroke a box refuses says in the status line what the box holds.
        connect(static_cast<const FieldWidthValidator*>(box->validator()), &FieldWidthValidator::refused,
                this, [this](const QString& message) { showStatus(message, QString()); });
    }
}

ChartScreen::~ChartScreen()
{
    disconnectControls();
}

void ChartScreen::buildLayout()
{
    setObjectName(QStringLiteral("Form2"));
    makeFixedDialog(this, QStringLiteral("カルテ"));
    setWindowGround(this, Colours::PaleGrey);
    setFont(gothicFont(9));
    // The controls keep their places in the client area; the menu bar sits above it and the window
    // grows by the bar's height.
    client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    fixClientAreaTwips(client, 10530, 7410);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    menus = new ChartMenuBar(context, *this, this);
    frame->setMenuBar(menus);
    frame->addWidget(client);
    statusBar = new ChartStatusBar(menus->overview->careNotice, this);
    frame->addWidget(statusBar);

    Label25 = newLabel(client, QStringLiteral("Label25"), QString(), 180, 180, 2835, 315);
    Label25->setFont(gothicFont(11.25, true));
    setColours(Label25, Colours::Green, Colours::Blue);

    Command1 =
        newButton(client, QStringLiteral("Command1"), QStringLiteral("データ入力"), 3780, 240, 1335, 375);
    Command2 =
        newButton(client, QStringLiteral("Command2"), QStringLiteral("各種データ登録"), 5160, 240, 1335, 375);
    Command3 =
        newButton(client, QStringLiteral("Command3"), QStringLiteral("データプリント"), 6540, 240, 1335, 375);
    Command4 = newButton(client, QStringLiteral("Command4"), QStringLiteral("終了"), 7920, 240, 1275, 375);
    Command8 = newButton(client, QStringLiteral("Command8"), QStringLiteral("home"), 9240, 240, 1155, 375);
    Command8->setToolTip(QStringLiteral("製作者のホームページに飛びます。"));

    Command5 = newButton(client, QStringLiteral("Command5"), QStringLiteral("＜"), 120, 780, 615, 315);
    Text1 = newBox(client, QStringLiteral("Text1"), 780, 780, 675, 315);
    Text1->setText(QStringLiteral("1"));
    Text1->setFont(gothicFont(9, true));
    Text1->setAlignment(Qt::AlignCenter);
    setGround(Text1, Colours::Cyan);
    Command6 = newButton(client, QStringLiteral("Command6"), QStringLiteral("＞"), 1500, 780, 675, 315);
    Command9 = newButton(client, QStringLiteral("Command9"), QStringLiteral("新規入力"), 2340, 780, 975, 315);

    buildFieldAreas();
    buildShopLines();

    Timer1->setObjectName(QStringLiteral("Timer1"));
    // The first control to take the keyboard is a command, never a trading box: focus in one of
    // those starts direct entry.
    Command1->setFocus();
}

void ChartScreen::buildFieldAreas()
{
    // The frames lie beneath the controls they surround.
    Shape2 = newShape(client, QStringLiteral("Shape2"), Colours::Blue, 2, 180, 3780, 4095, 1875);
    Shape1 = newShape(client, QStringLiteral("Shape1"), Colours::Red, 2, 4860, 3780, 5475, 2175);
    Label8 = newLabel(client, QStringLiteral("Label8"), QStringLiteral("投薬履歴"), 1080, 3660, 1875, 315);
    setColours(Label8, Colours::White, Colours::Blue);

    const std::span<const ChartFieldRow> rows = fieldRows();
    const auto trading = std::find_if(rows.begin(), rows.end(), [](const ChartFieldRow& row) {
        return row.look == ChartLook::TradingHeading;
    });
    for (auto row = rows.begin(); row != trading; ++row)
        buildRow(*row);
    // The tick box comes between the memo lines and the trading boxes in the keyboard's order.
    Check1 = new QCheckBox(QStringLiteral("　この部分もプリントする　(　直接入力項目　）"), client);
    Check1->setObjectName(QStringLiteral("Check1"));
    placeTwips(Check1, 5400, 3660, 3795, 315);
    setColours(Check1, Colours::White, Colours::Red);
    narrowToFit(Check1, Check1->text());
    // The tick box itself stays white on the red ground.
    QPalette palette = Check1->palette();
    palette.setColor(QPalette::Base, Colours::White);
    palette.setColor(QPalette::Text, Colours::Black);
    Check1->setPalette(palette);
    for (auto row = trading; row != rows.end(); ++row)
        buildRow(*row);

    Command7 = newButton(client, QStringLiteral("Command7"), QStringLiteral("保存"), 9300, 4020, 795, 315);
    setGround(Command7, Colours::LightGrey);
    Command7->hide();
    // A button's shortcut works only while it is shown: Ctrl+S saves in direct entry and nowhere else.
    Command7->setShortcut(QKeySequence::Save);
}

// Makes the label or box of `row` as its look says, in the member that holds it.
void ChartScreen::buildRow(const ChartFieldRow& row)
{
    const QString name = QString::fromLatin1(row.name);
    const TwipsRect& r = row.rect;
    if (row.label) {
        QLabel* label =
            newLabel(client, name, QString::fromUtf8(row.caption), r.left, r.top, r.width, r.height);
        if (row.look == ChartLook::Heading)
            setColours(label, Colours::Black, Colours::LightGreen);
        else if (row.look == ChartLook::TradingHeading)
            setColours(label, Colours::White, Colours::Red);
        else
            setColours(label, Colours::Black, Colours::White);
        this->*row.label = label;
        return;
    }
    QLineEdit* box = newBox(client, name, r.left, r.top, r.width, r.height);
    if (row.look == ChartLook::Memo) {
        box->setReadOnly(true);
        // Display only, yet white like the other boxes.
        setGround(box, Colours::White);
    } else {
        setHiraganaInput(box);
        limitToField(box, int(sizeof(PetRecord::Supplier)), QString::fromUtf8(row.caption));
    }
    this->*row.box = box;
}

// Fills the control of `row` with its field of `record`.
void ChartScreen::showRow(const ChartFieldRow& row, const PetRecord& record)
{
    if (row.label)
        (this->*row.label)->setText(row.shown(record));
    else
        showText(this->*row.box, row.shown(record));
}

void ChartScreen::buildShopLines()
{
    Label21 = valueLabel(client, QStringLiteral("Label21"), 180, 6180, 4035, 315);
    Label22 = valueLabel(client, QStringLiteral("Label22"), 4260, 6180, 1935, 315);
    Label23 = valueLabel(client, QStringLiteral("Label23"), 180, 6540, 8415, 315);
    Label24 = valueLabel(client, QStringLiteral("Label24"), 180, 6900, 8475, 315);
}

void ChartScreen::load()
{
    // The chart still opens when its record cannot be read; the user is told why it is empty.
    // The shop lines are read apart, so that a settings file that cannot be read still leaves the
    // record shown, and the other way round.
    loadFailure = failureOf([&] { showChart(shownNumber); });
    if (!loadFailure)
        loadFailure = failureOf([&] { showShopLines(); });
    if (loadFailure)
        showFailure(context.messages, this, *loadFailure);
    showClock();
    Timer1->start(1000);
    // A daily backup that failed is told here once, quietly, without a box over the chart.
    // Counting the care that is due reads every chart: it waits until the chart is on the screen.
    QTimer::singleShot(0, menus->overview, &OverviewMenu::showCareNotice);
    statusBar->showNotice(std::exchange(context.startNotice, QString()));
    statusBar->showNotice(context.backups.takeDailyBackupFailure());
    connect(&context.backups, &BackupService::dailyBackupFailed, this,
            [this] { statusBar->showNotice(context.backups.takeDailyBackupFailure()); });
}

bool ChartScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Only the five trading boxes are watched: the focus entering one starts direct entry, Esc in one
    // gives it up.
    if (event->type() == QEvent::FocusIn)
        setDirectEntryMode(true);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        inDirectEntryMode()) {
        leaveDirectEntryWithoutSaving();
        return true;
    }
    return ScreenWindow::eventFilter(watched, event);
}

void ChartScreen::becameActive(QWidget* window)
{
    // A late word about a window that has since been hidden (the editor opened) is no activation.
    if (window != this || isHidden())
        return;
    const std::optional<QString> reportedByLoad = std::exchange(loadFailure, std::nullopt);
    // The editor or another screen may have changed the record while this one was in the back;
    // typed trading values waiting to be saved are not read over.
    const std::optional<QString> failure = failureOf([&] {
        if (!inDirectEntryMode())
            showChart(shownNumber);
        showShopLines();
    });
    if (failure && failure != reportedByLoad)
        showFailure(context.messages, this, *failure);
    // The editor or the master data may have changed the charts or the care plans. Counting the care
    // reads every chart: it waits until the chart is on the screen, and is done again only when a file
    // changed.
    QTimer::singleShot(0, menus->overview, &OverviewMenu::shopDataMayHaveChanged);
}

void ChartScreen::tick()
{
    showClock();
    QFont font = Command7->font();
    font.setBold(!font.bold());
    Command7->setFont(font);
}

void ChartScreen::recordNumberLeft()
{
    // Enter has already shown the record; leaving the box only counts after an edit, and not when
    // the box loses the focus because the window goes.
    if (!isHidden() && Text1->text() != Numbers::formatInteger(shownNumber))
        showTypedRecord();
}

void ChartScreen::previousRecord()
{
    if (!applyTypedRecordNumber())
        return;
    // Below record 1 there is nothing to read: the box stays at 1 and the display as it was.
    if (shownNumber <= 1)
        return;
    reportFailures(context.messages, this, [&] { showChart(shownNumber - 1); });
}

void ChartScreen::nextRecord()
{
    if (!applyTypedRecordNumber())
        return;
    // Kind, sex and coat colour all empty: the end of the data.
    if (Label2->text().isEmpty() && Label3->text().isEmpty() && Label4->text().isEmpty())
        return;
    reportFailures(context.messages, this, [&] { showChart(shownNumber + 1); });
}

void ChartScreen::newEntry()
{
    if (!applyTypedRecordNumber() || Label2->text().isEmpty())
        return; // the shown record is already free
    RecordFile& records = context.records;
    const PetRecord shown = records.CurrentRecord;
    // One record read per step, each opening and closing the file, until a free record is met. Nothing
    // is painted before the search ends, so the controls are filled once, with the record it found; a
    // search that breaks off leaves them showing the record they showed.
    const bool found = reportFailures(context.messages, this, [&] {
        const RecordFile::ReadPass pass(records);
        qint32 number = shownNumber;
        do {
            ++number;
            records.LoadRecord(number);
        } while (!isFreeRecord(records.CurrentRecord));
        showChart(number);
    });
    // A save must write what the user sees.
    if (!found)
        records.CurrentRecord = shown;
}

void ChartScreen::openEditor()
{
    // The chart stays loaded while the editor is open on the shown record and its history lines. When
    // the editor refuses to open, the chart comes back before the user hears why.
    if (!applyTypedRecordNumber())
        return;
    EditorOpening opening{
        shownNumber,
        {Label9->text(), Label10->text(), Label11->text(), Label12->text(), Label13->text()},
        [chart = QPointer<ChartScreen>(this)](qint32 stored) {
            if (chart)
                chart->showRecordNumber(stored);
        }};
    reportFailures(context.messages, this, [&] {
        context.registry.moveTo(ScreenName::Form2, ScreenRegistry::Leave::Hide, ScreenName::Form3,
                                std::move(opening));
    });
}

void ChartScreen::openMasterData()
{
    if (!applyTypedRecordNumber())
        return;
    reportFailures(context.messages, this, [&] {
        context.registry.moveTo(ScreenName::Form2, ScreenRegistry::Leave::Unload, ScreenName::Form4);
    });
}

void ChartScreen::quit()
{
    if (!applyTypedRecordNumber())
        return;
    const auto answer =
        context.messages.ask(this, QStringLiteral("終了しますか？"), QStringLiteral("終了確認"),
                             MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::None);
    if (answer == MessageBoxes::Answer::Ok)
        context.registry.endProgram();
}

void ChartScreen::openHelp()
{
    if (!applyTypedRecordNumber())
        return;
    context.registry.openHelp(HelpPageAddress);
}

void ChartScreen::showAbout()
{
    // The ZIP library's version comes from its module, which a damaged installation may lack.
    reportFailures(context.messages, this, [&] {
        context.messages.ask(this, versionInfoText(), QStringLiteral("バージョン情報"),
                             MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    });
}

void ChartScreen::saveTradingFields()
{
    if (applyTypedRecordNumber())
        storeTradingFields();
}

bool ChartScreen::storeTradingFields()
{
    PetRecord saved = context.records.CurrentRecord;
    copyTradingBoxesInto(saved);
    // A refused save keeps the typed values in their boxes and direct entry on, for another try; a typed
    // 販売日 that is refused gets the focus back.
    bool stored = false;
    const bool refused = !reportFailures(context.messages, this, [&] {
        stored = ::storeTradingFields(context.records, context.database, context.messages, this, shownNumber,
                                      saved);
    });
    if (refused)
        Text7->setFocus();
    if (!stored)
        return false;
    shopDataChanged();
    // The save button is about to hide; the focus must not land in a trading box, which would start
    // direct entry again.
    Text1->setFocus();
    setDirectEntryMode(false);
    return true;
}

// The close box would end the program; typed trading values are saved, given up or kept as the shop says.
bool ChartScreen::unload()
{
    if (!inDirectEntryMode())
        return true;
    const auto answer =
        context.messages.ask(this, QStringLiteral("保存していない入力があります。保存してから終了しますか？"),
                             QStringLiteral("終了確認"), MessageBoxes::Buttons::YesNoCancel,
                             MessageBoxes::Icon::Warning, MessageBoxes::Answer::Cancel);
    if (answer == MessageBoxes::Answer::Yes)
        return storeTradingFields();
    return answer == MessageBoxes::Answer::No;
}

void ChartScreen::leaveDirectEntryWithoutSaving()
{
    showTradingFields(context.records.CurrentRecord);
    // Out of the trading boxes, so that the next click into one starts direct entry again.
    Text1->setFocus();
    setDirectEntryMode(false);
}

bool ChartScreen::refusedInDirectEntry(const QString& step)
{
    if (!inDirectEntryMode())
        return false;
    showFailure(
        context.messages, this,
        QStringLiteral("保存していない入力があります。「保存」するか Esc で取り消してから、%1してください。")
            .arg(step));
    return true;
}

QWidget* ChartScreen::chartWindow()
{
    return this;
}

qint32 ChartScreen::shownRecord() const
{
    return shownNumber;
}

void ChartScreen::chooseChart(qint32 number)
{
    Text1->setText(QString::number(number));
    showTypedRecord();
}

void ChartScreen::showStatus(const QString& text, const QString& tip)
{
    statusBar->showStatus(text, tip);
}

void ChartScreen::showStatusBar()
{
    statusBar->fit();
}

void ChartScreen::shopDataChanged()
{
    menus->overview->shopDataChanged();
}

void ChartScreen::showChart(qint32 number)
{
    RecordFile& records = context.records;
    records.LoadRecord(number);
    showRecordNumber(number);
    for (const ChartFieldRow& row : fieldRows()) {
        if (row.shown && !row.store)
            showRow(row, records.CurrentRecord);
    }
    showTradingFields(records.CurrentRecord);
}

void ChartScreen::showTradingFields(const PetRecord& record)
{
    for (const ChartFieldRow& row : fieldRows()) {
        if (row.store)
            showRow(row, record);
    }
}

void ChartScreen::showRecordNumber(qint32 number)
{
    shownNumber = number;
    Text1->setText(Numbers::formatInteger(number));
}

void ChartScreen::showShopLines()
{
    QLabel* const lines[] = {Label21, Label22, Label23, Label24};
    for (int i = 0; i < 4; ++i)
        lines[i]->setText(ShopSettings::get(ShopSettings::Keys[i]));
}

void ChartScreen::showClock()
{
    Label25->setText(dateTimeText(context.clock.now()));
}

bool ChartScreen::showTypedRecord()
{
    const QString typed = Text1->text();
    // The box holds the shown number until the typed record is on screen, also while a message
    // about a refused number is up.
    Text1->setText(Numbers::formatInteger(shownNumber));
    return reportFailures(context.messages, this, [&] {
        // Another record shown now would leave the typed trading values behind, and a save after it
        // would store them there.
        if (inDirectEntryMode())
            throw Failure(QStringLiteral("保存していない入力があります。「保存」するか Esc で取り消してから、"
                                         "カルテを移ってください。"));
        // Numbers past the last record a file can hold are refused too: nothing could be stored there.
        if (!isValidRecordNumber(typed))
            throw Failure::badRecordNumber();
        showChart(readRecordNumber(typed));
    });
}

// A number typed into the record number box counts before any command runs, exactly as leaving the
// box would, so that a command never meets a box and a display that disagree. False when the
// number was refused: the command then does not run.
bool ChartScreen::applyTypedRecordNumber()
{
    return Text1->text() == Numbers::formatInteger(shownNumber) || showTypedRecord();
}

void ChartScreen::copyTradingBoxesInto(PetRecord& record) const
{
    for (const ChartFieldRow& row : fieldRows()) {
        if (row.store)
            row.store(record, (this->*row.box)->text());
    }
}

void ChartScreen::setDirectEntryMode(bool on)
{
    // New entry would show another record over the typed values, so it waits for the save too.
    for (QPushButton* command : {Command1, Command2, Command3, Command4, Command5, Command6, Command9})
        command->setEnabled(!on);
    // The menus' commands would leave the typed values behind just the same; help stays, like "home".
    for (QMenu* menu : {menus->fileMenu, menus->chartMenu, menus->dataMenu}) {
        menu->menuAction()->setEnabled(!on);
        for (QAction* command : menu->actions())
            command->setEnabled(!on);
    }
    Command7->setVisible(on);
}

bool ChartScreen::inDirectEntryMode() const
{
    return !Command7->isHidden();
}
