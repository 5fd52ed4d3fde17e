#pragma once

#include <QValidator>

class QComboBox;
class QLineEdit;
class QWidget;

// A box that feeds a fixed-width field of the record takes only what the field holds, counted in code
// page 932 bytes (a full-width character takes two). Text typed or pasted past that is cut in the box,
// where the shop sees it, instead of on saving.
class FieldWidthValidator : public QValidator
{
    Q_OBJECT
public:
    // `field`: the box's name as the screen shows it, for the message.
    FieldWidthValidator(int bytes, QString field, QObject* parent);

    State validate(QString& input, int& pos) const override;

signals:
    // The first keystroke or paste that is cut, with what the box holds: 「種類は全角 15 文字（30 バイト）
    // までです。」. Told again only after the box's text has fitted once more.
    void refused(const QString& message);

private:
    int bytes;
    QString field;
    mutable bool told = false;
    // The bytes the box held after the last cut.
    mutable qsizetype filled = 0;
};

FieldWidthValidator* limitToField(QLineEdit* box, int bytes, const QString& field);
FieldWidthValidator* limitToField(QComboBox* combo, int bytes, const QString& field);

// Shows what `validator` refuses in a tip under `box`, for a screen without a status line. A tip goes at
// the next key, also the release of the key that was refused: it is shown again then.
void tellBeside(QWidget* box, FieldWidthValidator* validator);

// The longest beginning of `text` that a field of `bytes` holds.
QString fittingText(const QString& text, int bytes);
