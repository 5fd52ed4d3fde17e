#pragma once

#include "store/PetRecord.h"

#include <QList>
#include <QString>

// Every whole record of a record file, read in one sequential pass: for views over all charts, which
// must not open and close the file once per record. A missing file has no records; a trailing
// partial record is left out, as the record count leaves it out.
QList<PetRecord> readAllRecords(const QString& fileName);
