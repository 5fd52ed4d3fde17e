#pragma once

#include "store/PetRecord.h"

#include <QDate>
#include <QString>

class MessageBoxes;
class QWidget;
class RecordFile;
class ShopDatabase;

// The question before a recorded sale is taken back.
QString undoSaleQuestion(const QDate& soldOn);

// Stores the trading fields typed on chart `number` as `changed`. A 販売日 that reads as a date where no
// sale is recorded is a sale of that day, with the planned price and no buyer, through the same checks
// as 販売する; a recorded sale's 販売日 cleared (or replaced by text that is not a date) takes the sale
// back. Each asks first where 販売する and 販売を取り消す ask; false when the shop said no. A refused
// step throws its reason and stores nothing.
bool storeTradingFields(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, QWidget* parent,
                        qint32 number, const PetRecord& changed);
