// Saves the species of kinds in a shop's soranika.db, as 品種情報 does; for the demo shop of
// scripts/make-sample-data, whose kinds are then dogs and cats on every legal screen.
//
//   soranika_species DATABASE KIND=犬|猫|その他...

#include "store/AnimalOutcomes.h"
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
    QMap<QString, Species> species;
    for (const QString& pair : args.mid(2)) {
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
    } catch (const Failure& failure) {
        std::fprintf(stderr, "soranika_species: %s\n", failure.what());
        return 1;
    }
    return 0;
}
