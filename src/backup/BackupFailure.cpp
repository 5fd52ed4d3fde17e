#include "backup/BackupFailure.h"

namespace BackupFailure {

namespace {

Failure about(const QString& archive, const QString& text)
{
    return Failure(QStringLiteral("%1 (%2)").arg(text, archive));
}

} // namespace

Failure cannotReadArchive(const QString& archive)
{
    return about(archive, QStringLiteral("バックアップファイルを読み込めません。"));
}

Failure cannotWriteArchive(const QString& archive)
{
    return about(archive, QStringLiteral("バックアップファイルを書き込めません。"));
}

Failure tooLarge(const QString& archive)
{
    return about(archive,
                 QStringLiteral("ファイルが大きすぎます。ソラニカのバックアップファイルではありません。"));
}

Failure notZip(const QString& archive)
{
    return about(archive,
                 QStringLiteral("ソラニカのバックアップファイルではありません（ZIP 形式ではありません）。"));
}

Failure brokenZip(const QString& archive)
{
    return about(
        archive,
        QStringLiteral("バックアップファイルが壊れています（途中で切れているか、ZIP として読めません）。"));
}

Failure noManifest(const QString& archive)
{
    return about(archive, QStringLiteral("バックアップファイルに manifest.json がありません。"
                                         "ソラニカのバックアップファイルではありません。"));
}

Failure badManifest(const QString& archive, const QString& what)
{
    return about(archive,
                 QStringLiteral("バックアップファイルの manifest.json が正しくありません（%1）。").arg(what));
}

Failure newerFormat(const QString& archive)
{
    return about(
        archive,
        QStringLiteral("新しいバージョンのソラニカで作られたバックアップファイルのため、復元できません。"));
}

Failure missingEntry(const QString& archive, const QString& entry)
{
    return about(archive, QStringLiteral("バックアップファイルに %1 がありません。").arg(entry));
}

Failure unknownEntry(const QString& archive, const QString& entry)
{
    return about(
        archive,
        QStringLiteral("バックアップファイルに、ソラニカのものではない %1 が入っています。").arg(entry));
}

Failure brokenEntry(const QString& archive, const QString& entry, const QString& why)
{
    return about(archive, QStringLiteral("バックアップファイルの %1 が壊れています（%2）。").arg(entry, why));
}

Failure entryTooLarge(const QString& archive, const QString& entry, const QString& limit)
{
    return about(
        archive,
        QStringLiteral("バックアップファイルの %1 が大きすぎます（%2 までです）。").arg(entry, limit));
}

Failure partialRecord(const QString& archive, qint64 size)
{
    return about(archive, QStringLiteral("バックアップファイルの detapetto.dt が 964 バイトずつのカルテに"
                                         "分かれません（%L1 バイト）。")
                              .arg(size));
}

Failure tooManyRecords(const QString& archive, qint64 count)
{
    return about(
        archive,
        QStringLiteral("バックアップファイルの detapetto.dt のカルテが 32,767 件を超えています（%L1 件）。")
            .arg(count));
}

Failure notShiftJis(const QString& archive, const QString& entry, qint64 offset)
{
    return about(
        archive,
        QStringLiteral("バックアップファイルの %1 が Shift_JIS のテキストとして読めません（%L2 バイト目）。")
            .arg(entry)
            .arg(offset + 1));
}

Failure tooManyItems(const QString& archive, const QString& entry)
{
    return about(archive,
                 QStringLiteral("バックアップファイルの %1 の項目が 32,767 を超えています。").arg(entry));
}

Failure badShopIni(const QString& archive)
{
    return about(archive,
                 QStringLiteral("バックアップファイルの shop.ini（お店の情報）が正しくありません。"));
}

Failure backupFolder(const QString& folder)
{
    return about(folder, QStringLiteral("バックアップを保存するフォルダを作れません。"));
}

Failure safetyNotWritten(const Failure& cause)
{
    return Failure(
        QStringLiteral(
            "今のデータをバックアップできなかったため、復元しませんでした。データはそのままです。\n%1")
            .arg(cause.description()));
}

Failure restoreUndone(const Failure& cause)
{
    return Failure(
        QStringLiteral("復元できませんでした。データは復元する前のままです。\n%1").arg(cause.description()));
}

Failure restoreNotUndone(const Failure& cause, const QString& safetyArchive)
{
    return Failure(QStringLiteral("復元の途中で失敗し、元のデータにも戻せませんでした。"
                                  "ソラニカを起動し直すと、復元を最後まで行います。"
                                  "復元する前のデータは %1 に残っています。\n%2")
                       .arg(safetyArchive, cause.description()));
}

Failure saleInformationLeftOut(const QString& reason)
{
    return Failure(
        QStringLiteral("バックアップを作りましたが、販売情報（マイクロチップ・購入者）は入っていません。\n%1")
            .arg(reason));
}

Failure dailyBackupFailed(const Failure& cause)
{
    return Failure(
        QStringLiteral("今日の自動バックアップを作れませんでした。次に起動したときにもう一度作ります。\n%1")
            .arg(cause.description()));
}

} // namespace BackupFailure
