#pragma once

#include <QString>

// The names of the shop's files in the data folder (the working directory). Every part of the program
// names them from here.
namespace ShopFiles {

// The charts: one fixed-length record per animal.
inline const QString Records = QStringLiteral("detapetto.dt");
// What a chart has no room for: microchip and sale information, outcomes, care plans.
inline const QString SaleDatabase = QStringLiteral("soranika.db");

// The pick lists, named after what the editor offers their items for.
inline const QString KindList = QStringLiteral("syurui.txt");
inline const QString CoatColourList = QStringLiteral("iro.txt");
inline const QString StaffList = QStringLiteral("tokucyou.txt");
inline const QString MedicationList = QStringLiteral("kusuri.txt");
inline const QString SiblingsList = QStringLiteral("taicyou.txt");
inline const QString BirthplaceList = QStringLiteral("shoku.txt");
// Kept and backed up, offered nowhere.
inline const QString StoolList = QStringLiteral("unti.txt");
inline const QString OtherList1 = QStringLiteral("hoka1.txt");
inline const QString OtherList2 = QStringLiteral("hoka2.txt");
// The nine lists, in the order in which the master-data screen handles them.
inline const QString PickLists[9] = {KindList,       CoatColourList, StaffList,  MedicationList, SiblingsList,
                                     BirthplaceList, StoolList,      OtherList1, OtherList2};

// Held while the program runs, so that a second program on the same folder knows of the first.
inline const QString FolderLock = QStringLiteral("soranika.lock");
// A restore in progress, and where a journal that is not this program's is set aside.
inline const QString RestoreJournal = QStringLiteral("restore.journal");
inline const QString RestoreJournalSetAside = QStringLiteral("restore.journal.bad");

} // namespace ShopFiles
