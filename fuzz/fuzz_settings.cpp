// The shop settings file as anything may have left it: every value reads without a crash, a
// save goes through and reads back, and the values not saved read as they did before.

#include "fuzz/FuzzCheck.h"
#include "fuzz/Workspace.h"
#include "store/Failure.h"
#include "store/ShopSettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A folder of its own for every input: QSettings keeps each file it read in memory and would
    // not read a file of the same size written within the same millisecond again.
    static int run = 0;
    const QString folder = fuzzWorkspace().dir.filePath(QStringLiteral("settings%1").arg(++run));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    FUZZ_CHECK(QDir().mkpath(folder + QStringLiteral("/soranika")));
    {
        QFile file(ShopSettings::fileName());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }

    QStringList before;
    for (const QString& key : ShopSettings::Keys)
        before.append(ShopSettings::get(key));
    const QString value = QStringLiteral("東京都港区, \"芝\" ;=@1");
    ShopSettings::save(QStringLiteral("myd2"), value);
    for (int i = 0; i < 4; ++i)
        FUZZ_CHECK(ShopSettings::get(ShopSettings::Keys[i]) == (i == 1 ? value : before[i]));

    FUZZ_CHECK(QDir(folder).removeRecursively());
    return 0;
}
