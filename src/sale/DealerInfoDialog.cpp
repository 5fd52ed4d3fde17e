#include "sale/DealerInfoDialog.h"

#include "platform/FailureReport.h"
#include "platform/Look.h"
#include "sale/DialogFields.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

DealerInfoDialog::DealerInfoDialog(SaleStore& store, MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), store(store), messages(messages)
{
    setObjectName(QStringLiteral("DealerInfo"));
    setWindowTitle(QStringLiteral("事業者情報"));
    setFont(gothicFont(9));
    registrationNumber = namedBox(this, "registrationNumber", QStringLiteral("例：第123456号"));
    animalHandler = namedBox(this, "animalHandler");
    buttonBox = okCancelButtons(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("動物取扱業 登録番号(&R)"), registrationNumber);
    form->addRow(QStringLiteral("動物取扱責任者(&H)"), animalHandler);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    resize(460, sizeHint().height());

    DealerInfo dealer;
    reportFailures(messages, parent, [&] { dealer = store.dealerInfo(); });
    registrationNumber->setText(dealer.registrationNumber);
    animalHandler->setText(dealer.animalHandler);
}

void DealerInfoDialog::accept()
{
    if (reportFailures(messages, this, [&] {
            store.saveDealerInfo({registrationNumber->text(), animalHandler->text()});
        }))
        QDialog::accept();
}
