// POIs from ";"-separated text, as the POI import splits it.
#include <gtest/gtest.h>

#include "exchange/poi_csv_reader.h"

namespace vexa::testing {
namespace {

struct Expected {
    std::string name;
    char code;
    double lon;
    double lat;
};

struct CsvCase {
    const char* name;
    std::string text;
    std::vector<Expected> pois;
    std::vector<int> unreadableLines = {};
};

class PoiCsv : public ::testing::TestWithParam<CsvCase> {};

TEST_P(PoiCsv, SplitsLikeThePoiImport) {
    const CsvCase& c = GetParam();
    const PoiText text = ParsePoiText(c.text);
    const auto& pois = text.pois;
    EXPECT_EQ(text.unreadableLines, c.unreadableLines);
    ASSERT_EQ(pois.size(), c.pois.size());
    for (std::size_t i = 0; i < pois.size(); ++i) {
        EXPECT_EQ(pois[i].name, c.pois[i].name) << i;
        EXPECT_EQ(pois[i].datumCode, c.pois[i].code) << i;
        EXPECT_NEAR(pois[i].lon, c.pois[i].lon, 2e-6) << i;
        EXPECT_NEAR(pois[i].lat, c.pois[i].lat, 2e-6) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PoiCsv,
    ::testing::Values(
        CsvCase{"exported lines, Latin-1 and UTF-8 names, CRLF",
                "M\xFChle;2;9.50000;53.25000;12\r\nK\xC3\xB6ln;0;-6.95;-50.94;0\n",
                {{"M\xC3\xBChle", '2', 9.5, 53.25}, {"K\xC3\xB6ln", '0', -6.95, -50.94}}},
        CsvCase{"degrees, minutes, seconds", "Kirche;1;0094530.0;534100.0;x\n",
                {{"Kirche", '2', 9.758333, 53.683333}}},
        CsvCase{"runs of separators count as one", "A;;2;;9;53;;rest\nB;2;10;54;0\n",
                {{"A", '2', 9, 53}, {"B", '2', 10, 54}}},
        CsvCase{"without the fifth field the latitude runs into the next line", "A;2;9;53\nB;2;10;54;0\n",
                {{"A", '2', 9, 53}}},
        CsvCase{"a missing field ends the import", "A;2;9\n", {}},
        CsvCase{"positions off the earth are passed over, a number beyond any named",
                "A;2;1e300;53;0\nB;2;9;-91;0\nC;1;9999999;5;0\nD;2;9;53;0\n", {{"D", '2', 9, 53}}, {1}},
        CsvCase{"coordinates that are no numbers: the line is named and left out",
                "A;2;abc;def;0\nB;2;nan;53;0\r\n\nC;2;9;inf;0\nD;WGS84;9;53;0\n\xFF\x01;2;\x80\x81;9;0\n",
                {{"D", 'W', 9, 53}}, {1, 2, 4, 6}},
        CsvCase{"the header line of the export, quoted names with separators and quotes",
                "Name;Datum;Lon;Lat;Hoehe\n\"semi;colon \"\"q\"\"\";2;9;53;0\n\"open;2;1;2;0\n",
                {{"semi;colon \"q\"", '2', 9, 53}, {"\"open", '2', 1, 2}}},
        CsvCase{"names are cut to 63 characters", std::string(70, 'n') + ";2;1;2;0\n",
                {{std::string(63, 'n'), '2', 1, 2}}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace vexa::testing
