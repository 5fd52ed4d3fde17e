// detapetto.dt read and written back: any file, whole or cut short, loads record by record, shows
// every field, and stores each record back unchanged, so the file keeps every byte (a last
// partial record comes back padded with zeros to its full length).

#include "fuzz/FuzzCheck.h"
#include "fuzz/Workspace.h"
#include "store/Numbers.h"
#include "store/RecordFile.h"

#include <QFile>

#include <cstdint>

namespace {

void showEveryField(const PetRecord& record)
{
    (void)Numbers::formatInteger(record.BirthYear);
    (void)Numbers::formatInteger(record.BirthMonth);
    (void)Numbers::formatInteger(record.BirthDay);
    (void)Numbers::formatFloat(record.BirthWeight);
    (void)Numbers::formatFloat(record.SaleWeight);
    for (const auto* field :
         {&record.Kind, &record.CoatColour, &record.Staff, &record.PurchaseDate, &record.Supplier,
          &record.PurchaseCost, &record.PlannedPrice, &record.SaleDate}) {
        (void)shownText(*field);
        (void)fieldText(*field);
    }
    for (const auto* field : {&record.Medication1, &record.Medication2, &record.Medication3,
                              &record.Medication4, &record.Medication5})
        (void)shownText(*field);
    for (const auto* field :
         {&record.Memo1, &record.Memo2, &record.Memo3, &record.Memo4, &record.Memo5, &record.Memo6})
        (void)shownText(*field);
    for (const auto* field : {&record.Sex, &record.Siblings})
        (void)shownText(*field);
    (void)shownText(record.Birthplace);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name = fuzzWorkspace().dir.filePath(QStringLiteral("detapetto.dt"));
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(name);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(original) == original.size());
    }

    RecordFile records(name);
    const qint32 count = qint32((original.size() + RecordLength - 1) / RecordLength);
    for (qint32 number = 1; number <= count; ++number) {
        records.LoadRecord(number);
        FUZZ_CHECK(records.RecordCount == original.size() / RecordLength);
        const QByteArray expected = (original.mid(qsizetype(number - 1) * RecordLength, RecordLength) +
                                     QByteArray(RecordLength, '\0'))
                                        .left(RecordLength);
        FUZZ_CHECK(QByteArray(reinterpret_cast<const char*>(&records.CurrentRecord), RecordLength) ==
                   expected);
        showEveryField(records.CurrentRecord);
        records.StoreRecord(number);
    }

    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray padded = original + QByteArray(count * RecordLength - original.size(), '\0');
    FUZZ_CHECK(file.readAll() == padded);
    return 0;
}
