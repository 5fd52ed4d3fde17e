// Saves the species of kinds in a shop's soranika.db, as 品種情報 does, and care plans, as ケアの間隔
// does; for the demo shop of scripts/make-sample-data, whose kinds are then dogs and cats on every
// legal screen and whose care falls due as a shop would set it.
//
//   soranika_species DATABASE KIND=犬|猫|その他...
//   [care:MEDICATION=すべて|犬|猫|その他:FIRST,INTERVAL,DOSES[:REPLACED]]...
//
// A care figure may be empty; REPLACED names the medications the plan makes unneeded, separated by 、.

#include "store/AnimalOutcomes.h"
#include "store/CarePlans.h"
#include "store/Failure.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fputs("usage: soranika_species DATABASE KIND=犬|猫|その他...\n", stderr);
        return 2;
    }
    const auto figure = [](const QString& text) {
        return text.isEmpty() ? std::nullopt : std::optional<int>(text.toInt());
    };
    QMap<QString, Species> species;
    QList<CarePlan> plans;
    for (const QString& pair : args.mid(2)) {
        if (pair.startsWith(QLatin1String("care:"))) {
            const QString medication = pair.mid(5).section(QLatin1Char('='), 0, 0);
            const QStringList parts = pair.section(QLatin1Char('='), 1).split(QLatin1Char(':'));
            const QStringList figures = parts.value(1).split(QLatin1Char(','));
            const std::optional<CareFor> animals = careForOf(parts.value(0));
            if (medication.isEmpty() || !animals || figures.size() != 3) {
                std::fprintf(stderr,
                             "soranika_species: not care:MEDICATION=ANIMALS:FIRST,INTERVAL,DOSES: %s\n",
                             pair.toUtf8().constData());
                return 2;
            }
            plans.append({medication, figure(figures[1]), figure(figures[0]), figure(figures[2]), *animals,
                          parts.value(2).split(QStringLiteral("、"), Qt::SkipEmptyParts)});
            continue;
        }
        const QString kind = pair.section(QLatin1Char('='), 0, 0);
        const QString name = pair.section(QLatin1Char('='), 1);
        Species chosen = Species::Unset;
        for (Species each : {Species::Dog, Species::Cat, Species::Other}) {
            if (speciesText(each) == name)
                chosen = each;
        }
        if (kind.isEmpty() || chosen == Species::Unset) {
            std::fprintf(stderr, "soranika_species: not KIND=犬|猫|その他: %s\n", pair.toUtf8().constData());
            return 2;
        }
        species.insert(kind, chosen);
    }
    try {
        AnimalOutcomes(args[1]).saveSpecies(species);
        if (!plans.isEmpty())
            CarePlans(args[1]).savePlans(plans);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "soranika_species: %s\n", failure.what());
        return 1;
    }
    return 0;
}
