#include "backup/SaleStoreEntry.h"

#include "backup/SaleDatabaseCopy.h"
#include "store/Failure.h"
#include "store/SaleStore.h"

#include <QFileInfo>

#include <utility>

ExtraEntry saleStoreEntry(const SaleStore& store)
{
    const QString name = store.fileName();
    return {name,
            [&store] { return QFileInfo::exists(store.fileName()) ? store.snapshot() : QByteArray(); },
            [name](QByteArray bytes) {
                return SaleDatabaseCopy::copy(std::move(bytes),
                                              QStringLiteral("バックアップの %1").arg(name));
            },
            {name + QStringLiteral("-wal"), name + QStringLiteral("-shm"), name + QStringLiteral("-journal")},
            RegularFile::Readers::OwnerOnly};
}
