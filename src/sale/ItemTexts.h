#pragma once

#include "store/SaleStore.h"

#include <QList>
#include <QWidget>

class QPlainTextEdit;

// The boxes for items 2 to 10 of the sale-time explanation, each under its title, named item2 to item10.
class ItemTexts : public QWidget
{
    Q_OBJECT
public:
    explicit ItemTexts(QWidget* parent);

    void setTexts(const BreedTexts& texts);
    BreedTexts texts() const;
    // Shown in grey in an empty box: what the sheet prints there instead.
    void setPlaceholders(const BreedTexts& defaults);

private:
    QList<QPlainTextEdit*> boxes;
};
