// The seam between the portable logic and the platform.
//
// Every call the programs make into Windows goes through one of these small
// interfaces. Each has exactly two implementations: the Win32 adapter in
// winapi/ (one plain Windows call per method, no decisions of its own) and the
// in-memory fake in core/fake/ that host tests use and that can fail any call.
//
// Texts are byte strings in the ANSI code page, as the Windows "A" calls take
// them. Status codes keep their Windows meaning (0 = ERROR_SUCCESS,
// negative HRESULT = failure) so that the logic reads like the design.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace port {

// Opaque platform handle (HKEY, HANDLE, HMODULE, ...). 0 means none.
using Handle = std::uintptr_t;

constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorMoreData = 234;

class Environment {
public:
    virtual ~Environment() = default;
    // getenv: nullopt when the variable is not set.
    virtual std::optional<std::string> Get(const std::string& name) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // GetFileAttributesA says "directory".
    virtual bool FolderExists(const std::string& path) = 0;
    // FindFirstFileA finds the path and it is not a directory.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;                 // CreateDirectoryA
    virtual bool RemoveFolder(const std::string& path) = 0;                 // RemoveDirectoryA
    virtual bool CopyFile(const std::string& from, const std::string& to,
                          bool failIfExists) = 0;                           // CopyFileA
    virtual bool DeleteFile(const std::string& path) = 0;                   // DeleteFileA
    virtual bool SetCurrentFolder(const std::string& path) = 0;             // SetCurrentDirectoryA
    virtual std::string ModuleFileName() = 0;                               // GetModuleFileNameA(NULL)
    virtual std::string SystemFolder() = 0;                                 // GetSystemDirectoryA
};

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
constexpr std::uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS

class Registry {
public:
    virtual ~Registry() = default;
    // RegOpenKeyExA. Returns a Windows error code; *key is set on success.
    virtual long OpenKey(RegRoot root, const std::string& path, std::uint32_t access,
                         Handle* key) = 0;
    // RegCreateKeyExA (REG_OPTION_NON_VOLATILE).
    virtual long CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                           Handle* key) = 0;
    // RegQueryValueExA: name nullptr is the default value. On entry *size is the
    // buffer's size, on success the number of bytes stored (which need not end
    // in a zero); ERROR_MORE_DATA when the buffer is too small.
    virtual long QueryValue(Handle key, const char* name, char* buffer,
                            std::uint32_t* size) = 0;
    // RegSetValueExA, REG_SZ, data length counting the terminating zero.
    virtual long SetString(Handle key, const std::string& name, const std::string& data) = 0;
    virtual void CloseKey(Handle key) = 0;                                  // RegCloseKey
};

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecuteA(NULL, "open", file, NULL, NULL, SW_SHOWNORMAL); result ignored by all callers.
    virtual void Open(const std::string& file) = 0;
    // SHGetFolderPathA(NULL, csidl, NULL, 0, buffer[260]). Returns the HRESULT.
    virtual long GetFolderPath(int csidl, std::string* path) = 0;
};

// Message box styles and results used by the programs.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbIconError = 0x10;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // MessageBoxA with no owner window. Modal: returns when dismissed.
    virtual int MessageBox(const std::string& text, const std::string& title, unsigned style) = 0;
};

constexpr std::uint32_t kStillActive = 259;

class Processes {
public:
    virtual ~Processes() = default;
    // WinExec(commandLine, show). Result ignored by callers.
    virtual void WinExec(const std::string& commandLine, int show) = 0;
    // CreateProcessA(applicationName or NULL, commandLine, ..., inherit FALSE, flags 0,
    // no environment, no folder, STARTUPINFOA{cb=68}). On success *process is the
    // new process's handle (its thread handle is closed by the adapter).
    virtual bool CreateProcess(const char* applicationName, std::string& commandLine,
                               Handle* process) = 0;
    virtual std::uint32_t GetLastError() = 0;
    // GetExitCodeProcess.
    virtual bool GetExitCode(Handle process, std::uint32_t* code) = 0;
    // FormatMessageA(ALLOCATE_BUFFER | FROM_SYSTEM, language 0x400) + LocalFree.
    // nullopt when the system has no text for the code.
    virtual std::optional<std::string> SystemMessage(std::uint32_t code) = 0;
};

// Run-time binding of optional functions by name.
class Modules {
public:
    virtual ~Modules() = default;
    virtual Handle LoadLibrary(const std::string& name) = 0;               // LoadLibraryA
    virtual Handle GetModuleHandle(const std::string& name) = 0;           // GetModuleHandleA
    // GetProcAddress; 0 when the export is missing.
    virtual Handle GetProcAddress(Handle module, const std::string& name) = 0;
    virtual void FreeLibrary(Handle module) = 0;
    // Calls a bound Wow64DisableWow64FsRedirection / Wow64RevertWow64FsRedirection.
    virtual bool CallWow64DisableFsRedirection(Handle function, Handle* previous) = 0;
    virtual bool CallWow64RevertFsRedirection(Handle function, Handle previous) = 0;
};

}  // namespace port
