#include "windows_clean.h"
#include <shellapi.h>
#include <shlobj.h>

#include "ports_win32.h"

#include <cstdlib>
#include <vector>

namespace win32 {

namespace {
HKEY RootKey(port::RegRoot root) {
    switch (root) {
        case port::RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case port::RegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case port::RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CURRENT_USER;
}
template <class T> T As(port::Handle h) { return reinterpret_cast<T>(h); }
template <class T> port::Handle Of(T p) { return reinterpret_cast<port::Handle>(p); }
}  // namespace

std::optional<std::string> Environment::Get(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

bool FileSystem::FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystem::FileExists(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystem::CreateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr); }
bool FileSystem::RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()); }
bool FileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileA(from.c_str(), to.c_str(), failIfExists);
}
bool FileSystem::DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()); }
bool FileSystem::SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()); }

std::string FileSystem::ModuleFileName() {
    char buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n < MAX_PATH ? n : MAX_PATH - 1);
}

std::string FileSystem::SystemFolder() {
    char buffer[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return n < MAX_PATH ? std::string(buffer, n) : std::string();
}

long Registry::OpenKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                       port::Handle* key) {
    HKEY h = nullptr;
    LONG rc = RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &h);
    if (rc == ERROR_SUCCESS) *key = Of(h);
    return rc;
}

long Registry::CreateKey(port::RegRoot root, const std::string& path, std::uint32_t access,
                         port::Handle* key) {
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              access, nullptr, &h, nullptr);
    if (rc == ERROR_SUCCESS) *key = Of(h);
    return rc;
}

long Registry::QueryValue(port::Handle key, const char* name, char* buffer, std::uint32_t* size) {
    DWORD n = *size;
    LONG rc = RegQueryValueExA(As<HKEY>(key), name, nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer), &n);
    *size = n;
    return rc;
}

long Registry::SetString(port::Handle key, const std::string& name, const std::string& data) {
    return RegSetValueExA(As<HKEY>(key), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
}

void Registry::CloseKey(port::Handle key) { RegCloseKey(As<HKEY>(key)); }

void Shell::Open(const std::string& file) {
    ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

long Shell::GetFolderPath(int csidl, std::string* path) {
    char buffer[MAX_PATH] = {};
    HRESULT hr = SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer);
    if (SUCCEEDED(hr)) {
        buffer[MAX_PATH - 1] = '\0';
        *path = buffer;
    }
    return hr;
}

int Dialogs::MessageBox(const std::string& text, const std::string& title, unsigned style) {
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), style);
}

void Processes::WinExec(const std::string& commandLine, int show) {
    ::WinExec(commandLine.c_str(), static_cast<UINT>(show));
}

bool Processes::CreateProcess(const char* applicationName, std::string& commandLine,
                              port::Handle* process) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(applicationName, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    *process = Of(info.hProcess);
    return true;
}

std::uint32_t Processes::GetLastError() { return ::GetLastError(); }

bool Processes::GetExitCode(port::Handle process, std::uint32_t* code) {
    DWORD c = 0;
    BOOL ok = GetExitCodeProcess(As<HANDLE>(process), &c);
    if (ok) *code = c;
    return ok;
}

std::optional<std::string> Processes::SystemMessage(std::uint32_t code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&text), 0, nullptr);
    if (n == 0 || !text) return std::nullopt;
    std::string result(text, n);
    LocalFree(text);
    return result;
}

port::Handle Modules::LoadLibrary(const std::string& name) { return Of(LoadLibraryA(name.c_str())); }
port::Handle Modules::GetModuleHandle(const std::string& name) { return Of(GetModuleHandleA(name.c_str())); }
port::Handle Modules::GetProcAddress(port::Handle module, const std::string& name) {
    return reinterpret_cast<port::Handle>(::GetProcAddress(As<HMODULE>(module), name.c_str()));
}
void Modules::FreeLibrary(port::Handle module) { ::FreeLibrary(As<HMODULE>(module)); }

bool Modules::CallWow64DisableFsRedirection(port::Handle function, port::Handle* previous) {
    using Fn = BOOL(WINAPI*)(PVOID*);
    PVOID old = nullptr;
    BOOL ok = reinterpret_cast<Fn>(function)(&old);
    *previous = Of(old);
    return ok;
}

bool Modules::CallWow64RevertFsRedirection(port::Handle function, port::Handle previous) {
    using Fn = BOOL(WINAPI*)(PVOID);
    return reinterpret_cast<Fn>(function)(As<PVOID>(previous));
}

}  // namespace win32
