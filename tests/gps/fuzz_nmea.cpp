// libFuzzer target: arbitrary bytes through the live framing (one byte or 61 bytes a read) and
// through the replay sequence, on a grid chosen by the first byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gps/nmea_framing.h"
#include "gps/nmea_replay.h"
#include "tests/gps/gps_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    for (int pass = 0; pass < 2; ++pass) {
        testing::GpsRecords r;
        r.grid.LocalDatumGrid = flags & 1;
        r.grid.Ed50Datum = flags & 2;
        r.settings.LGsaLogTime = (flags & 4) ? 1 : -1;
        r.settings.itracemax = (flags & 8) ? 20 : 2000;
        r.settings.iZeitsync = (flags >> 4) & 1;
        r.frame.displayMode = static_cast<DisplayMode>((flags >> 5) & 3);
        if (pass == 0) {
            ReaderState reader;
            StartReception(r.in, reader);
            const std::size_t chunk = (flags & 128) ? 1 : 61;
            for (std::size_t at = 0; at < text.size(); at += chunk) {
                r.clock.advance(7);
                AppendBytes(r.in, reader, nullptr, text.substr(at, chunk));
            }
        } else {
            r.frame.replaying = true;
            StartReplay(r.in);
            LogTimers timers;
            ReplayNmeaText(r.in, timers, text);
            FinishReplay(r.in);
        }
    }
    return 0;
}
