#include "widgets/FieldWidth.h"

#include "store/Sjis.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QToolTip>

namespace {

bool fits(const QString& text, int bytes)
{
    return Sjis::encode(text).size() <= bytes;
}

class RefusalTip : public QObject
{
public:
    RefusalTip(QWidget* box, FieldWidthValidator* validator) : QObject(box), box(box)
    {
        box->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->lineEdit())
            combo->lineEdit()->installEventFilter(this);
        connect(validator, &FieldWidthValidator::refused, this, [this](const QString& refusal) {
            message = refusal;
            show();
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease && !message.isEmpty()) {
            show();
            message.clear();
        }
        return false;
    }

private:
    void show() { QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box); }

    QWidget* box;
    QString message;
};

} // namespace

FieldWidthValidator::FieldWidthValidator(int bytes, QString field, QObject* parent)
    : QValidator(parent), bytes(bytes), field(std::move(field))
{
}

QValidator::State FieldWidthValidator::validate(QString& input, int& pos) const
{
    // The box checks its text again right after a cut: only text shorter than what the cut left has room.
    if (fits(input, bytes)) {
        if (told && Sjis::encode(input).size() < filled)
            told = false;
        return Acceptable;
    }
    if (!told) {
        told = true;
        // Told from the event loop: the box is still in the middle of taking the keystroke.
        const QString message =
            QStringLiteral("%1は全角 %2 文字（%3 バイト）までです。").arg(field).arg(bytes / 2).arg(bytes);
        auto* self = const_cast<FieldWidthValidator*>(this);
        QMetaObject::invokeMethod(
            self, [self, message] { emit self->refused(message); }, Qt::QueuedConnection);
    }
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
    filled = Sjis::encode(input).size();
    return Acceptable;
}

FieldWidthValidator* limitToField(QLineEdit* box, int bytes, const QString& field)
{
    auto* validator = new FieldWidthValidator(bytes, field, box);
    box->setValidator(validator);
    return validator;
}

FieldWidthValidator* limitToField(QComboBox* combo, int bytes, const QString& field)
{
    auto* validator = new FieldWidthValidator(bytes, field, combo);
    combo->setValidator(validator);
    return validator;
}

void tellBeside(QWidget* box, FieldWidthValidator* validator)
{
    new RefusalTip(box, validator);
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
