#include "driver.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>

namespace e2e {

namespace {
struct Search {
    std::string title;
    DWORD pid;
    HWND found;
};
struct CollectWindows {
    DWORD pid;
    std::vector<HWND> found;
};
struct CollectChildren {
    std::string cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowsOf(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<CollectWindows*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == c->pid) c->found.push_back(w);
    return TRUE;
}

BOOL CALLBACK MatchTitle(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(w)) return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (s->pid && owner != s->pid) return TRUE;
    if (Title(w) != s->title) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK MatchFirstVisible(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s->pid || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK CollectChildrenOf(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<CollectChildren*>(lp);
    char cls[128] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, c->cls.c_str()) == 0) c->found.push_back(w);
    return TRUE;
}

}  // namespace

std::string PackageDir() {
    const char* dir = std::getenv("BREVOK_PACKAGE_DIR");
    return dir ? dir : "";
}

std::string ProgramsDir() {
    const char* dir = std::getenv("BREVOK_PROGRAMS_DIR");
    return dir ? dir : "";
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
    CollectWindows c{pid, {}};
    EnumWindows(
    CollectWindowsOf,
    reinterpret_cast<LPARAM>(&c));
    return c.found;
}

std::vector<DWORD> ProcessIdsNamed(const std::string& imageName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        std::string name = entry.szExeFile;
        name = name.substr(name.find_last_of('\\') + 1);
        if (lstrcmpiA(name.c_str(), imageName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

void KillAll(const std::string& imageName) {
    for (DWORD id : ProcessIdsNamed(imageName)) {
        if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(p, 1);
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
    }
}

std::string TempFolder(const std::string& name) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(base) + "brevok-" + name;
    DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

Program::Program(Program&& other) noexcept : info_(other.info_) { other.info_ = {}; }

Program::~Program() {
    if (!info_.hProcess) return;
    if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
}

DWORD Program::Wait(DWORD ms) {
    WaitForSingleObject(info_.hProcess, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Program::Running() { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

Program Start(const std::string& exe, const std::string& arguments, const std::string& folder) {
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty()) line += " " + arguments;
    std::string dir = folder;
    if (dir.empty()) dir = exe.substr(0, exe.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    Program p;
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                    &startup, &p.info_))
    p.info_ = {};
    return p;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
    }
}

HWND FindTopWindow(const std::string& title, DWORD pid) {
    Search s{title, pid, nullptr};
    EnumWindows(
    MatchTitle,
    reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForWindow(const std::string& title, DWORD pid, DWORD ms) {
    HWND w = nullptr;
    WaitUntil([&] { return (w = FindTopWindow(title, pid)) != nullptr; }, ms);
    return w;
}

HWND FirstWindowOf(DWORD pid) {
    Search s{"", pid, nullptr};
    EnumWindows(
    MatchFirstVisible,
    reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string Title(HWND window) {
    // For another process's window this reads the stored text without sending
    // a message, so a program busy on its own thread cannot stall the test.
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> Children(HWND parent, const std::string& className) {
    CollectChildren c{className, {}};
    EnumChildWindows(
    parent,
    CollectChildrenOf,
    reinterpret_cast<LPARAM>(&c));
    return c.found;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    for (HWND w : Children(parent, className))
    if (text.empty() || Title(w) == text) return w;
    return nullptr;
}

SIZE OuterSize(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT ClientRectOf(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

namespace {
REGSAM View() {
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    return wow ? KEY_WOW64_64KEY : 0;
}
}  // namespace

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | View(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | View(), &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
    DWORD n = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteKeyTree(root, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyExA(root, path.c_str(), View(), 0);
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | View(), nullptr, &key,
                    nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
}

bool ReadString(HKEY root, const std::string& path, const std::string& name, std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | View(), &key) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    *value = data;
    return true;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Env(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    return v ? v : "";
}

void DeleteTree(const std::string& folder) {
    std::string from = folder + std::string(1, '\0');  // double-zero terminated
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

}  // namespace e2e
