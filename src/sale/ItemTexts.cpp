#include "sale/ItemTexts.h"

#include "sale/ExplanationSheet.h"

#include <QFormLayout>
#include <QPlainTextEdit>

ItemTexts::ItemTexts(QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    const QStringList& titles = Explanation::itemTitles();
    for (int item = BreedTexts::FirstItem; item <= BreedTexts::LastItem; ++item) {
        auto* box = new QPlainTextEdit(this);
        box->setObjectName(QStringLiteral("item%1").arg(item));
        box->setTabChangesFocus(true);
        box->setFixedHeight(48);
        boxes.append(box);
        form->addRow(QStringLiteral("%1 %2").arg(item).arg(titles[item - 1]), box);
    }
}

void ItemTexts::setTexts(const BreedTexts& texts)
{
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setPlainText(texts.items[std::size_t(i)]);
}

BreedTexts ItemTexts::texts() const
{
    BreedTexts typed;
    for (int i = 0; i < boxes.size(); ++i)
        typed.items[std::size_t(i)] = boxes[i]->toPlainText();
    return typed;
}

void ItemTexts::setPlaceholders(const BreedTexts& defaults)
{
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setPlaceholderText(defaults.items[std::size_t(i)]);
}
