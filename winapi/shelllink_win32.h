// Win32 adapter of port::ShellLinks: IShellLinkA and IPersistFile of the
// shell's link object, one plain call per method. Link with ole32 and uuid.
#pragma once

#include "core/shelllink_port.h"

namespace win32 {

class ShellLinks : public port::ShellLinks {
public:
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
};

}  // namespace win32
