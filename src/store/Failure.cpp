#include "store/Failure.h"

Failure::Failure(QString description) : text(std::move(description)), utf8(text.toUtf8())
{
}

Failure Failure::badRecordNumber()
{
    return Failure(QStringLiteral("レコード番号が不正です。"));
}

Failure Failure::overflow()
{
    return Failure(QStringLiteral("オーバーフローしました。"));
}

Failure Failure::typeMismatch()
{
    return Failure(QStringLiteral("型が一致しません。"));
}

Failure Failure::fileNotFound(const QString& fileName)
{
    return Failure(QStringLiteral("ファイルが見つかりません。 (%1)").arg(fileName));
}

Failure Failure::cannotOpen(const QString& fileName)
{
    return Failure(QStringLiteral("ファイルを開けません。 (%1)").arg(fileName));
}

Failure Failure::cannotRead(const QString& fileName)
{
    return Failure(QStringLiteral("ファイルを読み込めません。 (%1)").arg(fileName));
}

Failure Failure::cannotWrite(const QString& fileName)
{
    return Failure(QStringLiteral("ファイルに書き込めません。 (%1)").arg(fileName));
}

DamagedDatabase::DamagedDatabase(QString shownName)
    : Failure(QStringLiteral("データベースが壊れています。 (%1)").arg(shownName)), name(std::move(shownName))
{
}

Failure Failure::cannotWriteNorUndo(const QString& fileName)
{
    return Failure(QStringLiteral("ファイルに書き込めません。書きかけの内容を取り除けませんでした。 (%1)")
                       .arg(fileName));
}
