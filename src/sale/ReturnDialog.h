#pragma once

#include <QDate>
#include <QDialog>

class MessageBoxes;
class QDialogButtonBox;
class QLineEdit;
class RecordFile;
class ShopDatabase;

// 返品を記録: a buyer brought a sold animal back. The sale stays on record and the animal is in the shop
// again from the day typed; OK records it, キャンセル (or Esc) changes nothing, and a refused entry keeps
// what was typed.
class ReturnDialog : public QDialog
{
    Q_OBJECT
public:
    // Refuses a chart whose animal is not sold now, with the reason.
    ReturnDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
                 const QDate& today, QWidget* parent);

    void accept() override;

private:
    RecordFile& records;
    ShopDatabase& database;
    MessageBoxes& messages;
    qint32 number;

    QLineEdit* returnedOn;
    QLineEdit* reason;
    QDialogButtonBox* buttonBox;
};
