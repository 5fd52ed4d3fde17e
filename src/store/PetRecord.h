#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstring>
#include <type_traits>

// A fixed-width text field: code page 932 bytes exactly as they lie in the file.
template <std::size_t N> using TextField = std::array<char, N>;

// One chart of detapetto.dt, laid out byte for byte as in the file (little-endian, no gaps).
#pragma pack(push, 1)
struct PetRecord
{
    qint16 BirthYear;
    qint16 BirthMonth;
    qint16 BirthDay;
    TextField<10> Sex;
    TextField<30> Kind;
    TextField<30> CoatColour;
    TextField<30> Staff;
    TextField<50> Medication1;
    TextField<50> Medication2;
    TextField<50> Medication3;
    TextField<50> Medication4;
    TextField<50> Medication5;
    TextField<70> Memo1;
    TextField<70> Memo2;
    TextField<70> Memo3;
    TextField<70> Memo4;
    TextField<70> Memo5;
    TextField<70> Memo6;
    TextField<10> Siblings;
    TextField<20> Birthplace;
    float BirthWeight;
    float SaleWeight;
    TextField<30> PurchaseDate;
    TextField<30> Supplier;
    TextField<30> PurchaseCost;
    TextField<30> PlannedPrice;
    TextField<30> SaleDate;
};
#pragma pack(pop)

static_assert(sizeof(PetRecord) == 964);
static_assert(offsetof(PetRecord, Sex) == 6);
static_assert(offsetof(PetRecord, Kind) == 16);
static_assert(offsetof(PetRecord, Medication1) == 106);
static_assert(offsetof(PetRecord, Memo1) == 356);
static_assert(offsetof(PetRecord, Siblings) == 776);
static_assert(offsetof(PetRecord, BirthWeight) == 806);
static_assert(offsetof(PetRecord, SaleWeight) == 810);
static_assert(offsetof(PetRecord, PurchaseDate) == 814);
static_assert(offsetof(PetRecord, SaleDate) == 934);
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "the record is copied to and from the file as it lies in memory");

constexpr int RecordLength = sizeof(PetRecord);

// A free record: its kind begins with a zero byte, so the kind shows empty. Every number past the end of
// the file reads as one; a record the editor wrote never is one, as it pads an empty kind with spaces.
inline bool isFreeRecord(const PetRecord& record)
{
    return record.Kind[0] == '\0';
}

// Assigning a text encodes it, keeps the leading bytes that fit and pads with spaces.
template <std::size_t N> void setText(TextField<N>& field, const QString& text);
// The whole field, trailing spaces included.
template <std::size_t N> QString fieldText(const TextField<N>& field);
// What a screen shows: the text before the first zero byte.
template <std::size_t N> QString shownText(const TextField<N>& field);

#include "store/PetRecordText.h"

// A number of the record named by its member. The record is packed, so a number in it may lie at any
// address: it is copied in and out byte by byte, never read or written through a reference.
template <auto Field> auto numberField(const PetRecord& record)
{
    std::remove_cvref_t<decltype(record.*Field)> value;
    std::memcpy(&value, &(record.*Field), sizeof value);
    return value;
}

template <auto Field, typename Value> void setNumberField(PetRecord& record, Value value)
{
    static_assert(std::is_same_v<std::remove_cvref_t<decltype(record.*Field)>, Value>);
    std::memcpy(&(record.*Field), &value, sizeof value);
}
