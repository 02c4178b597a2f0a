// A deliberate data race in VEXA code that runs inside a Qt timer callback: a worker writes a
// number without a lock, and a timer handler on the UI thread reads it. Built with
// ThreadSanitizer and run under the project's suppressions, the race must be reported; the
// test that runs this program fails when the suppressions hide races behind Qt frames.
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <thread>

namespace vexa {

int raceProbeValue = 0;

[[gnu::noinline]] void raceProbeWrite() { raceProbeValue = 1; }
[[gnu::noinline]] int raceProbeRead() { return raceProbeValue; }

}  // namespace vexa

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::thread worker(vexa::raceProbeWrite);
    QTimer::singleShot(100, &app, [&app] {
        std::printf("%d\n", vexa::raceProbeRead());
        app.quit();
    });
    const int result = app.exec();
    worker.join();
    return result;
}
