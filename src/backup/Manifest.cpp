#include "backup/Manifest.h"

#include "backup/BackupFailure.h"
#include "backup/WholeFile.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace {

const QString Program = QStringLiteral("soranika");

// JSON numbers are doubles: whole numbers up to 2^53 are exact.
bool isCount(const QJsonValue& value)
{
    const double number = value.toDouble(-1);
    return value.isDouble() && number >= 0 && number <= 9007199254740992.0 && std::floor(number) == number;
}

bool isSha256(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return hex.match(text).hasMatch();
}

class Reader
{
public:
    explicit Reader(QString archiveName) : archiveName(std::move(archiveName)) {}

    [[noreturn]] void wrong(const QString& key) const
    {
        throw BackupFailure::badManifest(archiveName, QStringLiteral("「%1」の値").arg(key));
    }

    QString text(const QJsonObject& object, const QString& key) const
    {
        if (!object.value(key).isString())
            wrong(key);
        return object.value(key).toString();
    }

    qint64 count(const QJsonObject& object, const QString& key) const
    {
        if (!isCount(object.value(key)))
            wrong(key);
        return qint64(object.value(key).toDouble());
    }

    QString archiveName;
};

} // namespace

Manifest::Entry Manifest::describe(const NamedBytes& file)
{
    if (file.path.isEmpty())
        return {file.name, file.bytes.size(),
                QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha256).toHex()};
    const std::optional<QByteArray> sha256 = WholeFile::sha256(file.path);
    if (!sha256)
        throw Failure::cannotRead(file.name);
    return {file.name, QFileInfo(file.path).size(), sha256->toHex()};
}

QByteArray Manifest::toJson() const
{
    QJsonArray list;
    for (const Entry& entry : entries) {
        list.append(QJsonObject{{QStringLiteral("name"), entry.name},
                                {QStringLiteral("size"), entry.size},
                                {QStringLiteral("sha256"), QString::fromLatin1(entry.sha256)}});
    }
    const QDateTime withOffset = created.toOffsetFromUtc(created.offsetFromUtc());
    QJsonObject manifest{{QStringLiteral("format"), Format},
                         {QStringLiteral("program"), Program},
                         {QStringLiteral("version"), programVersion},
                         {QStringLiteral("created"), withOffset.toString(Qt::ISODate)},
                         {QStringLiteral("recordCount"), recordCount},
                         {QStringLiteral("entries"), list}};
    if (!saleInformationMissing.isEmpty())
        manifest.insert(QStringLiteral("saleInformationMissing"), saleInformationMissing);
    return QJsonDocument(manifest).toJson();
}

Manifest Manifest::fromJson(const QByteArray& json, const QString& archiveName)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw BackupFailure::badManifest(archiveName, QStringLiteral("JSON として読めません"));
    const QJsonObject object = document.object();
    const Reader read(archiveName);

    if (!isCount(object.value(QStringLiteral("format"))))
        read.wrong(QStringLiteral("format"));
    if (object.value(QStringLiteral("format")).toInt() > Format)
        throw BackupFailure::newerFormat(archiveName);
    if (object.value(QStringLiteral("format")).toInt() != Format ||
        read.text(object, QStringLiteral("program")) != Program)
        throw BackupFailure::badManifest(archiveName, QStringLiteral("ソラニカのバックアップではありません"));

    Manifest manifest;
    manifest.programVersion = read.text(object, QStringLiteral("version"));
    manifest.created = QDateTime::fromString(read.text(object, QStringLiteral("created")), Qt::ISODate);
    if (!manifest.created.isValid())
        read.wrong(QStringLiteral("created"));
    manifest.recordCount = read.count(object, QStringLiteral("recordCount"));

    // Optional: only a backup made without the sale information has it.
    if (object.contains(QStringLiteral("saleInformationMissing")))
        manifest.saleInformationMissing = read.text(object, QStringLiteral("saleInformationMissing"));

    if (!object.value(QStringLiteral("entries")).isArray())
        read.wrong(QStringLiteral("entries"));
    QSet<QString> seen;
    for (const QJsonValue& value : object.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject item = value.toObject();
        Entry entry{read.text(item, QStringLiteral("name")), read.count(item, QStringLiteral("size")),
                    read.text(item, QStringLiteral("sha256")).toLatin1()};
        if (!isSha256(QString::fromLatin1(entry.sha256)))
            read.wrong(QStringLiteral("sha256"));
        if (entry.name.isEmpty() || seen.contains(entry.name))
            read.wrong(QStringLiteral("name"));
        seen.insert(entry.name);
        manifest.entries.append(entry);
    }
    return manifest;
}
