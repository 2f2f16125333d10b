#include "fake_ports.h"

#include "fake_processcontrol.h"
#include "fake_shelllink.h"
#include "fake_winver.h"

#include <algorithm>
#include <cctype>

namespace fake {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

void Faults::Fail(const std::string& op, const std::string& arg) {
    failing_.insert({op, arg == "*" ? "*" : Lower(arg)});
}

bool Faults::ShouldFail(const std::string& op, const std::string& arg) const {
    return failing_.count({op, "*"}) > 0 || failing_.count({op, Lower(arg)}) > 0;
}

int Faults::Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c.compare(0, prefix.size(), prefix) == 0;
    }));
}

// ---- Environment ----

std::optional<std::string> Environment::Get(const std::string& name) {
    Log("GetEnv " + name);
    if (ShouldFail("GetEnv", name)) return std::nullopt;
    auto it = vars.find(Lower(name));
    if (it == vars.end()) return std::nullopt;
    return it->second;
}

// ---- FileSystem ----

namespace {
std::string ParentOf(const std::string& path) {
    auto pos = path.find_last_of('\\');
    if (pos == std::string::npos) return "";
    return path.substr(0, pos);
}
bool IsRoot(const std::string& path) {
    return path.empty() || (path.size() == 2 && path[1] == ':');
}
}  // namespace

std::string FileSystem::Resolve(const std::string& path) const {
    std::string p = Lower(path);
    bool absolute = (p.size() >= 2 && p[1] == ':') || (!p.empty() && p[0] == '\\');
    if (!absolute) {
        std::string base = Lower(current);
        if (!base.empty() && base.back() != '\\') base += '\\';
        p = base + p;
    } else if (p[0] == '\\' && !(p.size() > 1 && p[1] == '\\')) {
        p = Lower(current.substr(0, 2)) + p;  // root of the current drive
    }
    while (p.size() > 3 && p.back() == '\\') p.pop_back();
    return p;
}

void FileSystem::AddFolder(const std::string& path) {
    std::string p = Resolve(path);
    while (!IsRoot(p)) {
        folders.insert(p);
        p = ParentOf(p);
    }
}

void FileSystem::AddFile(const std::string& path, const std::string& content) {
    std::string p = Resolve(path);
    AddFolder(ParentOf(p));
    files[p] = content;
}

bool FileSystem::HasFile(const std::string& path) const { return files.count(Resolve(path)) > 0; }
bool FileSystem::HasFolder(const std::string& path) const { return folders.count(Resolve(path)) > 0; }

bool FileSystem::FolderExists(const std::string& path) {
    Log("FolderExists " + path);
    if (ShouldFail("FolderExists", path)) return false;
    return HasFolder(path) || IsRoot(Resolve(path));
}

bool FileSystem::FileExists(const std::string& path) {
    Log("FileExists " + path);
    if (ShouldFail("FileExists", path)) return false;
    return HasFile(path);
}

bool FileSystem::CreateFolder(const std::string& path) {
    Log("CreateFolder " + path);
    if (ShouldFail("CreateFolder", path)) return false;
    std::string p = Resolve(path);
    std::string parent = ParentOf(p);
    if (folders.count(p) || files.count(p)) return false;
    if (!IsRoot(parent) && !folders.count(parent)) return false;
    folders.insert(p);
    return true;
}

bool FileSystem::RemoveFolder(const std::string& path) {
    Log("RemoveFolder " + path);
    if (ShouldFail("RemoveFolder", path)) return false;
    std::string p = Resolve(path);
    if (!folders.count(p)) return false;
    std::string prefix = p + "\\";
    for (const auto& f : files)
        if (f.first.compare(0, prefix.size(), prefix) == 0) return false;
    for (const auto& d : folders)
        if (d.compare(0, prefix.size(), prefix) == 0) return false;
    folders.erase(p);
    return true;
}

bool FileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    Log("CopyFile " + from + " " + to);
    if (ShouldFail("CopyFile", from) || ShouldFail("CopyFile", to)) return false;
    std::string src = Resolve(from), dst = Resolve(to);
    auto it = files.find(src);
    if (it == files.end()) return false;
    if (failIfExists && files.count(dst)) return false;
    if (folders.count(dst)) return false;
    std::string parent = ParentOf(dst);
    if (!IsRoot(parent) && !folders.count(parent)) return false;
    files[dst] = it->second;
    return true;
}

bool FileSystem::DeleteFile(const std::string& path) {
    Log("DeleteFile " + path);
    if (ShouldFail("DeleteFile", path)) return false;
    return files.erase(Resolve(path)) > 0;
}

bool FileSystem::SetCurrentFolder(const std::string& path) {
    Log("SetCurrentFolder " + path);
    if (ShouldFail("SetCurrentFolder", path)) return false;
    std::string p = Resolve(path);
    if (!folders.count(p) && !IsRoot(p)) return false;
    current = p;
    return true;
}

std::string FileSystem::ModuleFileName() {
    Log("ModuleFileName");
    return moduleFileName;
}

std::string FileSystem::SystemFolder() {
    Log("SystemFolder");
    return systemFolder;
}

// ---- Registry ----

std::string Registry::Name(port::RegRoot root, const std::string& path) {
    const char* r = root == port::RegRoot::ClassesRoot  ? "hkcr"
                    : root == port::RegRoot::CurrentUser ? "hkcu"
                                                         : "hklm";
    std::string p = Lower(path);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return p.empty() ? std::string(r) : std::string(r) + "\\" + p;
}

Registry::Key& Registry::AddKey(port::RegRoot root, const std::string& path) {
    std::string name = Name(root, path);
    for (std::string p = name; p.find('\\') != std::string::npos; p = ParentOf(p)) keys[p];
    return keys[name];
}

bool Registry::HasKey(port::RegRoot root, const std::string& path) const {
    return keys.count(Name(root, path)) > 0;
}

std::optional<std::string> Registry::Value(port::RegRoot root, const std::string& path,
                                           const std::string& name) const {
    auto k = keys.find(Name(root, path));
    if (k == keys.end()) return std::nullopt;
    auto v = k->second.values.find(Lower(name));
    if (v == k->second.values.end()) return std::nullopt;
    std::string s = v->second;
    auto z = s.find('\0');
    return z == std::string::npos ? s : s.substr(0, z);
}

long Registry::OpenKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                       port::Handle* key) {
    std::string name = Name(root, path);
    Log("OpenKey " + name);
    if (ShouldFail("OpenKey", name)) return port::kErrorAccessDenied;
    auto it = keys.find(name);
    if (it == keys.end()) return port::kErrorFileNotFound;
    if (it->second.readOnly && access != port::kKeyRead) return port::kErrorAccessDenied;
    *key = next_++;
    handles_[*key] = name;
    ++openHandles;
    return port::kErrorSuccess;
}

long Registry::CreateKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                         port::Handle* key) {
    (void)access;
    std::string name = Name(root, path);
    Log("CreateKey " + name);
    if (ShouldFail("CreateKey", name)) return port::kErrorAccessDenied;
    AddKey(root, path);
    *key = next_++;
    handles_[*key] = name;
    ++openHandles;
    return port::kErrorSuccess;
}

long Registry::QueryValue(port::Handle key, const char* name, char* buffer, std::uint32_t* size) {
    auto h = handles_.find(key);
    std::string valueName = name ? Lower(name) : "";
    Log("QueryValue " + (h == handles_.end() ? "?" : h->second) + " " + valueName);
    if (h == handles_.end()) return 6;  // ERROR_INVALID_HANDLE
    if (ShouldFail("QueryValue", h->second)) return port::kErrorAccessDenied;
    auto& values = keys[h->second].values;
    auto v = values.find(valueName);
    if (v == values.end()) return port::kErrorFileNotFound;
    if (v->second.size() > *size) {
        *size = static_cast<std::uint32_t>(v->second.size());
        return port::kErrorMoreData;
    }
    std::copy(v->second.begin(), v->second.end(), buffer);
    *size = static_cast<std::uint32_t>(v->second.size());
    return port::kErrorSuccess;
}

long Registry::SetString(port::Handle key, const std::string& name, const std::string& data) {
    auto h = handles_.find(key);
    Log("SetString " + (h == handles_.end() ? "?" : h->second) + " " + name + "=" + data);
    if (h == handles_.end()) return 6;
    if (ShouldFail("SetString", name)) return port::kErrorAccessDenied;
    keys[h->second].values[Lower(name)] = data + std::string(1, '\0');
    return port::kErrorSuccess;
}

void Registry::CloseKey(port::Handle key) {
    Log("CloseKey");
    if (handles_.erase(key)) --openHandles;
}

// ---- Shell ----

void Shell::Open(const std::string& file) {
    Log("Open " + file);
    opened.push_back(file);
}

long Shell::GetFolderPath(int csidl, std::string* path) {
    Log("GetFolderPath " + std::to_string(csidl));
    // Negative as HRESULTs are, whatever the width of long.
    if (ShouldFail("GetFolderPath")) return static_cast<std::int32_t>(0x80004005u);  // E_FAIL
    auto it = folders.find(csidl);
    if (it == folders.end()) return static_cast<std::int32_t>(0x80070002u);
    *path = it->second;
    return 0;
}

// ---- Dialogs ----

int Dialogs::MessageBox(const std::string& text, const std::string& title, unsigned style) {
    Log("MessageBox " + title + ": " + text);
    boxes.push_back({text, title, style});
    if (whileOpen) {
        auto during = whileOpen;
        whileOpen = nullptr;  // once
        during();
    }
    return 1;  // IDOK
}

// ---- Processes ----

void Processes::WinExec(const std::string& commandLine, int show) {
    Log("WinExec " + commandLine + " " + std::to_string(show));
    winExecs.push_back(commandLine);
}

bool Processes::CreateProcess(const char* applicationName, std::string& commandLine,
                              port::Handle* process) {
    Log(std::string("CreateProcess ") + (applicationName ? applicationName : "(null)") + " " +
        commandLine);
    created.push_back(commandLine);
    if (ShouldFail("CreateProcess", commandLine)) {
        lastError = createError;
        return false;
    }
    *process = next_++;
    exitCodes[*process] = nextExitCode;
    return true;
}

bool Processes::GetExitCode(port::Handle process, std::uint32_t* code) {
    Log("GetExitCode");
    auto it = exitCodes.find(process);
    if (it == exitCodes.end() || ShouldFail("GetExitCode")) return false;
    *code = it->second;
    return true;
}

std::optional<std::string> Processes::SystemMessage(std::uint32_t code) {
    Log("SystemMessage " + std::to_string(code));
    auto it = messages.find(code);
    if (it == messages.end()) return std::nullopt;
    return it->second;
}

// ---- Modules ----

port::Handle Modules::LoadLibrary(const std::string& name) {
    Log("LoadLibrary " + name);
    if (ShouldFail("LoadLibrary", name) || !available.count(Lower(name))) return 0;
    ++loads;
    port::Handle h = next_++;
    loaded[h] = Lower(name);
    return h;
}

port::Handle Modules::GetModuleHandle(const std::string& name) {
    Log("GetModuleHandle " + name);
    if (ShouldFail("GetModuleHandle", name) || !available.count(Lower(name))) return 0;
    port::Handle h = next_++;
    loaded[h] = Lower(name);
    return h;
}

port::Handle Modules::GetProcAddress(port::Handle module, const std::string& name) {
    Log("GetProcAddress " + name);
    auto m = loaded.find(module);
    if (m == loaded.end() || ShouldFail("GetProcAddress", name)) return 0;
    if (!available[m->second].count(name)) return 0;
    port::Handle h = next_++;
    procs_[h] = name;
    return h;
}

void Modules::FreeLibrary(port::Handle module) {
    Log("FreeLibrary");
    if (loaded.erase(module)) ++frees;
}

bool Modules::CallWow64DisableFsRedirection(port::Handle function, port::Handle* previous) {
    Log("Wow64DisableWow64FsRedirection");
    if (procs_[function] != "Wow64DisableWow64FsRedirection") return false;
    *previous = 0x77;
    if (ShouldFail("Wow64DisableWow64FsRedirection")) return false;
    ++redirectionDisabled;
    return true;
}

bool Modules::CallWow64RevertFsRedirection(port::Handle function, port::Handle previous) {
    Log("Wow64RevertWow64FsRedirection");
    if (procs_[function] != "Wow64RevertWow64FsRedirection" || previous != 0x77) return false;
    ++redirectionReverted;
    return true;
}

// ---- Platform ----

Platform::Platform()
    : facts_(std::make_unique<SystemFacts>()),
      links_(std::make_unique<ShellLinks>()),
      control_(std::make_unique<ProcessControl>()) {
    facts_->SetWindows7x64();
    links_->files = &files;
    env.Set("SYSTEMDRIVE", "C:");
    env.Set("PROGRAMFILES", "C:\\Program Files");
    env.Set("USERPROFILE", "C:\\Users\\user");
    modules.available["kernel32.dll"] = {"Wow64DisableWow64FsRedirection",
                                         "Wow64RevertWow64FsRedirection"};
    modules.available["kernel32"] = modules.available["kernel32.dll"];
    files.AddFolder("C:\\windows\\system32");
    port::Install(Ports());
}

Platform::~Platform() { port::Install(port::Ports{}); }

port::Ports Platform::Ports() {
    port::Ports ports{&env, &files, &registry, &shell, &dialogs, &processes, &modules};
    ports.facts = facts_.get();
    ports.links = links_.get();
    ports.processControl = control_.get();
    return ports;
}

}  // namespace fake
