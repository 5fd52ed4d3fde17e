#include "store/ShopDatabase.h"

#include <QFileInfo>

ShopDatabase::ShopDatabase(QString fileName)
    : name(std::move(fileName)), saleStore(name), animalOutcomes(name), plans(name)
{
}

bool ShopDatabase::exists() const
{
    return QFileInfo::exists(name);
}

std::optional<AnimalOutcome> ShopDatabase::storedOutcome(qint32 number) const
{
    return exists() ? animalOutcomes.outcome(number) : std::nullopt;
}

QMap<qint32, ChartSale> ShopDatabase::storedChartSales() const
{
    return exists() ? saleStore.chartSales() : QMap<qint32, ChartSale>();
}
