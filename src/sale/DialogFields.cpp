#include "sale/DialogFields.h"

#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/Failure.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

QLineEdit* namedBox(QWidget* parent, const char* name, const QString& placeholder)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(placeholder);
    return box;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    return buttons;
}

SheetButtons sheetButtons(QDialog* dialog)
{
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    box->setObjectName(QStringLiteral("buttonBox"));
    const auto add = [&](const QString& text, const char* name) {
        QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    QPushButton* print = add(QStringLiteral("印刷(&P)..."), "print");
    QPushButton* pdf = add(QStringLiteral("PDFに保存..."), "savePdf");
    QPushButton* csv = add(QStringLiteral("CSVに書き出す(&E)..."), "saveCsv");
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return {box, print, pdf, csv};
}

QDate typedDate(const QLineEdit* box, const QString& field)
{
    if (box->text().trimmed().isEmpty())
        return {};
    const QDate date = readShopDate(box->text());
    if (!date.isValid())
        throw Failure(QStringLiteral("%1は日付で入力してください（例：2026/12/7）。").arg(field));
    return date;
}

QString dateBoxText(const QDate& date)
{
    return dateText(date);
}
