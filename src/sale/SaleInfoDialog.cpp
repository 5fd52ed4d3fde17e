#include "sale/SaleInfoDialog.h"

#include "sale/DialogFields.h"
#include "store/Failure.h"
#include "store/Microchip.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString DatePlaceholder = QStringLiteral("例：2026/12/7");

} // namespace

SaleInfoDialog::SaleInfoDialog(SaleStore& store, MessageBoxes& messages, qint32 number,
                               const PetRecord& record, QWidget* parent)
    : QDialog(parent), store(store), messages(messages), number(number), animal(SaleAnimal::of(record))
{
    buildLayout(number, animal.kind);
    askBeforeDiscarding(this, messages);
    // A store that cannot be read shows why; the dialog then opens empty.
    reportFailures(messages, parent, [&] { loaded = store.chartSale(number); });
    showSale(loaded);
    // Information of another animal is shown, so that the shop can tell, and cleared only on request.
    if (!loaded.isFor(record))
        otherAnimalSale = loaded;
    mismatch->setVisible(otherAnimalSale.has_value());
    clearButton->setVisible(otherAnimalSale.has_value());
}

void SaleInfoDialog::buildLayout(qint32 chart, const QString& kind)
{
    setObjectName(QStringLiteral("SaleInfo"));
    setWindowTitle(QStringLiteral("マイクロチップ・販売情報"));
    setFont(gothicFont(9));

    microchip = namedBox(this, "microchip", QStringLiteral("15桁の数字"));
    microchip->setMaxLength(40);
    chipImplanted = namedBox(this, "chipImplanted", DatePlaceholder);
    chipRegistered = namedBox(this, "chipRegistered", DatePlaceholder);
    chipCertificateOn = namedBox(this, "chipCertificateOn", DatePlaceholder);
    neutered = new QCheckBox(QStringLiteral("実施済み"), this);
    neutered->setObjectName(QStringLiteral("neutered"));
    neuteredOn = namedBox(this, "neuteredOn", DatePlaceholder);
    owner = namedBox(this, "owner", QStringLiteral("お店が所有者でないときだけ"));
    hereditary = new QPlainTextEdit(this);
    hereditary->setObjectName(QStringLiteral("hereditary"));
    hereditary->setTabChangesFocus(true);
    hereditary->setFixedHeight(60);
    buyerName = namedBox(this, "buyerName");
    buyerAddress = namedBox(this, "buyerAddress");
    buyerPhone = namedBox(this, "buyerPhone");
    explainedOn = namedBox(this, "explainedOn", DatePlaceholder);
    breederName = namedBox(this, "breederName");
    breederReg = namedBox(this, "breederReg", QStringLiteral("登録番号または住所"));
    sellerName = namedBox(this, "sellerName");
    sellerReg = namedBox(this, "sellerReg", QStringLiteral("登録番号または住所"));
    buttonBox = okCancelButtons(this);
    mismatch =
        new QLabel(ChartSale::Mismatch + QStringLiteral("。前の動物の情報なら「消去」してください。"), this);
    mismatch->setObjectName(QStringLiteral("mismatch"));
    mismatch->setWordWrap(true);
    mismatch->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    clearButton = new QPushButton(QStringLiteral("消去(&D)"), this);
    clearButton->setObjectName(QStringLiteral("clearSale"));
    clearButton->setAutoDefault(false);
    connect(clearButton, &QPushButton::clicked, this, &SaleInfoDialog::clearSale);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("カルテ"),
                 new QLabel(QStringLiteral("%1 番　%2").arg(chart).arg(kind), this));
    form->addRow(QStringLiteral("マイクロチップ番号(&M)"), microchip);
    form->addRow(QStringLiteral("装着日"), chipImplanted);
    form->addRow(QStringLiteral("データベース登録日"), chipRegistered);
    form->addRow(QStringLiteral("登録証明書の交付日"), chipCertificateOn);
    form->addRow(QStringLiteral("不妊・去勢措置"), neutered);
    form->addRow(QStringLiteral("措置の日"), neuteredOn);
    form->addRow(QStringLiteral("所有者（お店以外）"), owner);
    form->addRow(QStringLiteral("親・同腹子の遺伝性疾患"), hereditary);
    form->addRow(QStringLiteral("購入者氏名(&N)"), buyerName);
    form->addRow(QStringLiteral("購入者住所"), buyerAddress);
    form->addRow(QStringLiteral("購入者電話"), buyerPhone);
    form->addRow(QStringLiteral("説明書交付日"), explainedOn);
    form->addRow(QStringLiteral("繁殖者の氏名（輸入は輸出者）"), breederName);
    form->addRow(QStringLiteral("繁殖者の登録番号・住所"), breederReg);
    form->addRow(QStringLiteral("仕入れた相手の氏名"), sellerName);
    form->addRow(QStringLiteral("仕入れた相手の登録番号・住所"), sellerReg);
    auto* layout = new QVBoxLayout(this);
    auto* warning = new QHBoxLayout;
    warning->addWidget(mismatch, 1);
    warning->addWidget(clearButton);
    layout->addLayout(warning);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    resize(520, sizeHint().height());
}

void SaleInfoDialog::showSale(const ChartSale& sale)
{
    microchip->setText(sale.microchip);
    chipImplanted->setText(dateBoxText(sale.chipImplanted));
    chipRegistered->setText(dateBoxText(sale.chipRegistered));
    chipCertificateOn->setText(dateBoxText(sale.chipCertificateOn));
    neutered->setChecked(sale.neutered);
    neuteredOn->setText(dateBoxText(sale.neuteredOn));
    owner->setText(sale.owner);
    hereditary->setPlainText(sale.hereditary);
    buyerName->setText(sale.buyerName);
    buyerAddress->setText(sale.buyerAddress);
    buyerPhone->setText(sale.buyerPhone);
    explainedOn->setText(dateBoxText(sale.explainedOn));
    breederName->setText(sale.breederName);
    breederReg->setText(sale.breederReg);
    sellerName->setText(sale.sellerName);
    sellerReg->setText(sale.sellerReg);
}

// Reads the boxes in the dialog's order; a box that does not read is remembered, so the focus can go
// back to it after the message.
ChartSale SaleInfoDialog::typedSale()
{
    const auto read = [this](QLineEdit* box, auto reading) {
        try {
            return reading();
        } catch (const Failure&) {
            refusedBox = box;
            throw;
        }
    };
    const auto date = [&](QLineEdit* box, const QString& field) {
        return read(box, [&] { return typedDate(box, field); });
    };
    ChartSale sale = loaded;
    sale.microchip = read(microchip, [this] { return Microchip::normalized(microchip->text()); });
    sale.chipImplanted = date(chipImplanted, QStringLiteral("装着日"));
    sale.chipRegistered = date(chipRegistered, QStringLiteral("データベース登録日"));
    sale.chipCertificateOn = date(chipCertificateOn, QStringLiteral("登録証明書の交付日"));
    sale.neutered = neutered->isChecked();
    sale.neuteredOn = date(neuteredOn, QStringLiteral("措置の日"));
    sale.owner = owner->text();
    sale.hereditary = hereditary->toPlainText();
    sale.buyerName = buyerName->text();
    sale.buyerAddress = buyerAddress->text();
    sale.buyerPhone = buyerPhone->text();
    sale.explainedOn = date(explainedOn, QStringLiteral("説明書交付日"));
    sale.breederName = breederName->text();
    sale.breederReg = breederReg->text();
    sale.sellerName = sellerName->text();
    sale.sellerReg = sellerReg->text();
    sale.animal = animal;
    return sale;
}

// Two charts with one microchip number is most likely a typing slip, but the user decides.
bool SaleInfoDialog::otherChartConfirmed(const QString& chip)
{
    const std::optional<qint32> other = store.chartWithMicrochip(chip, number);
    return !other || messages.ask(this, Microchip::duplicateWarning(*other), QStringLiteral("ソラニカ"),
                                  MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning,
                                  MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}

// Saving another animal's information unchanged makes it this animal's: the shop says so first.
bool SaleInfoDialog::otherAnimalConfirmed(const ChartSale& sale)
{
    if (!otherAnimalSale || sale.isEmpty())
        return true;
    ChartSale before = *otherAnimalSale;
    before.animal = sale.animal;
    return before != sale ||
           messages.ask(
               this, ChartSale::Mismatch + QStringLiteral("。この動物の販売情報として保存しますか？"),
               QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning,
               MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}

void SaleInfoDialog::clearSale()
{
    showSale(ChartSale());
    microchip->setFocus();
}

void SaleInfoDialog::accept()
{
    bool saved = false;
    refusedBox = nullptr;
    reportFailures(messages, this, [&] {
        const ChartSale sale = typedSale();
        if (!otherAnimalConfirmed(sale))
            return;
        if (!otherChartConfirmed(sale.microchip)) {
            refusedBox = microchip;
            return;
        }
        store.saveChartSale(number, sale);
        saved = true;
    });
    if (saved) {
        QDialog::accept();
        return;
    }
    // The next typing goes into the field the message was about, not the one Enter was pressed in.
    if (refusedBox != nullptr) {
        refusedBox->setFocus(Qt::OtherFocusReason);
        refusedBox->selectAll();
    }
}
