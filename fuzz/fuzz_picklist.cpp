// Pick-list files read and written back: any bytes read as items; writing the items and reading
// them again keeps their number, and a second round changes nothing; an appended item comes
// back as one more item after all the others, whatever the file ended with.

#include "fuzz/FuzzCheck.h"
#include "fuzz/Workspace.h"
#include "store/PickListFile.h"
#include "store/Sjis.h"

#include <QFile>

#include <cstdint>

namespace {

QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList items = PickListFile::decodeLines(original);
    const QByteArray written = PickListFile::encodeLines(items);
    const QStringList reread = PickListFile::decodeLines(written);
    FUZZ_CHECK(reread.size() == items.size());
    FUZZ_CHECK(PickListFile::encodeLines(reread) == written);

    const QString name = fuzzWorkspace().dir.filePath(QStringLiteral("syurui.txt"));
    {
        QFile file(name);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(original) == original.size());
    }
    FUZZ_CHECK(PickListFile::readItems(name) == items);
    const QString item = QStringLiteral("柴犬 ﾁﾜﾜ");
    PickListFile::appendItem(name, item);
    const QByteArray appended = fileBytes(name);
    FUZZ_CHECK(appended.startsWith(original));
    FUZZ_CHECK(appended.endsWith(Sjis::encode(item) + "\r\n"));
    FUZZ_CHECK(PickListFile::readItems(name) == QStringList(items) << item);

    PickListFile::rewrite(name, reread);
    FUZZ_CHECK(fileBytes(name) == written);
    return 0;
}
