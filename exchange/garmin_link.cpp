#include "exchange/garmin_link.h"

#include "exchange/garmin_packet.h"
#include "util/text.h"

namespace vexa {

void setGarminTrackName(GarminLink& link, std::string_view utf8Text) {
    std::string name = utf8ToLatin1(utf8Prefix(utf8Text, 31));
    if (name.size() > kTrackNameChars) name.resize(kTrackNameChars);
    link.trackName = std::move(name);
}

}  // namespace vexa
