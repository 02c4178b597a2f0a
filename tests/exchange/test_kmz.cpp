// KMZ archives: the KML inside is read wherever it lies; junk and zip bombs are refused.
#include <gtest/gtest.h>

#include <minizip/zip.h>

#include <tuple>

#include "exchange/kmz_archive.h"
#include "exchange/route_file_import.h"
#include "exchange_fixture.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {
namespace {

void writeZip(const std::filesystem::path& file, const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile zip = zipOpen64(file.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, content] : entries) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

TEST(Kmz, TheKmlInsideIsTheRoute) {
    TempDir dir;
    writeZip(dir / "r.kmz", {{"files/icon.png", "\x89PNG"}, {"doc.KML", kmlWithLines({"9.1,53.1,4 9.2,53.2,5"})}});
    ExchangeFixture f;
    const auto bytes = readRouteFile(dir / "r.kmz");
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(ImportRouteFile("kmz", bytes.bytes, f.target).route);
    EXPECT_EQ(std::tuple(f.route->count, f.point(1).altitude), std::tuple(2, 5));
}

TEST(Kmz, RefusesJunkArchivesWithoutKmlAndBombs) {
    TempDir dir;
    writeFile(dir / "junk.kmz", "PK\x03\x04 this is no archive");
    writeZip(dir / "empty.kmz", {{"a.txt", "x"}});
    writeZip(dir / "bomb.kmz", {{"doc.kml", std::string(3 << 20, ' ')}});
    EXPECT_FALSE(readKmzDocument(dir / "junk.kmz") || readKmzDocument(dir / "empty.kmz") || readKmzDocument(dir / "bomb.kmz", 1 << 20));
    EXPECT_TRUE(readKmzDocument(dir / "bomb.kmz", 4 << 20));
}

}  // namespace
}  // namespace vexa::testing
