// What vexa-garminsim wrote about the track it received, read back for checks.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vexa::testing {

std::vector<std::string> garminRecord(const std::filesystem::path& file);

// Expects record lines from `first` on to be "point i LAT LON …" for i = 0 … count − 1 in
// order, at the positions `expected(i)` (latitude, longitude) within `tolerance` degrees.
void expectPointsInOrder(const std::vector<std::string>& record, std::size_t first, int count,
                         const std::function<std::pair<double, double>(int)>& expected,
                         double tolerance);

}  // namespace vexa::testing
