#pragma once

#include "backup/DataSnapshot.h"

class SaleStore;

// soranika.db as a backup entry: a snapshot SQLite makes itself, never a copy of a file that may be
// written meanwhile; restored from a clean copy of the backup's rows (SaleDatabaseCopy) in place of
// the file and its logs. A file that cannot be read (locked, unreadable, damaged, newer) fails the
// snapshot, and the backup goes on without it. A shop that never entered sale information has no such file,
// and neither backing up nor restoring makes one.
ExtraEntry saleStoreEntry(const SaleStore& store);
