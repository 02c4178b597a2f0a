#include "routes/place_table.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "util/text.h"

namespace vexa {
namespace {

using testing::TempDir;
using testing::writeFile;

const std::filesystem::path kShippedTable =
    std::filesystem::path(VEXA_SOURCE_DIR) / "data" / "places" / "places.tsv";

const std::string kHeader = "name\tlongitude\tlatitude\n";

TEST(PlaceTable, ShippedTableHoldsTheGermanTownsInLatin1Order) {
    std::string error = "not touched";
    const std::vector<Place> places = loadPlaceTable(kShippedTable, &error);
    ASSERT_EQ(places.size(), 3547u) << error;
    EXPECT_EQ(error, "");

    int hannover = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(p.lon >= 5.89969 && p.lon <= 15.02694 && p.lat >= 47.40831 && p.lat <= 55.01939);
        // A chosen town becomes a POI, whose name holds at most 64 characters.
        EXPECT_LE(utf8Length(p.name), 64u);
        if (i > 0) { EXPECT_LE(utf8ToLatin1(places[i - 1].name), utf8ToLatin1(p.name)); }
        if (p.name == "Hannover") hannover += std::abs(p.lon - 9.73) < 0.01 && std::abs(p.lat - 52.37) < 0.01;
    }
    EXPECT_EQ(hannover, 1);
    // Umlauts sort after every ASCII letter in Latin-1, so the table ends with them.
    EXPECT_EQ(places.front().name, "Aachen");
    EXPECT_EQ(places.back().name.substr(0, 2), "\xC3\x9C");  // "Ü"
}

TEST(PlaceTable, ReadsNamesAsUtf8AndKeepsTheFileOrder) {
    TempDir dir;
    // CR-LF endings and no line feed after the last line are accepted as well.
    writeFile(dir / "p.tsv",
              "name\tlongitude\tlatitude\r\nZeven\t9.28\t53.3\r\n"
              "L\xC3\xBC" "beck\t10.68729\t53.86893\r\nA\t-0.5\t-89.5");
    std::string error;
    const std::vector<Place> places = loadPlaceTable(dir / "p.tsv", &error);
    std::string read;
    for (const Place& p : places) read += strprintf("%s %.5f %.5f; ", p.name.c_str(), p.lon, p.lat);
    EXPECT_EQ(read, "Zeven 9.28000 53.30000; L\xC3\xBC" "beck 10.68729 53.86893; A -0.50000 -89.50000; ") << error;
}

TEST(PlaceTable, OneCorruptLineRejectsTheWholeFileAndSaysWhere) {
    const std::vector<std::string> badLines = {
        "Hannover\t9.73322",                      // a column missing
        "Hannover\t9.73322\t52.37052\t515140",    // a column too many
        "Hannover 9.73322 52.37052",              // blanks instead of tabs
        "\t9.73322\t52.37052",                    // no name
        "Hannover\t\t52.37052",                   // no longitude
        "Hannover\t9.73322x\t52.37052",           // trailing garbage
        "Hannover\t9,73322\t52,37052",            // decimal comma
        "Hannover\t9.73322\t91.0",                // latitude beyond the pole
        "Hannover\t180.5\t52.37052",              // longitude beyond the date line
        "Hannover\tnan\t52.37052",                // not a number
        "Hannover\tinf\t52.37052",                // infinite
        "L\xFC" "beck\t10.68729\t53.86893",       // raw Latin-1 byte, not UTF-8
        "\xC5\x81" "\xC3\xB3" "d\xC5\xBA\t19.46\t51.76",  // "Łódź": outside Latin-1
        "Ha\x01nnover\t9.73322\t52.37052",        // control character in the name
        "",                                       // empty line between places
    };
    TempDir dir;
    for (const std::string& bad : badLines) {
        SCOPED_TRACE(bad);
        writeFile(dir / "p.tsv", kHeader + "Aachen\t6.08342\t50.77664\n" + bad +
                                     "\nZeven\t9.28\t53.3\n");
        std::string error;
        EXPECT_TRUE(loadPlaceTable(dir / "p.tsv", &error).empty());
        EXPECT_NE(error.find("Zeile 3"), std::string::npos) << error;
    }
}

TEST(PlaceTable, MissingFileWrongHeaderOrNoPlacesGiveAnEmptyTableWithAReason) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(loadPlaceTable(dir / "absent.tsv", &error).empty());
    EXPECT_NE(error.find("absent.tsv"), std::string::npos) << error;

    writeFile(dir / "p.tsv", "Aachen\t6.08342\t50.77664\nZeven\t9.28\t53.3\n");
    error.clear();
    EXPECT_TRUE(loadPlaceTable(dir / "p.tsv", &error).empty());
    EXPECT_NE(error.find("Kopfzeile"), std::string::npos) << error;

    for (const std::string& content : {std::string(), kHeader}) {
        writeFile(dir / "p.tsv", content);
        error.clear();
        EXPECT_TRUE(loadPlaceTable(dir / "p.tsv", &error).empty());
        EXPECT_FALSE(error.empty());
    }

    // A later successful load clears the old reason; the error text is optional.
    writeFile(dir / "p.tsv", kHeader + "Zeven\t9.28\t53.3\n");
    EXPECT_EQ(loadPlaceTable(dir / "p.tsv", &error).size(), 1u);
    EXPECT_EQ(error, "");
    EXPECT_EQ(loadPlaceTable(dir / "absent.tsv").size(), 0u);
}

}  // namespace
}  // namespace vexa
