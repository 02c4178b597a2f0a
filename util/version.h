// VEXA's version as every program shows it: "0.1.0 (git 1a2b3c4)", or "0.1.0" when it was
// built outside a git checkout. The number is the project's version in CMakeLists.txt.
#pragma once

namespace vexa {

const char* vexaVersion();

}  // namespace vexa
