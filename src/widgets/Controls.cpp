#include "widgets/Controls.h"

#include "widgets/Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {

// Enter on a focused button clicks it, as Space does: the convention of the desktop the shop knows.
// The buttons are never default buttons, so Enter in a text box still clicks nothing.
class EnterClicksButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

QObject* enterClicksButton()
{
    static QObject* filter = new EnterClicksButton(QCoreApplication::instance());
    return filter;
}

} // namespace

QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                 int height)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    placeTwips(label, left, top, width, height);
    narrowToFit(label, caption);
    return label;
}

QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                       int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(enterClicksButton());
    placeTwips(button, left, top, width, height);
    return button;
}

QLineEdit* newBox(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    placeTwips(box, left, top, width, height);
    return box;
}

QFrame* newShape(QWidget* parent, const QString& name, const QColor& colour, int lineWidth, int left, int top,
                 int width, int height)
{
    auto* shape = new QFrame(parent);
    shape->setObjectName(name);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(lineWidth);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::WindowText, colour);
    shape->setPalette(palette);
    shape->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeTwips(shape, left, top, width, height);
    shape->lower();
    return shape;
}

void narrowToFit(QWidget* control, const QString& caption)
{
    const int textWidth = QFontMetrics(control->font()).horizontalAdvance(caption);
    // Room for the caption: what the control needs around it (a tick box, margins) is left out.
    const int room = control->width() - (control->sizeHint().width() - textWidth);
    if (textWidth <= room)
        return;
    QFont font = control->font();
    font.setLetterSpacing(QFont::PercentageSpacing, std::floor(100.0 * room / textWidth));
    control->setFont(font);
}

void setFocusOrder(const QList<QWidget*>& order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
