#include "tests/app/app_fixture.h"

#include <QCoreApplication>

#include "app/menu_bar.h"
#include "platform/paths.h"

namespace vexa::testing {

std::filesystem::path sourceDir() { return VEXA_SOURCE_DIR; }
std::filesystem::path demoMaps() { return sourceDir() / "data/demo/maps/Karten_utm"; }
std::filesystem::path demoLog() { return sourceDir() / "data/demo/NmeaLog_20260601_1000.txt"; }

AppTest::AppTest() {
    std::filesystem::create_directories(home_);
    std::filesystem::create_directories(config_);
    storage_ = std::make_unique<FileSettingsStorage>(settingsFile());
    storage_->open();
}

MainWindow& AppTest::open(WindowOptions options, bool manualClock, std::chrono::milliseconds replayPeriod) {
    window_.reset();
    state_.reset();
    options.replayFramePeriod = replayPeriod;
    options.startupAnimation = startupAnimation_;
    if (!options.replaySpeed) options.replaySpeed = replaySpeed_;
    state_ = std::make_unique<AppState>(manualClock ? static_cast<Clock&>(manualClock_) : systemClock_,
                                        *storage_, port_);
    window_ = std::make_unique<MainWindow>(*state_, options);
    // The menu bar lies on the screen; the tests draw on the whole screen above it.
    if (!options.remember)
        window_->resize(QSize(options.screenWidth, options.screenHeight) * options.scale +
                        QSize(0, window_->menuBar().sizeHint().height()));
    window_->ui().setMessageResponder([](const ShownBox&) { return Answer::Ok; });
    window_->ui().setFileResponder([this](const FileDialogRequest&) -> std::optional<std::filesystem::path> {
        if (files_.empty()) return std::nullopt;
        auto file = files_.front();
        files_.pop_front();
        return file;
    });
    window_->show();
    window_->start();
    settle();
    return *window_;
}

void AppTest::run(int id) {
    window_->command(id);
    settle();
}

void AppTest::settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

std::vector<std::string> AppTest::messages() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : window_->ui().shownMessages()) texts.push_back(box.text);
    return texts;
}

void AppTest::shot(QWidget& widget, const char* name) {
    const char* folder = std::getenv("VEXA_SHOTS");
    if (!folder) return;
    widget.show();
    settle();
    widget.grab().save(QString::fromStdString((std::filesystem::path(folder) / name).string()));
}

}  // namespace vexa::testing
