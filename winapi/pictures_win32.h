// The programs' pictures, drawn with GDI at run time from the layout table and
// the texts compiled into the programs: no image files are shipped.
#pragma once

#include <string>

#include "core/ui.h"

namespace win32 {

// Draws the picture of that name at exactly width x height pixels: a 32-bit
// top-down DIB section, or an icon for the tray state pictures. An unknown
// name gives a plain light grey picture of the size. Suits
// ui::SetPictureLoader.
ui::Picture DrawPicture(const std::string& name, int width, int height);

// The pictures DrawPicture knows, with the sizes the windows ask for.
struct NamedPicture {
    const char* name;
    int width;
    int height;
};
inline constexpr NamedPicture kNamedPictures[] = {
    {"setup.head", 730, 101},
    {"setup.foot", 730, 359},
    {"setup.head_rem", 782, 93},
    {"setup.foot_rem", 807, 125},
    {"tray.general", 950, 308},
    {"tray.base", 950, 308},
    {"tray.shift", 950, 308},
    {"tray.altctrl", 950, 308},
    {"tray.shiftaltctrl", 950, 308},
    {"tray.about", 731, 340},
    {"tray.state1", 16, 16},
    {"tray.state2", 16, 16},
};

}  // namespace win32
