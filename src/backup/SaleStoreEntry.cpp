#include "backup/SaleStoreEntry.h"

#include "backup/SaleDatabaseCopy.h"
#include "store/Failure.h"
#include "store/SaleStore.h"

#include <QFileInfo>

ExtraEntry saleStoreEntry(const SaleStore& store)
{
    const QString name = store.fileName();
    return {name,
            [&store](const QString& path) {
                if (!QFileInfo::exists(store.fileName()))
                    return false;
                store.snapshot(path);
                return true;
            },
            [name](const QString& path, const QString& cleanPath) {
                SaleDatabaseCopy::copy(path, cleanPath, QStringLiteral("バックアップの %1").arg(name));
            },
            {name + QStringLiteral("-wal"), name + QStringLiteral("-shm"), name + QStringLiteral("-journal")},
            RegularFile::Readers::OwnerOnly};
}
