// The upload thread of "Send Route to Garmin": runs track2gps on a copy of the route while
// the window stays responsive; stopped and joined at exit.
#pragma once

#include <functional>
#include <thread>

#include "exchange/garmin_link.h"
#include "exchange/garmin_upload.h"

namespace vexa {

class GarminTransfer {
public:
    GarminTransfer(SerialPort& port, GarminLink& link) : upload_(port), link_(link) {}
    ~GarminTransfer() { stop(); }
    GarminTransfer(const GarminTransfer&) = delete;
    GarminTransfer& operator=(const GarminTransfer&) = delete;

    // Where the upload reports; set once before the first start.
    GarminUpload& upload() { return upload_; }

    // Starts the thread: it runs `beforeOpen` (waiting for the GPS reader to end), then the
    // transfer. Throws std::system_error when the system refuses a thread.
    void start(GarminUploadJob job, bool logging, std::function<void()> beforeOpen);
    bool running() const { return link_.uploading.load(); }
    // Stops waiting for answers and joins the thread (at exit).
    void stop();
    // How the thread is made; tests let it fail as a system out of threads would.
    void setThreadStarter(std::function<std::thread(std::function<void()>)> starter) {
        starter_ = std::move(starter);
    }

private:
    GarminUpload upload_;
    GarminLink& link_;
    std::thread thread_;
    std::function<std::thread(std::function<void()>)> starter_;
};

}  // namespace vexa
