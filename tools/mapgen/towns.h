// The towns drawn on the demo maps: the place table with each place's population, which
// decides the size of its dot and label.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::mapgen {

struct Town {
    std::string name;  // UTF-8
    double lon = 0.0;
    double lat = 0.0;
    long population = 0;
    bool district = false;  // a part of a larger town (GeoNames PPLX)
};

// Reads the place table (places.tsv) with the program's own loader and takes population and
// feature code from details.tsv, which repeats the table's rows with these two columns added.
// Both come from data/places/generate.mjs; rows that differ mean one of them is stale, and
// nothing is read. Towns come back most populous first.
bool loadTowns(const std::filesystem::path& placeTable, const std::filesystem::path& details,
               std::vector<Town>& towns, std::string& error);

// Size class 0 (largest) to 4 (smallest) by population.
int townClass(long population);

}  // namespace vexa::mapgen
