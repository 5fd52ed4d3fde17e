#pragma once

#include <QString>

// What the chart screen's status line says after a file was written or read back; the file's name
// follows.
namespace Notices {

inline const QString BackupCreated = QStringLiteral("バックアップを作成しました");
inline const QString BackupRestored = QStringLiteral("バックアップから復元しました");
inline const QString CsvWritten = QStringLiteral("CSVに書き出しました");
inline const QString PdfSaved = QStringLiteral("PDFに保存しました");

} // namespace Notices
