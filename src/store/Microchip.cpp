#include "store/Microchip.h"

#include "store/Failure.h"

#include <QRegularExpression>

#include <utility>

namespace Microchip {

QString normalized(const QString& typed)
{
    // The number is often copied from the chip's paper in groups ("392 141 000 123 456",
    // "392-141-000-123-456"); the input method may give full-width digits and a long-vowel mark for
    // the hyphen key.
    QString digits = typed.normalized(QString::NormalizationForm_KC);
    static const QRegularExpression separators(
        QStringLiteral("[\\s\\-\\x{2010}-\\x{2015}\\x{2212}\\x{30FC}]"));
    digits.remove(separators);
    for (const QChar c : std::as_const(digits)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw Failure(
                QStringLiteral("マイクロチップ番号には数字だけを入力してください（%1桁）。").arg(Digits));
    }
    if (!digits.isEmpty() && digits.size() != Digits)
        throw Failure(QStringLiteral("マイクロチップ番号は%1桁の数字です（入力は%2桁）。")
                          .arg(Digits)
                          .arg(digits.size()));
    // No chip carries a number of zeros; it is a placeholder typed to get past the box.
    if (!digits.isEmpty() && digits.count(QLatin1Char('0')) == Digits)
        throw Failure(
            QStringLiteral("マイクロチップ番号がすべて0です。チップの%1桁の番号を入力してください。")
                .arg(Digits));
    return digits;
}

QString duplicateWarning(qint32 otherRecordNumber)
{
    return QStringLiteral(
               "このマイクロチップ番号は、カルテ %1 番にも登録されています。このまま保存しますか？")
        .arg(otherRecordNumber);
}

} // namespace Microchip
