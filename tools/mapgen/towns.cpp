#include "tools/mapgen/towns.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "routes/place_table.h"

namespace vexa::mapgen {

bool loadTowns(const std::filesystem::path& placeTable, const std::filesystem::path& details,
               std::vector<Town>& towns, std::string& error) {
    const std::vector<Place> places = loadPlaceTable(placeTable, &error);
    if (places.empty()) return false;

    std::ifstream in(details);
    std::string line;
    if (!in || !std::getline(in, line) ||
        line != "name\tlongitude\tlatitude\tpopulation\tfeature") {
        error = "cannot read " + details.string();
        return false;
    }
    towns.clear();
    for (const Place& place : places) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "\t%.5f\t%.5f\t", place.lon, place.lat);
        const std::string prefix = place.name + expected;
        long population = 0;
        char feature[16] = "";
        if (!std::getline(in, line) || line.compare(0, prefix.size(), prefix) != 0 ||
            std::sscanf(line.c_str() + prefix.size(), "%ld\t%15s", &population, feature) != 2) {
            error = details.string() + " does not match the place table at " + place.name;
            return false;
        }
        towns.push_back({place.name, place.lon, place.lat, population,
                         std::strcmp(feature, "PPLX") == 0});
    }
    if (std::getline(in, line)) {
        error = details.string() + " has more rows than the place table";
        return false;
    }
    std::stable_sort(towns.begin(), towns.end(),
                     [](const Town& a, const Town& b) { return a.population > b.population; });
    return true;
}

int townClass(long population) {
    if (population >= 500000) return 0;
    if (population >= 100000) return 1;
    if (population >= 30000) return 2;
    if (population >= 10000) return 3;
    return 4;
}

}  // namespace vexa::mapgen
