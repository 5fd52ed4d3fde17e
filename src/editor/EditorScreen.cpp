#include "editor/EditorScreen.h"

#include "app/ScreenRegistry.h"
#include "platform/Clock.h"
#include "platform/InputMethod.h"
#include "platform/JapaneseOrder.h"
#include "platform/Taskbar.h"
#include "sale/RecordBook.h"
#include "store/AnimalOutcomes.h"
#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/Numbers.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "store/ShopFiles.h"
#include "widgets/Controls.h"
#include "widgets/FailureReport.h"
#include "widgets/FieldWidth.h"
#include "widgets/Look.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace {

// The editor only reads its pick lists; the master-data screen is the one that creates them.
QStringList readPickList(const QString& fileName)
{
    if (!QFile::exists(fileName))
        throw Failure(Failure::fileNotFound(fileName).description() +
                      QStringLiteral("\n「各種データ登録」画面を一度開くと作成されます。"));
    return PickListFile::readItems(fileName);
}

// A box the program fills shows the start of its text, however long, not the end.
void showFromStart(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

void showFromStart(QComboBox* combo, const QString& text)
{
    combo->setCurrentText(text);
    combo->lineEdit()->setCursorPosition(0);
}

// A conversion that fails names the box it read, so that the shop knows which one to correct.
template <typename Convert> auto readBox(const QString& title, Convert&& convert)
{
    try {
        return convert();
    } catch (const Failure& failure) {
        throw Failure(title + QStringLiteral(": ") + failure.description());
    }
}

} // namespace

EditorScreen::EditorScreen(ScreenContext& context) : ScreenWindow(context)
{
    buildLayout();
    connect(Command1, &QPushButton::clicked, this, &EditorScreen::closeAndShowChart);
    connect(Command2, &QPushButton::clicked, this, &EditorScreen::deleteData);
    connect(Command3, &QPushButton::clicked, this, &EditorScreen::writeFirstHistoryLine);
    connect(Command4, &QPushButton::clicked, this, [this] { writeHistoryLine(Text2); });
    connect(Command5, &QPushButton::clicked, this, [this] { writeHistoryLine(Text3); });
    connect(Command6, &QPushButton::clicked, this, [this] { writeHistoryLine(Text4); });
    connect(Command7, &QPushButton::clicked, this, [this] { writeHistoryLine(Text5); });
    Text12->installEventFilter(this);
    Text13->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &EditorScreen::closeWithoutSaving);
}

EditorScreen::~EditorScreen()
{
    disconnectControls();
}

void EditorScreen::buildLayout()
{
    setObjectName(QStringLiteral("Form3"));
    makeFixedDialog(this, QStringLiteral("データ入力"));
    fixClientAreaTwips(this, 9000, 7395);
    setFont(gothicFont(9));

    // The frame goes first so that it lies beneath the history controls it surrounds.
    Shape1 = newShape(this, QStringLiteral("Shape1"), Colours::Black, 1, 120, 4380, 8775, 2475);
    for (const EditorFieldRow& row : fieldRows())
        buildRow(row);

    Label1 = addTitle(QStringLiteral("Label1"), QStringLiteral("整理番号"), 420, 240, 1395, 255);
    Label2 = newLabel(this, QStringLiteral("Label2"), QString(), 1860, 240, 735, 255);
    setGround(Label2, Colours::LightCyan);

    Label3 = addTitle(QStringLiteral("Label3"), QStringLiteral("生年月日"), 420, 660, 1395, 255);
    Label4 = newLabel(this, QStringLiteral("Label4"), QStringLiteral("年"), 2880, 660, 240, 240);
    Label5 = newLabel(this, QStringLiteral("Label5"), QStringLiteral("月"), 3900, 660, 240, 240);
    Label6 = newLabel(this, QStringLiteral("Label6"), QStringLiteral("日"), 4920, 660, 240, 240);
    Label7 = addTitle(QStringLiteral("Label7"), QStringLiteral("種類"), 420, 1020, 1395, 255);
    Label8 = addTitle(QStringLiteral("Label8"), QStringLiteral("性別"), 420, 1380, 1395, 255);
    Label9 = addTitle(QStringLiteral("Label9"), QStringLiteral("毛色"), 420, 1740, 1395, 255);
    Label10 = addTitle(QStringLiteral("Label10"), QStringLiteral("担当者"), 420, 2100, 1395, 255);

    Label16 = addTitle(QStringLiteral("Label16"), QStringLiteral("兄弟数"), 5820, 960, 1095, 315);
    Label17 = addTitle(QStringLiteral("Label17"), QStringLiteral("出生地"), 5820, 1320, 1095, 315);
    Label18 = addTitle(QStringLiteral("Label18"), QStringLiteral("出生時体重"), 5820, 1680, 1095, 315);
    Label21 = newLabel(this, QStringLiteral("Label21"), QStringLiteral("Kg"), 7980, 1740, 255, 240);
    Label19 = addTitle(QStringLiteral("Label19"), QStringLiteral("販売時体重"), 5820, 2040, 1095, 315);
    Label22 = newLabel(this, QStringLiteral("Label22"), QStringLiteral("Kg"), 7980, 2100, 255, 240);

    Label12 = addTitle(QStringLiteral("Label12"), QStringLiteral("記録,メモ"), 420, 2460, 1395, 315);

    // Each caption lies on the drop-down before it.
    Label11 = addTitle(QStringLiteral("Label11"), QStringLiteral("投薬、投与履歴"), 420, 4560, 1395, 255);
    Combo8 = addCombo(QStringLiteral("Combo8"), EditorItems::years(), 1920, 4500, 1035);
    Label13 = newLabel(this, QStringLiteral("Label13"), QStringLiteral("年"), 2940, 4560, 240, 240);
    Combo9 = addCombo(QStringLiteral("Combo9"), EditorItems::months(), 3180, 4500, 675);
    Label14 = newLabel(this, QStringLiteral("Label14"), QStringLiteral("月"), 3840, 4560, 240, 240);
    Combo10 = addCombo(QStringLiteral("Combo10"), EditorItems::days(), 4080, 4500, 675);
    Label15 = newLabel(this, QStringLiteral("Label15"), QStringLiteral("日"), 4740, 4560, 240, 240);
    Combo11 = addCombo(QStringLiteral("Combo11"), {}, 4980, 4500, 3015);

    Command3 = newButton(this, QStringLiteral("Command3"), QStringLiteral("1回目"), 420, 4980, 735, 315);
    Command4 = newButton(this, QStringLiteral("Command4"), QStringLiteral("2回目"), 420, 5340, 735, 315);
    Command5 = newButton(this, QStringLiteral("Command5"), QStringLiteral("3回目"), 420, 5700, 735, 315);
    Command6 = newButton(this, QStringLiteral("Command6"), QStringLiteral("4回目"), 420, 6060, 735, 315);
    Command7 = newButton(this, QStringLiteral("Command7"), QStringLiteral("5回目"), 420, 6420, 735, 315);

    Command2 =
        newButton(this, QStringLiteral("Command2"), QStringLiteral("データ削除"), 6780, 6960, 1095, 375);
    Command1 = newButton(this, QStringLiteral("Command1"), QStringLiteral("ＯＫ"), 7920, 6960, 975, 375);

    setFocusOrder({Combo1,  Combo2,  Combo3,  Combo4,   Combo5,   Combo6,   Combo7,   Combo8, Combo9,
                   Combo10, Combo11, Combo12, Combo13,  Command1, Command2, Command3, Text1,  Text2,
                   Text3,   Text4,   Text5,   Command4, Command5, Command6, Command7, Text6,  Text7,
                   Text8,   Text9,   Text10,  Text11,   Text12,   Text13});
    limitToFields();
    Combo1->setFocus();
}

// Makes the combo or box of `row` as its entry says, in the member that holds it.
void EditorScreen::buildRow(const EditorFieldRow& row)
{
    const QString name = QString::fromLatin1(row.name);
    const TwipsRect& r = row.rect;
    if (row.combo) {
        this->*row.combo = addCombo(name, row.items ? row.items() : QStringList(), r.left, r.top, r.width);
        return;
    }
    QLineEdit* box = newBox(this, name, r.left, r.top, r.width, r.height);
    if (row.entry == EditorEntry::Memo) {
        // Qt counts UTF-16 units, so a full-width character counts as one of the 30.
        box->setMaxLength(30);
        setHiraganaInput(box);
    } else if (row.entry == EditorEntry::Weight) {
        setInputMethodOff(box);
    }
    this->*row.box = box;
}

// The boxes whose text goes into a fixed-width field take no more than it holds.
void EditorScreen::limitToFields()
{
    for (const EditorFieldRow& row : fieldRows()) {
        if (row.limit == 0)
            continue;
        const QString field = QString::fromUtf8(row.title);
        // The first keystroke a box refuses says what it holds, beside the box.
        if (row.combo)
            tellBeside(this->*row.combo, limitToField(this->*row.combo, row.limit, field));
        else
            tellBeside(this->*row.box, limitToField(this->*row.box, row.limit, field));
    }
}

QString EditorScreen::textOf(const EditorFieldRow& row) const
{
    return row.combo ? (this->*row.combo)->currentText() : (this->*row.box)->text();
}

QLabel* EditorScreen::addTitle(const QString& name, const QString& caption, int left, int top, int width,
                               int height)
{
    QLabel* title = newLabel(this, name, caption, left, top, width, height);
    setGround(title, Colours::LightGreen);
    return title;
}

QComboBox* EditorScreen::addCombo(const QString& name, const QStringList& items, int left, int top, int width)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Typed text stays as typed: it is neither added to the list nor completed from it.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(this);
    placeTwips(combo, left, top, width, 300);
    return combo;
}

void EditorScreen::load()
{
    const auto* given = std::any_cast<EditorOpening>(&context.registry.opening(ScreenName::Form3));
    if (given)
        opening = *given;
    showHistoryLines();
    fillPickLists();
    // Opened without a record to edit, the editor would have nothing to store.
    if (!given)
        throw Failure::badRecordNumber();
    Label2->setText(Numbers::formatInteger(opening.recordNumber));
    // A record past the last one a file can hold could never be saved: the editor does not open on it.
    if (opening.recordNumber > RecordFile::MaxRecords)
        throw Failure::overflow();
    context.records.LoadRecord(opening.recordNumber);
    loadedRecord = context.records.CurrentRecord;
    showRecord(loadedRecord);
    loadedTexts = enteredTexts();
    // The focus starts in the year: typing replaces what it shows.
    Combo1->lineEdit()->selectAll();
    becomeDialogOfTheChart();
}

// The editor belongs to the chart screen, which stays loaded while it is open: as its dialog, it
// stays out of the taskbar.
void EditorScreen::becomeDialogOfTheChart()
{
    QWidget* chart = context.registry.loaded(ScreenName::Form2);
    if (!chart)
        return;
    winId();
    chart->winId();
    windowHandle()->setTransientParent(chart->windowHandle());
    keepOutOfTaskbar(this);
}

void EditorScreen::showHistoryLines()
{
    int line = 0;
    for (const EditorFieldRow& row : fieldRows()) {
        if (row.entry == EditorEntry::History)
            showFromStart(this->*row.box, opening.historyLines.value(line++));
    }
}

void EditorScreen::fillPickLists()
{
    Combo4->addItems(sortedJapanese(readPickList(ShopFiles::KindList)));
    Combo6->addItems(sortedJapanese(readPickList(ShopFiles::CoatColourList)));
    Combo7->addItems(sortedJapanese(readPickList(ShopFiles::StaffList)));
    Combo11->addItems(sortedJapanese(readPickList(ShopFiles::MedicationList)));
    Combo12->addItems(readPickList(ShopFiles::SiblingsList));
    Combo13->addItems(readPickList(ShopFiles::BirthplaceList));
    // Adding to an empty combo picks its first item; nothing is picked until the record is shown.
    for (QComboBox* sorted : {Combo4, Combo6, Combo7, Combo11})
        sorted->setCurrentIndex(-1);
}

// The boxes' 30-character limit cuts the space-padded memo lines.
void EditorScreen::showRecord(const PetRecord& record)
{
    for (const EditorFieldRow& row : fieldRows()) {
        if (!row.shown)
            continue;
        if (row.combo)
            showFromStart(this->*row.combo, row.shown(record));
        else
            showFromStart(this->*row.box, row.shown(record));
    }
}

void EditorScreen::writeFirstHistoryLine()
{
    for (const QComboBox* part : {Combo8, Combo9, Combo10, Combo11}) {
        if (part->currentText().isEmpty())
            return;
    }
    writeHistoryLine(Text1);
}

// A line longer than its field shows only what is stored, so the shop sees a lost ending at once.
void EditorScreen::writeHistoryLine(QLineEdit* line)
{
    showFromStart(line, fittingText(historyLine(), int(sizeof(PetRecord::Medication1))));
}

QString EditorScreen::historyLine() const
{
    const auto part = [](const QComboBox* combo) { return Numbers::halfWidthNumber(combo->currentText()); };
    return part(Combo8) + QStringLiteral("年") + part(Combo9) + QStringLiteral("月") + part(Combo10) +
           QStringLiteral("日   ") + Combo11->currentText() + QStringLiteral("   済み");
}

bool EditorScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Drop-downs change with the wheel only once the shop has picked them: a pointer passing over one
    // on its way elsewhere must not change the chart.
    if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched) &&
        !static_cast<QWidget*>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    if (watched != Text12 && watched != Text13)
        return ScreenWindow::eventFilter(watched, event);
    auto* weight = static_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::FocusIn) {
        // Only the user entering the box empties it; the window coming back to the front (after a
        // message about a failed save, say) keeps what was typed.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            weightsBeforeEntry[weight] = weight->text();
            weight->clear();
        }
    }
    // Looking at a weight must not cost it: a box left empty gets its weight back.
    if (event->type() == QEvent::FocusOut && weight->text().isEmpty() && weightsBeforeEntry.count(weight))
        weight->setText(weightsBeforeEntry.at(weight));
    return ScreenWindow::eventFilter(watched, event);
}

void EditorScreen::deleteData()
{
    // A microchip number and a buyer cannot be typed again from memory: they go only when the shop says so.
    bool hasSale = false;
    if (!reportFailures(context.messages, this, [&] { hasSale = hasSaleInformation(); }))
        return;
    if (!deletionConfirmed(hasSale))
        return;
    for (QComboBox* combo : {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6, Combo7, Combo8, Combo9, Combo10,
                             Combo11, Combo12, Combo13})
        combo->setCurrentText(QString());
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10, Text11})
        box->clear();
    Text12->setText(QStringLiteral("0"));
    Text13->setText(QStringLiteral("0"));
    deleting = true;
    closeAndShowChart();
    deleting = false;
}

// A dog or cat owned in the last five years stays in the record book, and a chart's sale information
// goes with it: one question says both before the chart goes.
bool EditorScreen::deletionConfirmed(bool hasSale)
{
    QDate kept;
    bool inStock = false;
    // A database that cannot be read is left to the deletion itself, which reports it (and sets a
    // damaged file aside) before anything is stored.
    failureOf([&] {
        const qint32 number = opening.recordNumber;
        RecordFile records(context.records.fileName());
        records.LoadRecord(number);
        const bool stored = context.database.exists();
        const AnimalOutcomes& outcomes = context.database.outcomes();
        // Only the animals known to be dogs or cats are asked about; every other is kept all the same.
        const Species species = stored ? outcomes.speciesForChart(records.CurrentRecord) : Species::Unset;
        if (species == Species::Dog || species == Species::Cat) {
            const std::optional<AnimalOutcome> present = outcomes.outcome(number);
            kept = keptAfterDeletion(records.CurrentRecord, present, species, context.clock.now().date());
            inStock = !(present && present->hasLeft()) &&
                      !readShopDate(tableText(records.CurrentRecord.SaleDate)).isValid();
        }
    });
    QString question;
    if (kept.isValid())
        question =
            (inStock ? QStringLiteral("この動物は在庫のままです。店を離れたのなら、先に販売・死亡・譲渡を"
                                      "記録してください。")
                     : QString()) +
            QStringLiteral("この動物の記録は法律で 5 年間の保存が必要です。%1は空になりますが、"
                           "帳簿の記録は %2 まで残ります。削除しますか？")
                .arg(hasSale ? QStringLiteral("カルテとマイクロチップ・販売情報") : QStringLiteral("カルテ"),
                     dateText(kept));
    else if (hasSale)
        question =
            QStringLiteral("このカルテにはマイクロチップ・販売情報があります。カルテと一緒に削除しますか？");
    return question.isEmpty() ||
           context.messages.ask(this, question, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                                MessageBoxes::Icon::Warning,
                                MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}

void EditorScreen::closeAndShowChart()
{
    reportFailures(context.messages, this, [&] {
        closingByCommand = true;
        const bool closed = context.registry.unload(ScreenName::Form3);
        closingByCommand = false;
        // A refused close has shown why; the editor stays open with what the user typed.
        if (closed)
            context.registry.show(ScreenName::Form2);
    });
}

bool EditorScreen::hasSaleInformation() const
{
    return context.database.exists() && !context.database.sales().chartSale(opening.recordNumber).isEmpty();
}

void EditorScreen::closeWithoutSaving()
{
    if (enteredTexts() != loadedTexts &&
        context.messages.ask(this, QStringLiteral("入力した内容を破棄して閉じますか？"),
                             QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                             MessageBoxes::Icon::Warning,
                             MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
        return;
    discarding = true;
    closeAndShowChart();
    discarding = false;
}

// The texts of every box that is stored; a weight box its entry emptied counts with the weight it gets back.
QStringList EditorScreen::enteredTexts() const
{
    QStringList texts;
    for (const EditorFieldRow& row : fieldRows()) {
        QString text = textOf(row);
        if (row.entry == EditorEntry::Weight && text.isEmpty()) {
            const auto before = weightsBeforeEntry.find(this->*row.box);
            if (before != weightsBeforeEntry.end())
                text = before->second;
        }
        texts.append(text);
    }
    return texts;
}

// Every close but Esc saves. A save that fails keeps the editor open with what the user typed; after the
// close box the user may give it up instead, so that a save that can never succeed does not trap them.
bool EditorScreen::unload()
{
    if (discarding)
        return true;
    if (!reportFailures(context.messages, this, [&] { save(); }) &&
        (closingByCommand || !confirmDiscard(context.messages, this)))
        return false;
    if (!closingByCommand) {
        // The close box returns to the chart screen too, once this close is over.
        QTimer::singleShot(
            0, &context.registry, [&registry = context.registry, &messages = context.messages] {
                if (!registry.hasEnded())
                    reportFailures(messages, nullptr, [&] { registry.show(ScreenName::Form2); });
            });
    }
    return true;
}

void EditorScreen::save()
{
    restoreEmptiedWeights();
    // Every conversion is done before the file is opened, so a failed one stores nothing.
    const PetRecord record = recordFromControls();
    const qint32 number = opening.recordNumber;
    // A deleted chart's sale information goes with it, and what the record book needs of the animal
    // stays, in one step with the record.
    if (deleting)
        context.database.outcomes().deleteChart(context.records, number, record, context.clock.now().date());
    else
        context.records.StoreRecord(number, record);
    if (opening.stored)
        opening.stored(number);
}

// The focus may still be in a weight box that its entry emptied: it keeps the weight it held.
void EditorScreen::restoreEmptiedWeights()
{
    for (QLineEdit* weight : {Text12, Text13}) {
        if (weight->text().isEmpty()) {
            const auto before = weightsBeforeEntry.find(weight);
            weight->setText(before != weightsBeforeEntry.end() ? before->second : QStringLiteral("0"));
        }
    }
}

PetRecord EditorScreen::recordFromControls() const
{
    PetRecord record = loadedRecord;
    for (const EditorFieldRow& row : fieldRows())
        readBox(QString::fromUtf8(row.title), [&] { row.store(record, textOf(row)); });
    return record;
}
