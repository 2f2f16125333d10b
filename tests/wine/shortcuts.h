// Reads shortcut (.lnk) files back through the shell's link object, the way
// Windows itself sees them.
#pragma once

#include <string>

namespace e2e {

struct Shortcut {
    bool loaded = false;  // the file could be loaded as a shortcut
    std::string target;
    std::string arguments;
    std::string itemPath;  // the path of the shortcut's item identifier list
};

Shortcut ReadShortcut(const std::string& path);

}  // namespace e2e
