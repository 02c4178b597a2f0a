// The Garmin upload's own cost per point: a route of 1000 points to vexa-garminsim on an
// unpaced pseudo-terminal answering at once (--slow 0). Wall time includes the simulator's
// turn and two context switches per packet; the upload thread's CPU time is the program's
// own overhead.
#include <benchmark/benchmark.h>

#include <time.h>

#include "exchange/garmin_upload.h"
#include "platform/linux/termios_serial_port.h"
#include "platform/testing/device_simulator.h"

namespace {

using namespace vexa;

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

void BM_UploadPerPoint(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    testing::DeviceSimulator sim(VEXA_GARMINSIM, {"--slow", "0", "--output", "/dev/null"});
    TermiosSerialPort port;
    GarminUpload up(port);
    up.addLine = [](std::string_view) {};
    GarminUploadJob job;
    job.grid.PlateCarreeGrid = true;
    for (int i = 0; i < points; ++i) {
        TrackPoint p;
        p.gridX = (9.7 + i * 0.0001) * 10000;
        p.gridY = (52.3 + i * 0.0001) * 10000;
        job.points.push_back(p);
    }
    job.trackName = "Bench";
    job.portName = job.device = sim.device();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu0 = threadCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        const GarminUploadResult r = track2gps(up, job);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        cpu += threadCpuSeconds() - cpu0;
        if (!r.ok()) state.SkipWithError("upload not acknowledged");
    }
    const double n = static_cast<double>(state.iterations()) * points;
    state.counters["cpu_us_per_point"] = cpu / n * 1e6;
    state.counters["wall_us_per_point"] = wall / n * 1e6;
}
BENCHMARK(BM_UploadPerPoint)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
