// Reading numbers from stored texts as "%f" and "%d" do, but independent of the locale.
#pragma once

#include <string_view>

namespace vexa {

// The number at the start of the text after blanks; `fallback` when there is none.
float scanFloat(std::string_view text, float fallback = 0.0f);
int scanInt(std::string_view text, int fallback = 0);

}  // namespace vexa
