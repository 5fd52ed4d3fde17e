#include "chart/ChartFields.h"

#include "chart/ChartScreen.h"
#include "store/DisplayText.h"
#include "store/PetRecord.h"

namespace {

using Shown = QString (*)(const PetRecord&);

// A trading box shows its field without the spaces that fill it, so that text typed at the end of the
// box follows the value instead of the padding.
template <auto Field> QString tradingText(const PetRecord& record)
{
    return tableText(record.*Field);
}

// An unchanged box stores its field as shown, padding and all.
template <auto Field> void storeTyped(PetRecord& record, const QString& typed)
{
    const QString stored = shownText(record.*Field);
    setText(record.*Field, typed == withoutTrailingSpaces(stored) ? stored : typed);
}

constexpr ChartFieldRow heading(QLabel* ChartScreen::*label, const char* name, const char* caption,
                                TwipsRect rect, ChartLook look = ChartLook::Heading)
{
    return {label, nullptr, name, look, caption, rect, nullptr, nullptr};
}

constexpr ChartFieldRow value(QLabel* ChartScreen::*label, const char* name, TwipsRect rect, Shown shown)
{
    return {label, nullptr, name, ChartLook::Value, "", rect, shown, nullptr};
}

constexpr ChartFieldRow memo(QLineEdit* ChartScreen::*box, const char* name, TwipsRect rect, Shown shown)
{
    return {nullptr, box, name, ChartLook::Memo, "", rect, shown, nullptr};
}

template <auto Field>
constexpr ChartFieldRow trading(QLineEdit* ChartScreen::*box, const char* name, const char* field,
                                TwipsRect rect)
{
    return {nullptr, box, name, ChartLook::Trading, field, rect, tradingText<Field>, storeTyped<Field>};
}

} // namespace

// In the order the controls are made: where two touch, the later one lies on top.
std::span<const ChartFieldRow> ChartScreen::fieldRows()
{
    using C = ChartScreen;
    using P = PetRecord;
    static const ChartFieldRow rows[] = {
        value(&C::Label1, "Label1", {120, 1260, 915, 255}, shownField<&P::BirthYear>),
        heading(&C::Label14, "Label14", "年", {1080, 1260, 240, 255}),
        value(&C::Label6, "Label6", {1380, 1260, 435, 255}, shownField<&P::BirthMonth>),
        heading(&C::Label15, "Label15", "月", {1860, 1260, 240, 255}),
        value(&C::Label7, "Label7", {2160, 1260, 435, 255}, shownField<&P::BirthDay>),
        heading(&C::Label16, "Label16", "日生まれ", {2640, 1260, 765, 255}),

        heading(&C::Label17, "Label17", "種類", {60, 1560, 645, 300}),
        value(&C::Label2, "Label2", {720, 1560, 3915, 315}, shownField<&P::Kind>),
        heading(&C::Label18, "Label18", "性別", {60, 1860, 645, 300}),
        value(&C::Label3, "Label3", {720, 1860, 2355, 315}, shownField<&P::Sex>),
        heading(&C::Label19, "Label19", "毛色", {60, 2160, 645, 300}),
        value(&C::Label4, "Label4", {720, 2160, 2355, 315}, shownField<&P::CoatColour>),
        heading(&C::Label20, "Label20", "担当者", {60, 2460, 645, 285}),
        value(&C::Label5, "Label5", {720, 2460, 2355, 315}, shownField<&P::Staff>),

        heading(&C::Label36, "Label36", "出産数", {120, 2880, 975, 255}),
        value(&C::Label32, "Label32", {1080, 2880, 675, 255}, shownField<&P::Siblings>),
        heading(&C::Label38, "Label38", "出生地", {1860, 2880, 915, 255}),
        value(&C::Label33, "Label33", {2760, 2880, 1755, 255}, shownField<&P::Birthplace>),
        heading(&C::Label37, "Label37", "出生時Ｋｇ）", {120, 3180, 975, 255}),
        value(&C::Label34, "Label34", {1080, 3180, 675, 255}, shownField<&P::BirthWeight>),
        heading(&C::Label39, "Label39", "現在（Ｋｇ）", {1860, 3180, 915, 255}),
        value(&C::Label35, "Label35", {2760, 3180, 615, 255}, shownField<&P::SaleWeight>),

        value(&C::Label9, "Label9", {240, 4020, 3855, 255}, shownField<&P::Medication1>),
        value(&C::Label10, "Label10", {240, 4320, 3855, 255}, shownField<&P::Medication2>),
        value(&C::Label11, "Label11", {240, 4620, 3855, 255}, shownField<&P::Medication3>),
        value(&C::Label12, "Label12", {240, 4920, 3855, 255}, shownField<&P::Medication4>),
        value(&C::Label13, "Label13", {240, 5220, 3855, 255}, shownField<&P::Medication5>),

        heading(&C::Label26, "Label26", "記録、メモ", {6240, 1260, 2955, 255}),
        memo(&C::Text2, "Text2", {4800, 1560, 5535, 315}, shownField<&P::Memo1>),
        memo(&C::Text8, "Text8", {4800, 1860, 5535, 315}, shownField<&P::Memo2>),
        memo(&C::Text9, "Text9", {4800, 2160, 5535, 315}, shownField<&P::Memo3>),
        memo(&C::Text10, "Text10", {4800, 2460, 5535, 315}, shownField<&P::Memo4>),
        memo(&C::Text11, "Text11", {4800, 2760, 5535, 315}, shownField<&P::Memo5>),
        memo(&C::Text12, "Text12", {4800, 3060, 5535, 315}, shownField<&P::Memo6>),

        heading(&C::Label27, "Label27", "仕入日", {5520, 4080, 600, 240}, ChartLook::TradingHeading),
        trading<&P::PurchaseDate>(&C::Text3, "Text3", "仕入日", {6300, 4020, 2295, 315}),
        heading(&C::Label28, "Label28", "仕入先", {5520, 4440, 600, 240}, ChartLook::TradingHeading),
        trading<&P::Supplier>(&C::Text4, "Text4", "仕入先", {6300, 4380, 2295, 315}),
        heading(&C::Label29, "Label29", "仕入原価", {5340, 4800, 780, 240}, ChartLook::TradingHeading),
        trading<&P::PurchaseCost>(&C::Text5, "Text5", "仕入原価", {6300, 4740, 2295, 315}),
        heading(&C::Label30, "Label30", "販売予定価格", {4980, 5160, 1140, 240}, ChartLook::TradingHeading),
        trading<&P::PlannedPrice>(&C::Text6, "Text6", "販売予定価格", {6300, 5100, 2295, 315}),
        heading(&C::Label31, "Label31", "販売日", {5520, 5520, 600, 240}, ChartLook::TradingHeading),
        trading<&P::SaleDate>(&C::Text7, "Text7", "販売日", {6300, 5460, 2295, 315}),
    };
    return rows;
}
