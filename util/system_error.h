#pragma once

#include <string>

namespace vexa {

// The system's own text for an error number (errno), e.g. "No such file or directory".
std::string systemErrorText(int errorNumber);

}  // namespace vexa
