#include "platform/FieldWidth.h"

#include "store/Sjis.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

bool fits(const QString& text, int bytes)
{
    return Sjis::encode(text).size() <= bytes;
}

} // namespace

FieldWidthValidator::FieldWidthValidator(int bytes, QObject* parent) : QValidator(parent), bytes(bytes)
{
}

QValidator::State FieldWidthValidator::validate(QString& input, int& pos) const
{
    // What was just typed or pasted lies before the cursor: its end goes first, so that the text the
    // box already held stays whole.
    while (!fits(input, bytes) && pos > 0) {
        const int length = pos > 1 && input.at(pos - 1).isLowSurrogate() ? 2 : 1;
        input.remove(pos - length, length);
        pos -= length;
    }
    if (!fits(input, bytes)) {
        input = fittingText(input, bytes);
        pos = qMin(pos, int(input.size()));
    }
    return Acceptable;
}

void limitToField(QLineEdit* box, int bytes)
{
    box->setValidator(new FieldWidthValidator(bytes, box));
}

void limitToField(QComboBox* combo, int bytes)
{
    combo->setValidator(new FieldWidthValidator(bytes, combo));
}

QString fittingText(const QString& text, int bytes)
{
    QString fitting;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString longer = fitting + text.mid(i, length);
        if (!fits(longer, bytes))
            break;
        fitting = longer;
        i += length - 1;
    }
    return fitting;
}
