#include "tests/support/garmin_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace vexa::testing {

std::vector<std::string> garminRecord(const std::filesystem::path& file) {
    std::istringstream in(readFile(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void expectPointsInOrder(const std::vector<std::string>& record, std::size_t first, int count,
                         const std::function<std::pair<double, double>(int)>& expected,
                         double tolerance) {
    ASSERT_GE(record.size(), first + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string& line = record[first + static_cast<std::size_t>(i)];
        int index = -1;
        double lat = 0, lon = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "point %d %lf %lf", &index, &lat, &lon), 3) << line;
        EXPECT_EQ(index, i);
        const auto [wantLat, wantLon] = expected(i);
        EXPECT_NEAR(lat, wantLat, tolerance) << line;
        EXPECT_NEAR(lon, wantLon, tolerance) << line;
    }
}

}  // namespace vexa::testing
