// In-memory stand-ins for the ports, for host tests. Every call is logged in
// order and any call can be made to fail: Fail("CopyFile") fails every copy,
// Fail("CopyFile", "c:\\x") only those whose first argument is that text
// (compared without regard to letter case, as Windows compares paths).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../os.h"
#include "../ports.h"

namespace fake {

std::string Lower(std::string s);

class Faults {
public:
    void Fail(const std::string& op, const std::string& arg = "*");
    void Heal() { failing_.clear(); }
    bool ShouldFail(const std::string& op, const std::string& arg = "") const;
    // Every call, as "Op arg[ arg...]".
    std::vector<std::string> calls;
    void Log(const std::string& entry) { calls.push_back(entry); }
    // How many logged calls start with `prefix`.
    int Count(const std::string& prefix) const;

private:
    std::set<std::pair<std::string, std::string>> failing_;
};

class Environment : public port::Environment, public Faults {
public:
    std::map<std::string, std::string> vars;  // names compared without case
    void Set(const std::string& name, const std::string& value) { vars[Lower(name)] = value; }
    void Unset(const std::string& name) { vars.erase(Lower(name)); }
    std::optional<std::string> Get(const std::string& name) override;
};

class FileSystem : public port::FileSystem, public Faults {
public:
    // Paths are stored lower-cased; a relative path is taken from `current`.
    std::set<std::string> folders;
    std::map<std::string, std::string> files;  // path -> content
    std::string current = "c:\\";
    std::string moduleFileName = "C:\\Package\\setupqv.exe";
    std::string systemFolder = "C:\\windows\\system32";

    void AddFolder(const std::string& path);  // with its parents
    void AddFile(const std::string& path, const std::string& content = "x");
    bool HasFile(const std::string& path) const;
    bool HasFolder(const std::string& path) const;
    std::string Resolve(const std::string& path) const;

    bool FolderExists(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool DeleteFile(const std::string& path) override;
    bool SetCurrentFolder(const std::string& path) override;
    std::string ModuleFileName() override;
    std::string SystemFolder() override;
};

class Registry : public port::Registry, public Faults {
public:
    struct Key {
        std::map<std::string, std::string> values;  // lower-cased name ("" = default) -> raw bytes
        bool readOnly = false;                      // opens for KEY_READ only
    };
    std::map<std::string, Key> keys;  // "hklm\\path" lower-cased

    static std::string Name(port::RegRoot root, const std::string& path);
    Key& AddKey(port::RegRoot root, const std::string& path);
    bool HasKey(port::RegRoot root, const std::string& path) const;
    // The value's text up to its first zero; nullopt when absent.
    std::optional<std::string> Value(port::RegRoot root, const std::string& path,
                                     const std::string& name) const;

    long OpenKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                 port::Handle* key) override;
    long CreateKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                   port::Handle* key) override;
    long QueryValue(port::Handle key, const char* name, char* buffer, std::uint32_t* size) override;
    long SetString(port::Handle key, const std::string& name, const std::string& data) override;
    void CloseKey(port::Handle key) override;
    int openHandles = 0;

private:
    std::map<port::Handle, std::string> handles_;
    port::Handle next_ = 0x100;
};

class Shell : public port::Shell, public Faults {
public:
    std::vector<std::string> opened;
    std::map<int, std::string> folders;  // csidl -> path
    void Open(const std::string& file) override;
    long GetFolderPath(int csidl, std::string* path) override;
};

class Dialogs : public port::Dialogs, public Faults {
public:
    struct Box { std::string text, title; unsigned style; };
    std::vector<Box> boxes;
    // Runs while the box is "open" (a modal box keeps dispatching messages).
    std::function<void()> whileOpen;
    int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
};

class Processes : public port::Processes, public Faults {
public:
    std::vector<std::string> winExecs;
    std::vector<std::string> created;  // command lines passed to CreateProcess
    std::uint32_t lastError = 0;
    std::uint32_t createError = port::kErrorFileNotFound;  // reported when a create fails
    std::map<port::Handle, std::uint32_t> exitCodes;       // per process; kStillActive while running
    std::uint32_t nextExitCode = port::kStillActive;       // exit code of the next created process
    std::map<std::uint32_t, std::string> messages;         // system texts by error code

    void WinExec(const std::string& commandLine, int show) override;
    bool CreateProcess(const char* applicationName, std::string& commandLine,
                       port::Handle* process) override;
    std::uint32_t GetLastError() override { return lastError; }
    bool GetExitCode(port::Handle process, std::uint32_t* code) override;
    std::optional<std::string> SystemMessage(std::uint32_t code) override;

private:
    port::Handle next_ = 0x500;
};

class Modules : public port::Modules, public Faults {
public:
    // Module name (lower-cased) -> exports it offers.
    std::map<std::string, std::set<std::string>> available;
    std::map<port::Handle, std::string> loaded;  // handles not yet freed
    int loads = 0, frees = 0;
    int redirectionDisabled = 0, redirectionReverted = 0;

    port::Handle LoadLibrary(const std::string& name) override;
    port::Handle GetModuleHandle(const std::string& name) override;
    port::Handle GetProcAddress(port::Handle module, const std::string& name) override;
    void FreeLibrary(port::Handle module) override;
    bool CallWow64DisableFsRedirection(port::Handle function, port::Handle* previous) override;
    bool CallWow64RevertFsRedirection(port::Handle function, port::Handle previous) override;

private:
    port::Handle next_ = 0x900;
    std::map<port::Handle, std::string> procs_;
};

class SystemFacts;
class ShellLinks;
class ProcessControl;

// A whole platform of fakes, installed as the process's ports while it lives.
// The fakes declared in their own headers are reached through accessors.
struct Platform {
    Environment env;
    FileSystem files;
    Registry registry;
    Shell shell;
    Dialogs dialogs;
    Processes processes;
    Modules modules;
    Platform();
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;
    port::Ports Ports();
    SystemFacts& Facts() { return *facts_; }        // fake_winver.h; Windows 7 SP1 x64
    ShellLinks& Links() { return *links_; }         // fake_shelllink.h; saves into `files`
    ProcessControl& Control() { return *control_; } // fake_processcontrol.h; no process running

private:
    std::unique_ptr<SystemFacts> facts_;
    std::unique_ptr<ShellLinks> links_;
    std::unique_ptr<ProcessControl> control_;
};

}  // namespace fake
