#include "app/garmin_transfer.h"

namespace vexa {

void GarminTransfer::start(GarminUploadJob job, bool logging, std::function<void()> beforeOpen) {
    // A finished upload's thread ends right after it cleared the flag.
    if (thread_.joinable()) thread_.join();
    upload_.logging = logging;
    upload_.stopRequested = false;
    link_.uploading = true;
    try {
        std::function<void()> body = [this, job = std::move(job), beforeOpen = std::move(beforeOpen)] {
            if (beforeOpen) beforeOpen();
            if (!upload_.stopRequested) track2gps(upload_, job);
            link_.uploading = false;
        };
        thread_ = starter_ ? starter_(std::move(body)) : std::thread(std::move(body));
    } catch (...) {
        link_.uploading = false;
        throw;
    }
}

void GarminTransfer::stop() {
    upload_.stopRequested = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace vexa
