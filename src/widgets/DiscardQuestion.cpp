#include "widgets/DiscardQuestion.h"

#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace {

// Every cell of a table or list, as typed.
QStringList cellTexts(const QAbstractItemModel* model)
{
    QStringList cells;
    if (model == nullptr)
        return cells;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            cells.append(model->data(cell, Qt::EditRole).toString());
            cells.append(model->data(cell, Qt::CheckStateRole).toString());
        }
    }
    return cells;
}

// What an input holds; null for a widget that takes no typing (labels, scroll bars, plain buttons).
QVariant inputValue(QWidget* widget)
{
    if (auto* view = qobject_cast<QAbstractItemView*>(widget))
        return cellTexts(view->model());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isCheckable() ? QVariant(button->isChecked()) : QVariant();
    const bool takesTyping = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                             qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
                             qobject_cast<QAbstractSpinBox*>(widget);
    return takesTyping ? widget->metaObject()->userProperty().read(widget) : QVariant();
}

class DiscardQuestion : public QObject
{
public:
    DiscardQuestion(QDialog* dialog, MessageBoxes& messages, QList<QWidget*> pages,
                    std::function<bool()> pagesChanged)
        : QObject(dialog), dialog(dialog), messages(messages), pages(std::move(pages)),
          pagesChanged(std::move(pagesChanged))
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            // A window restored from the taskbar is shown again by the system: what was typed stays typed.
            if (event->spontaneous())
                return false;
            routeCancelThroughClose();
            opened = inputs();
            return false;
        case QEvent::KeyPress:
            // Esc closes as × does, so both pass the question.
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
                dialog->close();
                return true;
            }
            return false;
        case QEvent::Close:
            if (dialog->isVisible() && changed() && !discardAgreed()) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    // キャンセル closes the dialog like × instead of rejecting it directly.
    void routeCancelThroughClose()
    {
        if (routed)
            return;
        routed = true;
        for (QDialogButtonBox* buttons : dialog->findChildren<QDialogButtonBox*>()) {
            if (QObject::disconnect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject))
                QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QWidget::close);
        }
    }

    bool onAPage(QWidget* widget) const
    {
        return std::any_of(pages.cbegin(), pages.cend(),
                           [&](QWidget* page) { return page == widget || page->isAncestorOf(widget); });
    }

    QList<std::pair<QPointer<QWidget>, QVariant>> inputs() const
    {
        QList<std::pair<QPointer<QWidget>, QVariant>> values;
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            const QVariant value = inputValue(widget);
            if (!value.isNull() && !onAPage(widget))
                values.append({widget, value});
        }
        return values;
    }

    bool changed() const
    {
        // A cell still being edited counts as typed: moving the focus off its editor stores it.
        for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
            const QWidget* focus = QApplication::focusWidget();
            if (focus && view->viewport()->isAncestorOf(focus))
                view->setFocus();
        }
        for (const auto& [widget, value] : opened) {
            if (!widget || inputValue(widget) != value)
                return true;
        }
        return pagesChanged && pagesChanged();
    }

    bool discardAgreed()
    {
        return messages.ask(dialog, QStringLiteral("入力した内容を破棄しますか？"),
                            QStringLiteral("ソラニカ"), MessageBoxes::Buttons::YesNo,
                            MessageBoxes::Icon::Warning,
                            MessageBoxes::Answer::No) == MessageBoxes::Answer::Yes;
    }

    QDialog* dialog;
    MessageBoxes& messages;
    QList<QWidget*> pages;
    std::function<bool()> pagesChanged;
    QList<std::pair<QPointer<QWidget>, QVariant>> opened;
    bool routed = false;
};

} // namespace

void askBeforeDiscarding(QDialog* dialog, MessageBoxes& messages, QList<QWidget*> pages,
                         std::function<bool()> pagesChanged)
{
    new DiscardQuestion(dialog, messages, std::move(pages), std::move(pagesChanged));
}
