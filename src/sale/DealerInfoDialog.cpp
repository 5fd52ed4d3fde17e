#include "sale/DealerInfoDialog.h"

#include "sale/DialogFields.h"
#include "sale/ItemTexts.h"
#include "store/AnimalOutcomes.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

DealerInfoDialog::DealerInfoDialog(SaleStore& store, MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), store(store), messages(messages)
{
    buildLayout();
    // The species' texts are pages of their own: a page changed counts even while another is shown.
    askBeforeDiscarding(this, messages, {defaultSpecies, items}, [this] {
        edited[shownSpecies] = items->texts();
        return edited != saved;
    });
    DealerInfo dealer;
    reportFailures(messages, parent, [&] {
        dealer = store.dealerInfo();
        for (Species each : {Species::Dog, Species::Cat, Species::Other})
            saved.insert(speciesText(each), store.speciesTexts(speciesText(each)));
    });
    edited = saved;
    registrationNumber->setText(dealer.registrationNumber);
    animalHandler->setText(dealer.animalHandler);
    connect(defaultSpecies, &QComboBox::currentTextChanged, this, &DealerInfoDialog::showSpecies);
    showSpecies();
}

void DealerInfoDialog::buildLayout()
{
    setObjectName(QStringLiteral("DealerInfo"));
    setWindowTitle(QStringLiteral("事業者情報"));
    setFont(gothicFont(9));
    registrationNumber = namedBox(this, "registrationNumber", QStringLiteral("例：第123456号"));
    animalHandler = namedBox(this, "animalHandler");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("動物取扱業 登録番号(&R)"), registrationNumber);
    form->addRow(QStringLiteral("動物取扱責任者(&H)"), animalHandler);

    defaultSpecies = new QComboBox(this);
    defaultSpecies->setObjectName(QStringLiteral("defaultSpecies"));
    for (Species each : {Species::Dog, Species::Cat, Species::Other})
        defaultSpecies->addItem(speciesText(each));
    auto* speciesRow = new QHBoxLayout;
    auto* speciesLabel = new QLabel(QStringLiteral("種別(&S)"), this);
    speciesLabel->setBuddy(defaultSpecies);
    speciesRow->addWidget(speciesLabel);
    speciesRow->addWidget(defaultSpecies);
    speciesRow->addStretch(1);
    items = new ItemTexts(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(items);
    scroll->setWidgetResizable(true);
    auto* defaults = new QGroupBox(
        QStringLiteral("販売時説明書の標準の説明文（品種情報に説明文のない項目に使います）"), this);
    auto* defaultsLayout = new QVBoxLayout(defaults);
    defaultsLayout->addLayout(speciesRow);
    defaultsLayout->addWidget(scroll, 1);

    buttonBox = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(defaults, 1);
    layout->addWidget(buttonBox);
    resize(760, 640);
}

// What is typed for the shown species is kept while the user looks at another.
void DealerInfoDialog::showSpecies()
{
    if (!shownSpecies.isNull())
        edited[shownSpecies] = items->texts();
    shownSpecies = defaultSpecies->currentText();
    items->setTexts(edited.value(shownSpecies));
}

void DealerInfoDialog::accept()
{
    edited[shownSpecies] = items->texts();
    if (reportFailures(messages, this, [&] {
            store.saveDealerInfo({registrationNumber->text(), animalHandler->text()});
            for (auto species = edited.cbegin(); species != edited.cend(); ++species) {
                if (species.value() != saved.value(species.key())) {
                    store.saveSpeciesTexts(species.key(), species.value());
                    saved.insert(species.key(), species.value());
                }
            }
        }))
        QDialog::accept();
}
