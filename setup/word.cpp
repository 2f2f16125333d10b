// Word version detection.
#include "setup/word.h"

#include <cstdio>
#include <cstring>

#include "core/os.h"
#include "setup/set1.h"

namespace word {

int VersionNumber(const char* versionText) {
    if (std::strstr(versionText, "10")) return 10;
    if (std::strstr(versionText, "12")) return 12;
    if (std::strstr(versionText, "11")) return 11;
    if (std::strstr(versionText, "14")) return 14;
    return 0;
}

namespace {

// Reads the key's default value as text into `buffer` of `size` bytes. The
// registry hands back raw bytes that need not end in a zero: the text is
// terminated here. A value that does not fit with its terminator counts as
// unreadable (no truncated text is used). On failure the text is empty.
bool ReadDefaultText(port::Handle key, char* buffer, unsigned size) {
    std::uint32_t length = size;
    long status = port::Os().registry->QueryValue(key, nullptr, buffer, &length);
    if (status != port::kErrorSuccess || length > size) {
        buffer[0] = '\0';
        return false;
    }
    if (length < size) {
        buffer[length] = '\0';
    } else if (std::memchr(buffer, '\0', size) == nullptr) {
        buffer[0] = '\0';  // full buffer and no terminator: the text is longer than the room
        return false;
    }
    return true;
}

// Closes a key opened here, on every path.
struct KeyGuard {
    port::Handle key = 0;
    ~KeyGuard() {
        if (key != 0) port::Os().registry->CloseKey(key);
    }
};

}  // namespace

}  // namespace word

int DetectWordVersion() {
    port::Registry& registry = *port::Os().registry;
    char classId[word::kClassIdBufferSize];
    char version[word::kVersionBufferSize];
    classId[0] = '\0';
    version[0] = '\0';

    // No class identifier key, no Word.
    word::KeyGuard classIdKey;
    if (registry.OpenKey(port::RegRoot::ClassesRoot, "Word.Application\\CLSID", port::kKeyRead,
                         &classIdKey.key) != port::kErrorSuccess) {
        classIdKey.key = 0;
        return word::VersionNumber(version);
    }

    word::KeyGuard curVerKey;
    if (registry.OpenKey(port::RegRoot::ClassesRoot, "Word.Application\\CurVer", port::kKeyRead,
                         &curVerKey.key) != port::kErrorSuccess)
        curVerKey.key = 0;

    word::ReadDefaultText(classIdKey.key, classId, sizeof classId);
    if (curVerKey.key != 0) word::ReadDefaultText(curVerKey.key, version, sizeof version);

    // The server key's name is formatted into a 512-byte buffer of its
    // own (formatting a buffer into itself is undefined); a name that does not
    // fit is not looked up, and the step fails.
    char server[word::kClassIdBufferSize];
    bool serverRead = false;
    const int needed = std::snprintf(server, sizeof server, "CLSID\\%s\\LocalServer32", classId);
    if (needed > 0 && static_cast<unsigned>(needed) < sizeof server) {
        word::KeyGuard serverKey;
        if (registry.OpenKey(port::RegRoot::ClassesRoot, server, port::kKeyRead, &serverKey.key) ==
            port::kErrorSuccess) {
            serverRead = word::ReadDefaultText(serverKey.key, server, sizeof server);
        } else {
            serverKey.key = 0;
        }
    }

    if (serverRead) {
        // The text ends before its first "/".
        if (char* slash = std::strchr(server, '/')) *slash = '\0';
        setupState.wordPath = server;
    } else if (std::strstr(version, "14")) {
        setupState.wordPathAssumed = true;
        setupState.wordPath = word::kAssumedPath;
    }
    // Otherwise no Word path is known and wordPath stays as it was.

    return word::VersionNumber(version);
}
