#include "editor/EditorFields.h"

#include "editor/EditorScreen.h"
#include "store/DisplayText.h"
#include "store/Numbers.h"
#include "store/PetRecord.h"

#include <type_traits>

namespace {

QStringList numbersFrom(int first, int last)
{
    QStringList items;
    for (int n = first; n <= last; ++n)
        items.append(QString::number(n));
    return items;
}

QStringList sexes()
{
    return {QStringLiteral("オス"), QStringLiteral("メス"), QStringLiteral("不明")};
}

QStringList litterSizes()
{
    return numbersFrom(1, 20) << QStringLiteral("不明");
}

QStringList regions()
{
    return {QStringLiteral("北海道地方"), QStringLiteral("東北地方"), QStringLiteral("北陸甲信越地方"),
            QStringLiteral("関東地方"),   QStringLiteral("東海地方"), QStringLiteral("近畿地方"),
            QStringLiteral("中国地方"),   QStringLiteral("四国地方"), QStringLiteral("九州地方"),
            QStringLiteral("沖縄地方"),   QStringLiteral("海外")};
}

// A date part is a whole number, a weight a number of kilograms, a text as much of the text as fits.
template <auto Field> void storeField(PetRecord& record, const QString& text)
{
    using Value = std::remove_cvref_t<decltype(record.*Field)>;
    if constexpr (std::is_same_v<Value, float>)
        setNumberField<Field>(record, Numbers::readWeight(text));
    else if constexpr (std::is_same_v<Value, qint16>)
        setNumberField<Field>(record, Numbers::toInt16(Numbers::readNumber(text)));
    else
        setText(record.*Field, text);
}

// A litter size typed in full-width digits is stored as the digits the list offers.
template <auto Field> void storeHalfWidth(PetRecord& record, const QString& text)
{
    setText(record.*Field, Numbers::halfWidthNumber(text));
}

using Items = QStringList (*)();
using Shown = QString (*)(const PetRecord&);
using Store = void (*)(PetRecord&, const QString&);

template <auto Field>
constexpr EditorFieldRow combo(QComboBox* EditorScreen::*member, const char* name, TwipsRect rect,
                               const char* title, int limit = 0, Items items = nullptr,
                               Store store = storeField<Field>)
{
    return {member, nullptr, name, EditorEntry::Combo, rect, title, limit, items, shownField<Field>, store};
}

template <auto Field>
constexpr EditorFieldRow box(QLineEdit* EditorScreen::*member, const char* name, EditorEntry entry,
                             TwipsRect rect, const char* title, int limit = 0)
{
    const Shown shown = entry == EditorEntry::History ? nullptr : shownField<Field>;
    return {nullptr, member, name, entry, rect, title, limit, nullptr, shown, storeField<Field>};
}

} // namespace

namespace EditorItems {

QStringList years()
{
    return numbersFrom(2003, 2020);
}

QStringList months()
{
    return numbersFrom(1, 12);
}

QStringList days()
{
    return numbersFrom(1, 31);
}

} // namespace EditorItems

// In the order the controls are made: each memo line lies on the one above it. The texts the shop picks
// or types into a fixed-width field take no more than it holds.
std::span<const EditorFieldRow> EditorScreen::fieldRows()
{
    using E = EditorScreen;
    using P = PetRecord;
    constexpr EditorEntry Memo = EditorEntry::Memo;
    constexpr EditorEntry History = EditorEntry::History;
    constexpr EditorEntry Weight = EditorEntry::Weight;
    static const EditorFieldRow rows[] = {
        combo<&P::BirthYear>(&E::Combo1, "Combo1", {1920, 600, 915, 300}, "生年月日（年）", 0,
                             EditorItems::years),
        combo<&P::BirthMonth>(&E::Combo2, "Combo2", {3180, 600, 675, 300}, "生年月日（月）", 0,
                              EditorItems::months),
        combo<&P::BirthDay>(&E::Combo3, "Combo3", {4200, 600, 675, 300}, "生年月日（日）", 0,
                            EditorItems::days),
        combo<&P::Kind>(&E::Combo4, "Combo4", {1920, 960, 3675, 300}, "種類", sizeof(P::Kind)),
        combo<&P::Sex>(&E::Combo5, "Combo5", {1920, 1320, 1215, 300}, "性別", sizeof(P::Sex), sexes),
        combo<&P::CoatColour>(&E::Combo6, "Combo6", {1920, 1680, 2715, 300}, "毛色", sizeof(P::CoatColour)),
        combo<&P::Staff>(&E::Combo7, "Combo7", {1920, 2040, 2655, 300}, "担当者", sizeof(P::Staff)),
        combo<&P::Siblings>(&E::Combo12, "Combo12", {7020, 960, 1455, 300}, "兄弟数", sizeof(P::Siblings),
                            litterSizes, storeHalfWidth<&P::Siblings>),
        combo<&P::Birthplace>(&E::Combo13, "Combo13", {7020, 1320, 1875, 300}, "出生地",
                              sizeof(P::Birthplace), regions),
        box<&P::BirthWeight>(&E::Text12, "Text12", Weight, {7020, 1680, 915, 315}, "出生時体重"),
        box<&P::SaleWeight>(&E::Text13, "Text13", Weight, {7020, 2040, 915, 315}, "販売時体重"),
        box<&P::Memo1>(&E::Text6, "Text6", Memo, {1920, 2460, 5655, 315}, "記録,メモ"),
        box<&P::Memo2>(&E::Text7, "Text7", Memo, {1920, 2760, 5655, 315}, "記録,メモ"),
        box<&P::Memo3>(&E::Text8, "Text8", Memo, {1920, 3060, 5655, 315}, "記録,メモ"),
        box<&P::Memo4>(&E::Text9, "Text9", Memo, {1920, 3360, 5655, 315}, "記録,メモ"),
        box<&P::Memo5>(&E::Text10, "Text10", Memo, {1920, 3660, 5655, 315}, "記録,メモ"),
        box<&P::Memo6>(&E::Text11, "Text11", Memo, {1920, 3960, 5655, 315}, "記録,メモ"),
        box<&P::Medication1>(&E::Text1, "Text1", History, {1380, 4980, 5175, 315}, "投薬履歴",
                             sizeof(P::Medication1)),
        box<&P::Medication2>(&E::Text2, "Text2", History, {1380, 5340, 5175, 315}, "投薬履歴",
                             sizeof(P::Medication2)),
        box<&P::Medication3>(&E::Text3, "Text3", History, {1380, 5700, 5175, 315}, "投薬履歴",
                             sizeof(P::Medication3)),
        box<&P::Medication4>(&E::Text4, "Text4", History, {1380, 6060, 5175, 315}, "投薬履歴",
                             sizeof(P::Medication4)),
        box<&P::Medication5>(&E::Text5, "Text5", History, {1380, 6420, 5175, 315}, "投薬履歴",
                             sizeof(P::Medication5)),
    };
    return rows;
}
