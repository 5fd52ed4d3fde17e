#pragma once

#include "sale/ShopAnimals.h"
#include "store/SaleStore.h"
#include "widgets/TablePages.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QStringList>

// The record book's part for the other mammals, birds and reptiles (the kinds whose species is その他):
// one row per 品種等 the shop owned at some time in the period, with how many it held at the start,
// acquired, sold or handed over, lost by death and held at the end, and the items the book keeps of
// each animal gathered over the kind: birth days, breeders, suppliers, days, counterparties, checks,
// staff, explanations and deaths with their causes.
const QStringList& otherAnimalsColumns();

QList<QStringList> otherAnimalsRows(const QDate& from, const QDate& to, const QList<ShopAnimal>& animals,
                                    const QMap<qint32, ChartSale>& chartSales);

// The part as a printed table, under its own heading.
PrintedTable otherAnimalsTable(const QList<QStringList>& rows);
