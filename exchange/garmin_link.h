// The Garmin track name and the state of an upload, kept with the program's records.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

namespace vexa {

struct GarminLink {
    // 8-bit (Latin-1) text of at most 15 characters; empty: no track header is sent.
    std::string trackName;
    // Set while an upload thread runs.
    std::atomic<bool> uploading{false};
};

// The track name a dialog's text gives: at most 31 characters are read, converted to 8 bits
// and cut to 15 characters; an empty text clears the name.
void setGarminTrackName(GarminLink& link, std::string_view utf8Text);

}  // namespace vexa
