// Win32 adapters of the common ports: one plain Windows call per method.
#pragma once

#include "core/os.h"
#include "core/ports.h"

namespace win32 {

class Environment : public port::Environment {
public:
    std::optional<std::string> Get(const std::string& name) override;
};

class FileSystem : public port::FileSystem {
public:
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

class Registry : public port::Registry {
public:
    long OpenKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                 port::Handle* key) override;
    long CreateKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                   port::Handle* key) override;
    long QueryValue(port::Handle key, const char* name, char* buffer, std::uint32_t* size) override;
    long SetString(port::Handle key, const std::string& name, const std::string& data) override;
    void CloseKey(port::Handle key) override;
};

class Shell : public port::Shell {
public:
    void Open(const std::string& file) override;
    long GetFolderPath(int csidl, std::string* path) override;
};

class Dialogs : public port::Dialogs {
public:
    int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
};

class Processes : public port::Processes {
public:
    void WinExec(const std::string& commandLine, int show) override;
    bool CreateProcess(const char* applicationName, std::string& commandLine,
                       port::Handle* process) override;
    std::uint32_t GetLastError() override;
    bool GetExitCode(port::Handle process, std::uint32_t* code) override;
    std::optional<std::string> SystemMessage(std::uint32_t code) override;
};

class Modules : public port::Modules {
public:
    port::Handle LoadLibrary(const std::string& name) override;
    port::Handle GetModuleHandle(const std::string& name) override;
    port::Handle GetProcAddress(port::Handle module, const std::string& name) override;
    void FreeLibrary(port::Handle module) override;
    bool CallWow64DisableFsRedirection(port::Handle function, port::Handle* previous) override;
    bool CallWow64RevertFsRedirection(port::Handle function, port::Handle previous) override;
};

// The common adapters, as one set of ports; each program adds its own.
struct CommonPorts {
    Environment env;
    FileSystem files;
    Registry registry;
    Shell shell;
    Dialogs dialogs;
    Processes processes;
    Modules modules;
    port::Ports Ports() {
        port::Ports ports;
        ports.env = &env;
        ports.files = &files;
        ports.registry = &registry;
        ports.shell = &shell;
        ports.dialogs = &dialogs;
        ports.processes = &processes;
        ports.modules = &modules;
        return ports;
    }
};

}  // namespace win32
