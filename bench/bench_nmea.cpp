// Sentences per second through the GPS input: the live framing of reads with checksum,
// parsing, datum shift, projection, trace rule and log rules, for a 1 Hz receiver's mix
// (RMC, GGA, GSA, 3 × GSV) with drawing off, and the same with a Qt frame drawn for every fix
// by a drawing thread, as the program does; and each sentence type through its parser.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_records.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_checksum.h"
#include "gps/nmea_framing.h"
#include "gps/nmea_log.h"
#include "gps/pending_drawing.h"
#include "gps/position_parsers.h"
#include "gps/satellite_parsers.h"
#include "gps/satellites.h"
#include "platform/silent_ui.h"
#include "platform/testing/manual_clock.h"
#include "routes/trace_table.h"

namespace {

using namespace vexa;

std::string nmea(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

// One second of a receiver driving north at about 50 km/h.
std::vector<std::string> secondOfData(int s) {
    char rmc[128], gga[128];
    const double minutes = 7.0 + s * 0.0075;
    std::snprintf(rmc, sizeof rmc, "GPRMC,%02d%02d%02d.00,A,52%07.4f,N,00943.9200,E,027.2,000.0,140624,,,A",
                  10 + s / 3600 % 10, s / 60 % 60, s % 60, minutes);
    std::snprintf(gga, sizeof gga, "GPGGA,%02d%02d%02d.00,52%07.4f,N,00943.9200,E,1,08,1.3,60.0,M,47.0,M,,",
                  10 + s / 3600 % 10, s / 60 % 60, s % 60, minutes);
    return {nmea(rmc), nmea(gga), nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"),
            nmea("GPGSV,3,1,09,04,71,120,44,05,33,250,38,09,55,060,41,12,20,300,30"),
            nmea("GPGSV,3,2,09,17,12,180,,24,64,010,46,25,08,090,22,29,40,200,35"),
            nmea("GPGSV,3,3,09,31,05,330,")};
}

// The bytes as the reader thread gets them from a USB receiver: reads of up to 64 bytes.
void receive(GpsInput& in, ReaderState& reader, std::string_view bytes) {
    constexpr std::size_t kReadBytes = 64;
    for (std::size_t at = 0; at < bytes.size(); at += kReadBytes)
        AppendBytes(in, reader, nullptr, bytes.substr(at, kReadBytes));
}

// The user sees nothing: the window title of every fix is dropped (a scripted user would keep
// every title, and its growing list would be measured instead of the parsing).
struct Records : GpsRecords {
    SilentUi ui;
    ManualClock clock;
    NoGpsViews views;
    GpsInput in = input(ui, clock, views);

    explicit Records(bool gaussKrueger) {
        settings.LGsaLogTime = 1;
        frame.displayMode = DisplayMode::Karte;  // drawing off
        grid.LocalDatumGrid = gaussKrueger;
    }
};

void LiveMix(benchmark::State& state) {
    Records r(state.range(0) != 0);
    std::string stream;
    for (int s = 0; s < 600; ++s)
        for (const auto& line : secondOfData(s)) stream += line + "\r\n";
    ReaderState reader;
    StartReception(r.in, reader);
    long sentences = 0;
    for (auto _ : state) {
        receive(r.in, reader, stream);
        r.clock.advance(1000);
        sentences += 600 * 6;
    }
    state.SetItemsProcessed(sentences);
    state.SetLabel(state.range(0) ? "Gauss-Krueger (datum shift)" : "UTM WGS84");
}
BENCHMARK(LiveMix)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Views that draw a Move-view-like frame with Qt: a rotated map image, antialiased route
// lines and text.
class QtFrameViews : public NoGpsViews {
public:
    QtFrameViews() : map_(480, 480, QImage::Format_RGB32), frame_(400, 400, QImage::Format_RGB32) {
        for (int y = 0; y < map_.height(); ++y)
            for (int x = 0; x < map_.width(); ++x) map_.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
    }
    void show_pos(const PositionFrame& f) override {
        QPainter painter(&frame_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(200, 200);
        painter.rotate(f.course + 7.0);
        painter.drawImage(QPoint(-240, -240), map_);
        painter.resetTransform();
        painter.setPen(QPen(QColor(0, 0, 255, 160), 5));
        for (int i = 0; i < 20; ++i) painter.drawLine(10 * i, 20, 400 - 7 * i, 380);
        painter.drawText(10, 390, QString::number(f.speed, 'f', 1) + " km/h");
    }

private:
    QImage map_, frame_;
};

// Ten minutes of the receiver as the text of each second.
std::vector<std::string> epochTexts() {
    std::vector<std::string> epochs;
    for (int s = 0; s < 600; ++s) {
        std::string epoch;
        for (const auto& line : secondOfData(s)) epoch += line + "\r\n";
        epochs.push_back(epoch);
    }
    return epochs;
}

// One second: the RMC untimed (it draws when `beforeRest` set the Move view), then the other
// five sentences timed by the wall clock. Besides the mean, `median_ns_per_sentence` gives the
// median second: on a shared machine a few seconds preempted for milliseconds make the mean.
template <typename BeforeRest>
void timedEpochs(benchmark::State& state, GpsInput& in, ManualClock& clock, BeforeRest beforeRest) {
    const std::vector<std::string> epochs = epochTexts();
    ReaderState reader;
    StartReception(in, reader);
    long sentences = 0;
    std::size_t e = 0;
    std::vector<double> seconds;
    seconds.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const std::string& epoch = epochs[e];
        const std::size_t rmcEnd = epoch.find('\n') + 1;
        beforeRest(true);
        receive(in, reader, std::string_view(epoch).substr(0, rmcEnd));
        beforeRest(false);
        const auto start = std::chrono::steady_clock::now();
        receive(in, reader, std::string_view(epoch).substr(rmcEnd));
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(seconds.back());
        clock.advance(1000);
        sentences += 5;
        if (++e == epochs.size()) e = 0;
    }
    state.SetItemsProcessed(sentences);
    if (seconds.empty()) return;
    std::nth_element(seconds.begin(), seconds.begin() + static_cast<long>(seconds.size() / 2), seconds.end());
    state.counters["median_ns_per_sentence"] = seconds[seconds.size() / 2] * 1e9 / 5;
}

// The program's drawing step: the reader records its redraws, this thread draws the newest
// under the state mutex. `drawn` counts the drawings, so the reader can wait for its frame.
class DrawingThread {
public:
    DrawingThread(GpsViews& views, GpsRecords& records)
        : records_(records), pending_(views, records.frame, [this] { wake(); }), thread_([this] { run(); }) {}
    ~DrawingThread() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    GpsViews& views() { return pending_; }
    void waitForDrawing(long count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return drawn_ >= count; });
    }

private:
    GpsRecords& records_;
    PendingDrawing pending_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false, stop_ = false;
    long drawn_ = 0;
    std::thread thread_;

    void wake() {
        std::lock_guard lock(mutex_);
        woken_ = true;
        changed_.notify_all();
    }
    void run() {
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return woken_ || stop_; });
                if (stop_) return;
                woken_ = false;
            }
            {
                std::lock_guard state(records_.mutex);
                pending_.drawPending();
            }
            std::lock_guard lock(mutex_);
            ++drawn_;
            changed_.notify_all();
        }
    }
};

// The live mix with a Qt frame drawn for every RMC fix by the drawing thread. The drawing is
// not timed: the reader waits until the frame is drawn, then the other five are timed.
void LiveMixBetweenFrames(benchmark::State& state) {
    SilentUi ui;
    ManualClock clock;
    QtFrameViews frames;
    GpsRecords records;
    records.settings.LGsaLogTime = 1;
    DrawingThread drawing(frames, records);
    GpsInput in = records.input(ui, clock, drawing.views());
    long fixes = 0;
    timedEpochs(state, in, clock, [&](bool rmc) {
        if (!rmc) drawing.waitForDrawing(++fixes);
        records.frame.displayMode = rmc ? DisplayMode::Move : DisplayMode::Karte;
    });
}
BENCHMARK(LiveMixBetweenFrames)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

// The same five sentences without the frame before them, timed the same way.
void LiveMixWithoutFrames(benchmark::State& state) {
    Records r(false);
    timedEpochs(state, r.in, r.clock, [](bool) {});
}
BENCHMARK(LiveMixWithoutFrames)->UseManualTime()->Iterations(30000)->Unit(benchmark::kMicrosecond);

template <typename Parse>
void perType(benchmark::State& state, int index, Parse parse) {
    Records r(false);
    std::vector<std::string> lines;
    for (int s = 0; s < 600; ++s) lines.push_back(secondOfData(s)[static_cast<std::size_t>(index)]);
    r.gps.rmcSeen = index != 1;  // GGA measured as a companion of RMC
    std::size_t i = 0;
    for (auto _ : state) {
        parse(r.in, lines[i]);
        if (++i == lines.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<long>(state.iterations()));
}

void Rmc(benchmark::State& s) { perType(s, 0, [](GpsInput& in, const std::string& l) { benchmark::DoNotOptimize(parseRMC(in, l, true, true)); }); }
void Gga(benchmark::State& s) { perType(s, 1, [](GpsInput& in, const std::string& l) { benchmark::DoNotOptimize(parseGGA(in, l, true, true)); }); }
void Gsa(benchmark::State& s) { perType(s, 2, [](GpsInput& in, const std::string& l) { parseGSA(in, l); }); }
void Gsv(benchmark::State& s) { perType(s, 3, [](GpsInput& in, const std::string& l) { benchmark::DoNotOptimize(parseGSV(in, l, false)); }); }
void Checksum(benchmark::State& s) { perType(s, 0, [](GpsInput&, const std::string& l) { benchmark::DoNotOptimize(nmeaChecksum(l)); }); }
BENCHMARK(Rmc);
BENCHMARK(Gga);
BENCHMARK(Gsa);
BENCHMARK(Gsv);
BENCHMARK(Checksum);

}  // namespace
