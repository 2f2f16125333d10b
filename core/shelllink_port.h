// Port of the shell's link object: one method per COM call that
// CreateShortcut makes, so its argument checks, call order and result rule
// stay in portable code. The Win32 adapter (winapi/shelllink_win32.cpp) wraps
// IShellLinkA and IPersistFile; the fake (core/fake/fake_shelllink.h) records
// every call and keeps saved links in memory.
#pragma once

#include <cstdint>

#include "ports.h"

namespace port {

// An HRESULT is a signed 32-bit status. `long` is 32 bits on Windows but 64 on
// Linux, so an HRESULT given as its hex code must be made negative through the
// 32-bit type, and a status is tested on its low 32 bits.
constexpr long HResult(std::uint32_t code) { return static_cast<std::int32_t>(code); }
constexpr bool Failed(long status) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(status)) < 0;
}

constexpr long kSOk = 0;
constexpr long kEFail = HResult(0x80004005u);        // E_FAIL
constexpr long kEInvalidArg = HResult(0x80070057u);  // E_INVALIDARG
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE): a path too long for MAX_PATH.
constexpr long kEFilenameTooLong = HResult(0x800700CEu);
constexpr int kMaxPath = 260;

// A wide (UTF-16) character as Windows' WCHAR.
using WideChar = char16_t;

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    virtual long CoInitialize() = 0;    // CoInitialize(NULL)
    virtual void CoUninitialize() = 0;  // CoUninitialize()
    // CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA).
    // On success *link is the IShellLinkA.
    virtual long CreateShellLink(Handle* link) = 0;
    virtual long SetPath(Handle link, const char* path) = 0;                 // IShellLinkA::SetPath
    virtual long SetArguments(Handle link, const char* arguments) = 0;       // ::SetArguments
    virtual long SetDescription(Handle link, const char* description) = 0;   // ::SetDescription
    virtual long SetShowCmd(Handle link, int showCommand) = 0;               // ::SetShowCmd
    virtual long SetWorkingDirectory(Handle link, const char* folder) = 0;   // ::SetWorkingDirectory
    virtual long SetIconLocation(Handle link, const char* file, int index) = 0;  // ::SetIconLocation
    // IShellLinkA::QueryInterface(IID_IPersistFile). On success *file is the IPersistFile.
    virtual long QueryPersistFile(Handle link, Handle* file) = 0;
    // MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, capacity): the number of
    // wide characters written with the terminator, 0 when it does not fit.
    virtual int AnsiToWide(const char* text, WideChar* buffer, int capacity) = 0;
    virtual long Save(Handle file, const WideChar* path, bool remember) = 0;  // IPersistFile::Save
    virtual void ReleasePersistFile(Handle file) = 0;                        // IPersistFile::Release
    virtual void ReleaseLink(Handle link) = 0;                               // IShellLinkA::Release
};

}  // namespace port
