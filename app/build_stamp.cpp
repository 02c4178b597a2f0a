#include "app/build_stamp.h"

namespace vexa {

std::string buildStamp() { return "Build " __DATE__ " " __TIME__; }

}  // namespace vexa
