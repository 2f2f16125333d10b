// In-memory stand-in for port::ShellLinks. Logs every call with its
// arguments ("SetPath C:\\x", "SetShowCmd 3", "Save <path>", ...), can fail
// any call (Fail("Save"), Fail("SetPath", "c:\\x"), ...; a failing call
// returns `failStatus`), and keeps each saved link by its wide path so tests
// can read it back. With `files` set, Save also needs the link's folder to
// exist in that fake file system and puts the .lnk file there.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "../shelllink_port.h"
#include "fake_ports.h"

namespace fake {

class ShellLinks : public port::ShellLinks, public Faults {
public:
    struct Link {
        std::string target, arguments, description, workingFolder, iconFile;
        int showCommand = 0;  // 0: not set
        int iconIndex = 0;
    };

    std::map<std::u16string, Link> saved;  // by the wide path given to Save
    FileSystem* files = nullptr;
    long failStatus = port::kEFail;
    long pathNotFound = port::HResult(0x80070003u);  // HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)

    int initializations = 0, uninitializations = 0;
    int liveLinks = 0, livePersistFiles = 0;  // created and not yet released

    // The link saved at an ANSI path (compared without regard to letter case).
    std::optional<Link> Saved(const std::string& path) const;
    // Byte-per-character widening and narrowing, as the fake converts (Latin-1).
    static std::u16string Widen(const std::string& text);
    static std::string Narrow(const std::u16string& text);

    long CoInitialize() override;
    void CoUninitialize() override;
    long CreateShellLink(port::Handle* link) override;
    long SetPath(port::Handle link, const char* path) override;
    long SetArguments(port::Handle link, const char* arguments) override;
    long SetDescription(port::Handle link, const char* description) override;
    long SetShowCmd(port::Handle link, int showCommand) override;
    long SetWorkingDirectory(port::Handle link, const char* folder) override;
    long SetIconLocation(port::Handle link, const char* file, int index) override;
    long QueryPersistFile(port::Handle link, port::Handle* file) override;
    int AnsiToWide(const char* text, port::WideChar* buffer, int capacity) override;
    long Save(port::Handle file, const port::WideChar* path, bool remember) override;
    void ReleasePersistFile(port::Handle file) override;
    void ReleaseLink(port::Handle link) override;

private:
    Link* Object(port::Handle link);
    std::map<port::Handle, Link> links_;
    std::map<port::Handle, port::Handle> persistFiles_;  // IPersistFile -> its link
    port::Handle next_ = 0x700;
};

}  // namespace fake
