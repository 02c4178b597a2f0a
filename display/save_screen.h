// Saving the shown map as a 24-bit BMP screen copy.
#pragma once

#include <filesystem>
#include <string>

#include "maps/render/map_frame_context.h"

namespace vexa {

class CSTScreenBuffer;

// Draws the map view at the view centre for the copy and saves it. `baseName` names the
// north-up copies ("<base>_<zone>_<west>_<north>_<scale>_<side>_<side>.bmp", a map file of the shown
// area); `vexaDirectory` receives the 3D and other copies. `buffer` is the screen buffer behind
// `ctx.turner`: a 3D copy is the picture it shows. Returns the file written, or an empty path
// when nothing could be written.
std::filesystem::path SaveScreen(MapFrameContext& ctx, CSTScreenBuffer& buffer, const std::string& baseName,
                                 const std::filesystem::path& vexaDirectory, bool showMessage, bool setTitle);

}  // namespace vexa
