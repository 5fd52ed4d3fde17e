#include "store/Microchip.h"

#include "store/Failure.h"

namespace Microchip {

QString normalized(const QString& typed)
{
    QString digits = typed.trimmed();
    for (QChar& c : digits) {
        if (c >= QChar(u'０') && c <= QChar(u'９'))
            c = QChar(u'0' + (c.unicode() - u'０'));
        else if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw Failure(
                QStringLiteral("マイクロチップ番号には数字だけを入力してください（%1桁）。").arg(Digits));
    }
    if (!digits.isEmpty() && digits.size() != Digits)
        throw Failure(QStringLiteral("マイクロチップ番号は%1桁の数字です（入力は%2桁）。")
                          .arg(Digits)
                          .arg(digits.size()));
    return digits;
}

QString duplicateWarning(qint32 otherRecordNumber)
{
    return QStringLiteral(
               "このマイクロチップ番号は、カルテ %1 番にも登録されています。このまま保存しますか？")
        .arg(otherRecordNumber);
}

} // namespace Microchip
