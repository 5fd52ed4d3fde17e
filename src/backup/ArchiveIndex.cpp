#include "backup/ArchiveIndex.h"

#include "backup/BackupArchive.h"
#include "backup/WholeFile.h"
#include "store/Failure.h"
#include "store/RegularFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// Far above any archive the program writes; a larger file under an archive's name is not ours.
constexpr qint64 MaxArchiveSize = qint64(1) << 30;

// The parts of an archive's name as this program writes it: the time in it (yyyyMMdd for a daily
// archive, yyyyMMdd_HHmmss after "restore-before-") and the number after it, 0 for none. Read by hand:
// a regular expression would load its library at every start, when the daily backup looks at its
// archives.
struct NameParts
{
    QString time;
    int number = 0;
};

std::optional<NameParts> partsOf(ArchiveIndex::Kind kind, const QString& fileName)
{
    const bool daily = kind == ArchiveIndex::Kind::Daily;
    const QLatin1StringView prefix(daily ? "" : "restore-before-");
    const QLatin1StringView suffix(".zip");
    // 9 for a digit.
    const QLatin1StringView shape(daily ? "99999999" : "99999999_999999");
    if (fileName.size() < prefix.size() + shape.size() + suffix.size() || !fileName.startsWith(prefix) ||
        !fileName.endsWith(suffix))
        return std::nullopt;
    const QStringView rest = QStringView(fileName).sliced(prefix.size()).chopped(suffix.size());
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    for (qsizetype at = 0; at < shape.size(); ++at) {
        if (shape[at] == QLatin1Char('9') ? !isDigit(rest[at]) : rest[at] != shape[at])
            return std::nullopt;
    }
    const QStringView number = rest.sliced(shape.size());
    if (!number.isEmpty() && (number.size() < 2 || number[0] != QLatin1Char('-') ||
                              !std::all_of(number.begin() + 1, number.end(), isDigit)))
        return std::nullopt;
    return NameParts{rest.left(shape.size()).toString(), number.isEmpty() ? 0 : number.sliced(1).toInt()};
}

QByteArray sha256Of(const QString& path)
{
    const std::optional<QByteArray> sha256 = WholeFile::sha256(path);
    return sha256 ? sha256->toHex() : QByteArray();
}

// The time an archive of an older version was written, as its name says it, when it has no number
// after it: older versions never wrote one.
QString timeInName(const QString& fileName)
{
    for (const ArchiveIndex::Kind kind : {ArchiveIndex::Kind::Daily, ArchiveIndex::Kind::BeforeRestore}) {
        if (const std::optional<NameParts> parts = partsOf(kind, fileName); parts && parts->number == 0)
            return parts->time;
    }
    return {};
}

} // namespace

ArchiveIndex::ArchiveIndex(const QDir& folder, const QStringList& dataNames) : folder(folder)
{
    const std::optional<QByteArray> text = WholeFile::read(folder.filePath(FileName), MaxArchiveSize);
    if (!text) {
        adoptOlderArchives(dataNames);
        return;
    }
    for (const QByteArray& line : text->split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 3)
            list.append({QString::fromUtf8(fields[0]), fields[1], fields[2]});
    }
}

bool ArchiveIndex::isNameOf(Kind kind, const QString& fileName)
{
    const std::optional<NameParts> parts = partsOf(kind, fileName);
    return parts &&
           (kind != Kind::Daily || QDate::fromString(parts->time, QStringLiteral("yyyyMMdd")).isValid());
}

int ArchiveIndex::dailyNumber(const QString& fileName, const QDate& day)
{
    const std::optional<NameParts> parts = partsOf(Kind::Daily, fileName);
    if (!parts || parts->time != day.toString(QStringLiteral("yyyyMMdd")))
        return 0;
    return std::max(parts->number, 1);
}

const ArchiveIndex::Entry* ArchiveIndex::newest(Kind kind) const
{
    for (auto entry = list.crbegin(); entry != list.crend(); ++entry) {
        if (isNameOf(kind, entry->name))
            return &*entry;
    }
    return nullptr;
}

void ArchiveIndex::add(Entry entry)
{
    list.removeIf([&](const Entry& each) { return each.name == entry.name; });
    list.append(std::move(entry));
    save();
}

void ArchiveIndex::prune(Kind kind, int kept, const QString& keep)
{
    QList<Entry> remaining;
    int newer = 0;
    for (auto entry = list.crbegin(); entry != list.crend(); ++entry) {
        if (!isNameOf(kind, entry->name)) {
            remaining.prepend(*entry);
            continue;
        }
        if (entry->name != keep && !QFileInfo::exists(folder.filePath(entry->name)))
            continue;
        if (entry->name == keep || newer < kept) {
            ++newer;
            remaining.prepend(*entry);
            continue;
        }
        // A file that no longer has the bytes the program wrote is the user's now: forgotten, kept.
        if (stillOurs(*entry) && !QFile::remove(folder.filePath(entry->name)))
            remaining.prepend(*entry);
    }
    list = remaining;
    save();
}

void ArchiveIndex::adoptOlderArchives(const QStringList& dataNames)
{
    QList<std::pair<QDateTime, Entry>> found;
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::NoSymLinks)) {
        const QString time = timeInName(file.fileName());
        if (time.isEmpty())
            continue;
        try {
            const BackupContents contents =
                BackupArchive::decode(file.filePath(), file.fileName(), dataNames);
            const QDateTime created = contents.created.toLocalTime();
            const QString written = created.toString(time.size() == 8 ? QStringLiteral("yyyyMMdd")
                                                                      : QStringLiteral("yyyyMMdd_HHmmss"));
            if (written == time)
                found.append(
                    {created, {file.fileName(), sha256Of(file.filePath()), contents.data.fingerprint()}});
        } catch (const Failure&) {
            // Not an archive the program could have written: the user's, left alone.
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [created, entry] : found)
        list.append(entry);
    save();
}

void ArchiveIndex::save() const
{
    QByteArray text;
    for (const Entry& entry : list)
        text += entry.name.toUtf8() + '\t' + entry.archiveSha256 + '\t' + entry.dataFingerprint + '\n';
    if (!RegularFile::write(folder.filePath(FileName), text, RegularFile::Readers::OwnerOnly))
        qWarning("The list of backup archives could not be saved in %s.", qUtf8Printable(folder.path()));
}

bool ArchiveIndex::stillOurs(const Entry& entry) const
{
    const QFileInfo file(folder.filePath(entry.name));
    return file.isFile() && !file.isSymLink() && sha256Of(file.filePath()) == entry.archiveSha256;
}
