// Stands in for the import's command line until the import engine is built in.
#include <cstdio>

#include "tools/maps/import_command.h"

namespace vexa {

int runImportCommand(int, char**) {
    std::fputs("vexa-maps: import is not built yet\n", stderr);
    return 2;
}

}  // namespace vexa
