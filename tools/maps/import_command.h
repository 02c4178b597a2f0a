// vexa-maps import SOURCE... TARGETDIR [options]: the command line of the map import.
#pragma once

namespace vexa {

// argv[0] is the subcommand's name. Returns the exit status: 0 imported, 1 failed or
// cancelled, 2 wrong command line.
int runImportCommand(int argc, char** argv);

}  // namespace vexa
