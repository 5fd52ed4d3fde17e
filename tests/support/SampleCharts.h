#pragma once

// Sample charts and sale information for the tests and benchmarks. Header only: the plain programs
// that link the store alone (the kill tests, the program benchmark) use it without widgets.

#include "store/PetRecord.h"
#include "store/SaleStore.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

// The 964 bytes a record takes in detapetto.dt.
inline QByteArray bytesOf(const PetRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), RecordLength);
}

// A chart as it lies in detapetto.dt. The kind is always written. A field left out keeps the zero
// bytes of a record never written; a field given, even empty, is padded with spaces as the program
// writes it. Fields no sample needs are set on the record it returns.
struct SampleChart
{
    QString kind{};
    QDate born{}; // none: the birth date stays 0/0/0
    std::optional<QString> sex{};
    std::optional<QString> colour{};
    std::optional<QString> purchased{};
    std::optional<QString> supplier{};
    std::optional<QString> cost{};
    std::optional<QString> planned{};
    std::optional<QString> sold{}; // 販売日

    PetRecord record() const
    {
        PetRecord record{};
        if (born.isValid()) {
            record.BirthYear = qint16(born.year());
            record.BirthMonth = qint16(born.month());
            record.BirthDay = qint16(born.day());
        }
        setText(record.Kind, kind);
        setIfGiven(record.Sex, sex);
        setIfGiven(record.CoatColour, colour);
        setIfGiven(record.PurchaseDate, purchased);
        setIfGiven(record.Supplier, supplier);
        setIfGiven(record.PurchaseCost, cost);
        setIfGiven(record.PlannedPrice, planned);
        setIfGiven(record.SaleDate, sold);
        return record;
    }

    QByteArray bytes() const { return bytesOf(record()); }

private:
    template <std::size_t N> static void setIfGiven(TextField<N>& field, const std::optional<QString>& text)
    {
        if (text)
            setText(field, *text);
    }
};

// Sale information holding a microchip number and, when given, the buyer's name.
inline ChartSale chipSale(const QString& microchip, const QString& buyerName = {})
{
    ChartSale sale;
    sale.microchip = microchip;
    sale.buyerName = buyerName;
    return sale;
}

// Sale information holding only the buyer.
inline ChartSale buyerSale(const QString& name, const QString& address = {}, const QString& phone = {})
{
    ChartSale sale;
    sale.buyerName = name;
    sale.buyerAddress = address;
    sale.buyerPhone = phone;
    return sale;
}
