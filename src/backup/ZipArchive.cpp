#include "backup/ZipArchive.h"

#include "backup/BackupFailure.h"
#include "backup/ZipFunctions.h"

#include <QFile>

#include <algorithm>
#include <limits>

namespace {

// The fastest deflate level: a full record file packs in about 0.6 s instead of 1.8 s at the default
// level, and the archive stays under 1 MB.
constexpr zip_uint32_t CompressionLevel = 1;

struct SourceFree
{
    void operator()(zip_source_t* source) const { zipLibrary().zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

struct Discard
{
    void operator()(zip_t* archive) const { zipLibrary().zip_discard(archive); }
};

struct FileClose
{
    void operator()(zip_file_t* file) const { zipLibrary().zip_fclose(file); }
};

// What is read from an entry in one go while it is unpacked.
constexpr qint64 ChunkSize = qint64(1) << 20;

// libzip takes file names in UTF-8 on every system (on Windows it converts them for the system itself).
QByteArray zipName(const QString& path)
{
    return path.toUtf8();
}

} // namespace

QString zipLibraryVersion()
{
    return QString::fromLatin1(zipLibrary().zip_libzip_version());
}

void writeZip(const QList<NamedBytes>& entries, const QDateTime& modified, const QString& path,
              const QString& archiveName)
{
    int error = 0;
    std::unique_ptr<zip_t, Discard> archive(
        zipLibrary().zip_open(zipName(path).constData(), ZIP_CREATE | ZIP_EXCL, &error));
    if (!archive)
        throw BackupFailure::cannotWriteArchive(archiveName);
    for (const NamedBytes& entry : entries) {
        // A file on disk is read only when the archive is written, a piece at a time.
        Source data(entry.path.isEmpty() ? zipLibrary().zip_source_buffer(
                                               archive.get(), entry.bytes.constData(), entry.bytes.size(), 0)
                                         : zipLibrary().zip_source_file(
                                               archive.get(), zipName(entry.path).constData(), 0, -1));
        if (!data)
            throw BackupFailure::cannotWriteArchive(archiveName);
        const zip_int64_t index = zipLibrary().zip_file_add(archive.get(), entry.name.toUtf8().constData(),
                                                            data.get(), ZIP_FL_ENC_UTF_8);
        if (index < 0)
            throw BackupFailure::cannotWriteArchive(archiveName);
        // The archive owns the source once the entry is added.
        (void)data.release();
        if (zipLibrary().zip_set_file_compression(archive.get(), index, ZIP_CM_DEFLATE, CompressionLevel) <
                0 ||
            zipLibrary().zip_file_set_mtime(archive.get(), index, modified.toSecsSinceEpoch(), 0) < 0)
            throw BackupFailure::cannotWriteArchive(archiveName);
    }
    // A full disk shows here, and libzip then leaves no file behind.
    if (zipLibrary().zip_close(archive.get()) < 0)
        throw BackupFailure::cannotWriteArchive(archiveName);
    (void)archive.release();
}

void ZipReader::Closer::operator()(zip* archive) const
{
    zipLibrary().zip_discard(archive);
}

ZipReader::ZipReader(const QString& path, QString archiveName) : archiveName(std::move(archiveName))
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BackupFailure::cannotReadArchive(this->archiveName);
    // Every archive this program writes starts with an entry's local header.
    if (file.read(4) != QByteArrayLiteral("PK\x03\x04"))
        throw BackupFailure::notZip(this->archiveName);
    int error = 0;
    archive.reset(zipLibrary().zip_open(zipName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        if (error == ZIP_ER_OPEN || error == ZIP_ER_READ || error == ZIP_ER_MEMORY)
            throw BackupFailure::cannotReadArchive(this->archiveName);
        throw BackupFailure::brokenZip(this->archiveName);
    }
}

ZipReader::~ZipReader() = default;

QStringList ZipReader::names() const
{
    QStringList names;
    const zip_int64_t count = zipLibrary().zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zipLibrary().zip_get_name(archive.get(), i, ZIP_FL_ENC_GUESS);
        if (!name)
            throw BackupFailure::brokenZip(archiveName);
        names.append(QString::fromUtf8(name));
    }
    return names;
}

bool ZipReader::contains(const QString& name) const
{
    return zipLibrary().zip_name_locate(archive.get(), name.toUtf8().constData(), ZIP_FL_ENC_GUESS) >= 0;
}

qint64 ZipReader::statedSize(const QString& name) const
{
    const zip_int64_t index =
        zipLibrary().zip_name_locate(archive.get(), name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
    zip_stat_t stat;
    zipLibrary().zip_stat_init(&stat);
    if (index < 0 || zipLibrary().zip_stat_index(archive.get(), index, 0, &stat) < 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(std::numeric_limits<qint64>::max()))
        throw BackupFailure::brokenZip(archiveName);
    return qint64(stat.size);
}

void ZipReader::stream(const QString& name, qint64 maxSize,
                       const std::function<bool(const char*, qint64)>& take) const
{
    const QString broken = QStringLiteral("読み込めません");
    const zip_int64_t index =
        zipLibrary().zip_name_locate(archive.get(), name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
    if (index < 0)
        throw BackupFailure::missingEntry(archiveName, name);
    zip_stat_t stat;
    zipLibrary().zip_stat_init(&stat);
    if (zipLibrary().zip_stat_index(archive.get(), index, 0, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE))
        throw BackupFailure::brokenEntry(archiveName, name, broken);
    if (stat.size > zip_uint64_t(maxSize))
        throw BackupFailure::brokenEntry(archiveName, name, QStringLiteral("大きすぎます"));

    const std::unique_ptr<zip_file_t, FileClose> file(zipLibrary().zip_fopen_index(archive.get(), index, 0));
    if (!file)
        throw BackupFailure::brokenEntry(archiveName, name, broken);
    QByteArray chunk(qsizetype(std::min<zip_uint64_t>(stat.size, ChunkSize)), Qt::Uninitialized);
    for (qint64 left = qint64(stat.size); left > 0;) {
        // Never more than the directory states: an entry that decompresses to more is broken.
        const zip_int64_t got =
            zipLibrary().zip_fread(file.get(), chunk.data(), std::min<qint64>(left, chunk.size()));
        if (got <= 0)
            throw BackupFailure::brokenEntry(archiveName, name, broken);
        if (!take(chunk.constData(), got))
            throw Failure(QStringLiteral("一時ファイルを作れません。 (%1)").arg(name));
        left -= got;
    }
    // Reading on to the end is what makes the library compare the CRC.
    char more;
    if (zipLibrary().zip_fread(file.get(), &more, 1) != 0)
        throw BackupFailure::brokenEntry(archiveName, name, broken);
}

QByteArray ZipReader::read(const QString& name, qint64 maxSize) const
{
    QByteArray bytes;
    // One allocation of the stated size, not a buffer grown (and copied) as pieces arrive.
    if (contains(name) && statedSize(name) <= maxSize)
        bytes.reserve(statedSize(name));
    stream(name, maxSize, [&](const char* data, qint64 size) {
        bytes.append(data, size);
        return true;
    });
    return bytes;
}

void ZipReader::extract(const QString& name, qint64 maxSize, const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw Failure(QStringLiteral("一時ファイルを作れません。 (%1)").arg(name));
    stream(name, maxSize, [&](const char* data, qint64 size) { return file.write(data, size) == size; });
    if (!file.flush())
        throw Failure(QStringLiteral("一時ファイルを作れません。 (%1)").arg(name));
}
