#include "sale/BreedInfoDialog.h"

#include "sale/DialogFields.h"
#include "sale/ItemTexts.h"
#include "store/ShopDatabase.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

BreedInfoDialog::BreedInfoDialog(ShopDatabase& database, MessageBoxes& messages, const QStringList& kinds,
                                 QWidget* parent)
    : QDialog(parent), store(database.sales()), outcomes(database.outcomes()), messages(messages)
{
    reportFailures(messages, parent, [&] {
        savedSpecies = outcomes.allSpecies();
        for (Species each : {Species::Dog, Species::Cat, Species::Other})
            speciesDefaults.insert(each, store.speciesTexts(speciesText(each)));
    });
    // The kinds whose species is still to be decided come first.
    QStringList ordered;
    for (const bool undecided : {true, false}) {
        for (const QString& kind : kinds) {
            if ((savedSpecies.value(kind, Species::Unset) == Species::Unset) == undecided)
                ordered.append(kind);
        }
    }
    buildLayout(ordered);
    // Each kind is a page of its own: a kind changed counts even while another is shown.
    askBeforeDiscarding(this, messages, {breeds, species, proposeSpecies, items}, [this] {
        keepTyped();
        const auto speciesChanged = [this](const QString& kind) {
            return chosenSpecies.value(kind, Species::Unset) != savedSpecies.value(kind, Species::Unset);
        };
        const auto textsChanged = [this](const QString& kind) {
            return edited.value(kind) != saved.value(kind);
        };
        const QStringList chosen = chosenSpecies.keys();
        const QStringList typed = edited.keys();
        return std::any_of(chosen.cbegin(), chosen.cend(), speciesChanged) ||
               std::any_of(typed.cbegin(), typed.cend(), textsChanged);
    });
    chosenSpecies = savedSpecies;
    connect(proposeSpecies, &QPushButton::clicked, this,
            [this] { species->setCurrentIndex(species->findData(int(proposedSpecies(shownKind)))); });
    connect(species, &QComboBox::currentIndexChanged, this, &BreedInfoDialog::showProposal);
    connect(breeds, &QListWidget::currentTextChanged, this, &BreedInfoDialog::showKind);
    if (breeds->count() > 0)
        breeds->setCurrentRow(0);
}

void BreedInfoDialog::buildLayout(const QStringList& kinds)
{
    setObjectName(QStringLiteral("BreedInfo"));
    setWindowTitle(QStringLiteral("品種情報"));
    setFont(gothicFont(9));

    breeds = new QListWidget(this);
    breeds->setObjectName(QStringLiteral("breeds"));
    breeds->addItems(kinds);
    breeds->setMaximumWidth(220);
    breedName = new QLabel(this);
    breedName->setObjectName(QStringLiteral("breedName"));
    QFont bold = breedName->font();
    bold.setBold(true);
    breedName->setFont(bold);

    species = new QComboBox(this);
    species->setObjectName(QStringLiteral("species"));
    for (Species each : {Species::Unset, Species::Dog, Species::Cat, Species::Other})
        species->addItem(speciesText(each), int(each));
    proposeSpecies = new QPushButton(this);
    proposeSpecies->setObjectName(QStringLiteral("proposeSpecies"));
    auto* speciesRow = new QHBoxLayout;
    speciesRow->addWidget(new QLabel(QStringLiteral("種別"), this));
    speciesRow->addWidget(species);
    speciesRow->addWidget(proposeSpecies);
    speciesRow->addStretch(1);

    items = new ItemTexts(this);
    auto* hint =
        new QLabel(QStringLiteral("空欄の項目には、種別の標準の説明文（灰色の字）が使われます。"), this);
    auto* page = new QWidget(this);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(breedName);
    pageLayout->addLayout(speciesRow);
    pageLayout->addWidget(hint);
    pageLayout->addWidget(items);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);

    buttonBox = okCancelButtons(this);
    auto* columns = new QHBoxLayout;
    columns->addWidget(breeds);
    columns->addWidget(scroll, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttonBox);
    resize(860, 640);
}

void BreedInfoDialog::showKind(const QString& kind)
{
    keepTyped();
    if (!edited.contains(kind)) {
        BreedTexts stored;
        reportFailures(messages, this, [&] { stored = store.breedTexts(kind); });
        saved.insert(kind, stored);
        edited.insert(kind, stored);
    }
    shownKind = kind;
    breedName->setText(kind);
    species->setCurrentIndex(species->findData(int(chosenSpecies.value(kind, Species::Unset))));
    showProposal();
    items->setTexts(edited[kind]);
}

// What is typed for the shown kind is kept while the user looks at another.
void BreedInfoDialog::keepTyped()
{
    if (shownKind.isNull())
        return;
    chosenSpecies.insert(shownKind, Species(species->currentData().toInt()));
    edited[shownKind] = items->texts();
}

// A kind whose name says dog or cat gets a button to choose that; the choice stays the user's.
void BreedInfoDialog::showProposal()
{
    items->setPlaceholders(speciesDefaults.value(Species(species->currentData().toInt())));
    const Species proposal = proposedSpecies(shownKind);
    proposeSpecies->setText(QStringLiteral("「%1」にする").arg(speciesText(proposal)));
    proposeSpecies->setVisible(proposal != Species::Unset &&
                               Species(species->currentData().toInt()) != proposal);
}

void BreedInfoDialog::accept()
{
    keepTyped();
    const bool allSaved = reportFailures(messages, this, [&] {
        QMap<QString, Species> changed;
        for (auto kind = chosenSpecies.cbegin(); kind != chosenSpecies.cend(); ++kind) {
            if (*kind != savedSpecies.value(kind.key(), Species::Unset))
                changed.insert(kind.key(), *kind);
        }
        if (!changed.isEmpty()) {
            outcomes.saveSpecies(changed);
            savedSpecies.insert(changed);
        }
        for (auto kind = edited.cbegin(); kind != edited.cend(); ++kind) {
            if (kind.value() != saved.value(kind.key())) {
                store.saveBreedTexts(kind.key(), kind.value());
                saved.insert(kind.key(), kind.value());
            }
        }
    });
    if (allSaved)
        QDialog::accept();
}
