#include "util/system_error.h"

#include <system_error>

namespace vexa {

std::string systemErrorText(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

}  // namespace vexa
