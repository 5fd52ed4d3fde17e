#pragma once

#include <QValidator>

class QComboBox;
class QLineEdit;

// A box that feeds a fixed-width field of the record takes only what the field holds, counted in code
// page 932 bytes (a full-width character takes two). Text typed or pasted past that is cut in the box,
// where the shop sees it, instead of on saving.
class FieldWidthValidator : public QValidator
{
    Q_OBJECT
public:
    FieldWidthValidator(int bytes, QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    int bytes;
};

void limitToField(QLineEdit* box, int bytes);
void limitToField(QComboBox* combo, int bytes);

// The longest beginning of `text` that a field of `bytes` holds.
QString fittingText(const QString& text, int bytes);
