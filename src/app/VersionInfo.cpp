#include "app/VersionInfo.h"

#include "app/Application.h"
#include "backup/ZipArchive.h"
#include "platform/CodePage932.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

#include <qcustomplot.h>

namespace {

// The version of the SQLite that Qt's driver runs, asked of an empty database in memory.
QString sqliteVersion()
{
    const QString connection = QUuid::createUuid().toString();
    QString version;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT sqlite_version()")) && query.next())
                version = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return version.isEmpty() ? QStringLiteral("（不明）") : version;
}

} // namespace

QString versionInfoText()
{
    QStringList components{
        QStringLiteral("Qt %1（LGPL-3）").arg(QString::fromLatin1(qVersion())),
        QStringLiteral("QCustomPlot %1（GPL-3）").arg(QStringLiteral(QCUSTOMPLOT_VERSION_STR)),
        QStringLiteral("SQLite %1（パブリックドメイン）").arg(sqliteVersion()),
        QStringLiteral("libzip %1（BSD-3-Clause）").arg(zipLibraryVersion()),
    };
    const QString converter = CodePage932::converterName();
    if (!converter.isEmpty())
        components.append(QStringLiteral("%1（ICU ライセンス）").arg(converter));
    return QStringLiteral("ソラニカ バージョン %1\nペットショップのカルテ管理プログラム\n\n"
                          "ライセンス：GNU General Public License バージョン 3 以降（GPL-3.0-or-later）\n"
                          "このプログラムはフリーソフトウェアです。ライセンスの条件のもとで、自由に"
                          "コピー・変更・再配布できます。無保証です。ライセンスの全文は LICENSE に"
                          "あります。\n\n使用している部品：\n%2")
        .arg(ProgramVersion, components.join(QLatin1Char('\n')));
}
