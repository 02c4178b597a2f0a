#include "gps/fix_texts.h"

#include <algorithm>
#include <cstring>

#include "gps/gps_input.h"
#include "platform/clock.h"

namespace vexa {

[[gnu::hot]] FieldBuffer::FieldBuffer(std::string_view field) {
    size = std::min(field.size(), sizeof data - 1);
    if (size > 0) std::memcpy(data, field.data(), size);
    data[size] = '\0';
}

[[gnu::hot]] std::size_t pairedText(std::string_view field, char separator, char (&out)[8]) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < 6 && i < field.size(); ++i) {
        if (i == 2 || i == 4) out[n++] = separator;
        out[n++] = field[i];
    }
    return n;
}

[[gnu::hot]] void setTimeText(FixedText<8>& text, std::string_view time) {
    char out[8];
    text.assignLatin1(std::string_view(out, pairedText(time, ':', out)));
}

[[gnu::hot]] void setDateText(FixedText<8>& text, std::string_view date) {
    char out[8];
    text.assignLatin1(std::string_view(out, pairedText(date, '.', out)));
}

void setTodayText(GpsInput& in, FixedText<8>& text) {
    const DateTime today = in.clock.localNow();
    text.format("%02d.%02d.%02d", today.day, today.month, today.year % 1000);
}

}  // namespace vexa
