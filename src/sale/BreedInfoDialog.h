#pragma once

#include "store/SaleStore.h"

#include <QDialog>
#include <QMap>

class MessageBoxes;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;

// 品種情報: for each kind of the kind pick list, the texts of items 2 to 10 that the sale-time
// explanation prints. OK saves every kind that was changed; Cancel changes nothing.
class BreedInfoDialog : public QDialog
{
    Q_OBJECT
public:
    BreedInfoDialog(SaleStore& store, MessageBoxes& messages, const QStringList& kinds, QWidget* parent);

    void accept() override;

private:
    void buildLayout(const QStringList& kinds);
    void showKind(const QString& kind);
    void keepTyped();

    SaleStore& store;
    MessageBoxes& messages;
    // The texts as saved, and as the user changed them, by kind.
    QMap<QString, BreedTexts> saved;
    QMap<QString, BreedTexts> edited;
    QString shownKind;

    QListWidget* breeds;
    QLabel* breedName;
    QList<QPlainTextEdit*> texts;
    QDialogButtonBox* buttonBox;
};
