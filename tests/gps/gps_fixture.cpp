#include "tests/gps/gps_fixture.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "gps/nmea_replay.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {

std::vector<std::string> GpsRecords::listLines() const {
    std::vector<std::string> lines;
    const std::string text = diagnostics.text();
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.insert(lines.begin(), text.substr(start, end - start));
    return lines;
}

bool GpsRecords::listHas(std::string_view line) const {
    const auto lines = listLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int GpsRecords::titleCount(std::string_view title) const {
    const auto titles = ui.titles();
    return static_cast<int>(std::count(titles.begin(), titles.end(), title));
}

void receive(GpsRecords& r, ReaderState& reader, std::string_view bytes, SerialPort* port) {
    AppendBytes(r.in, reader, port, bytes);
}

void replay(GpsRecords& r, std::string_view text) {
    r.frame.replaying = true;
    StartReplay(r.in);
    LogTimers timers;
    ReplayNmeaText(r.in, timers, text);
    FinishReplay(r.in);
}

std::string nmea(std::string_view body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + std::string(body) + tail;
}

std::string readDataFile(const std::string& name) {
    return readFile(std::string(VEXA_GPS_TEST_DATA) + "/" + name);
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

}  // namespace vexa::testing
