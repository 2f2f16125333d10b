// Measures the package's programs from outside for tools/benchmark.sh and
// prints "name value" lines (one measurement per run; the script repeats).
//
//   bench_probe start <exe> <window title> <settle ms> [<marker file>]
//       start_ms:        CreateProcess to the moment a top-level window of the
//                        new process with that title exists (shown or not)
//       working_set_kib, private_kib: GetProcessMemoryInfo after settling
//       With a marker file: after printing, makes it and keeps the program
//       running until the file is gone, so that the script can read the Wine
//       process's /proc entry meanwhile.
//   bench_probe click <setupqv.exe>
//       click_ms:        the click on "Click Here to Install" to the please-wait
//                        window showing (the click's synchronous part)
//       links:           shortcut files present at that moment
//   bench_probe word on <program> | word off
//       a registered Word, so that the setup makes all four shortcuts
//   bench_probe clean
//       removes what an install (or bare_copy) put on the machine
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kInstallTitle[] = "Installing now Brevok Russian Keyboard layout";
const char kPleaseWait[] = "INSTALLING. PLEASE WAIT";
const char kWordClassId[] = "{B7E5E0A1-0000-4C2A-9F00-00000000B0B0}";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

DWORD OwnerOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

// A top-level window of that process with that title, shown or not.
HWND WindowOf(DWORD pid, const char* title) {
    for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title); w; w = FindWindowExA(nullptr, w, nullptr, title))
        if (OwnerOf(w) == pid) return w;
    return nullptr;
}

struct PleaseWaitSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPleaseWait(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<PleaseWaitSearch*>(lp);
    if (OwnerOf(w) != s->pid || !FindWindowExA(w, nullptr, "Static", kPleaseWait)) return TRUE;
    s->found = w;
    return FALSE;
}

HWND PleaseWaitOf(DWORD pid) {
    PleaseWaitSearch s{pid, nullptr};
    EnumWindows(FindPleaseWait, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool StartProcess(const std::string& exe, PROCESS_INFORMATION* info) {
    std::string line = "\"" + exe + "\"";
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          info) != FALSE;
}

// Ends our own child: a close request first, then by force.
void EndChild(PROCESS_INFORMATION& info, HWND window) {
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

int Start(const std::string& exe, const char* title, DWORD settle, const std::string& marker) {
    PROCESS_INFORMATION info = {};
    double t0 = Now();
    if (!StartProcess(exe, &info)) {
        std::printf("error cannot start %s (%lu)\n", exe.c_str(), GetLastError());
        return 1;
    }
    HWND window = nullptr;
    while (!(window = WindowOf(info.dwProcessId, title))) {
        if (Now() - t0 > 30000 || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            std::printf("error no window \"%s\"\n", title);
            EndChild(info, nullptr);
            return 1;
        }
        Sleep(1);
    }
    double t1 = Now();
    Sleep(settle);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        std::printf("error GetProcessMemoryInfo (%lu)\n", GetLastError());
        EndChild(info, window);
        return 1;
    }
    std::printf("start_ms %.2f\n", t1 - t0);
    std::printf("working_set_kib %lu\n", static_cast<unsigned long>(counters.WorkingSetSize / 1024));
    std::printf("private_kib %lu\n", static_cast<unsigned long>(counters.PrivateUsage / 1024));
    std::printf("pid %lu\n", info.dwProcessId);
    std::fflush(stdout);
    if (!marker.empty()) {
        HANDLE f = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            CloseHandle(f);
            for (int i = 0; i < 600 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
        }
    }
    EndChild(info, window);
    return 0;
}

int CountLinks() {
    char startMenu[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU, nullptr, 0, startMenu);
    std::string folder = std::string(startMenu) + "\\Brevok Russian Keyboard\\";
    const std::string links[] = {Env("USERPROFILE") + "\\DESKTOP\\Brevok Russian Document.lnk",
                                 folder + "BrEvok Russian Document.lnk", folder + "BrEvok Help.lnk",
                                 folder + "UnInstall Brevok Russian Keyboard.lnk"};
    int n = 0;
    for (const std::string& link : links)
        if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) ++n;
    return n;
}

int Click(const std::string& setup) {
    PROCESS_INFORMATION info = {};
    if (!StartProcess(setup, &info)) {
        std::printf("error cannot start %s (%lu)\n", setup.c_str(), GetLastError());
        return 1;
    }
    HWND window = nullptr;
    double begin = Now();
    while (!(window = WindowOf(info.dwProcessId, kInstallTitle)) || !IsWindowVisible(window)) {
        if (Now() - begin > 30000) {
            std::printf("error no install window\n");
            EndChild(info, nullptr);
            return 1;
        }
        Sleep(10);
    }
    HWND button = FindWindowExA(window, nullptr, "Button", "Click Here to Install");
    HWND exitButton = FindWindowExA(window, nullptr, "Button", "Exit");
    if (!button || !exitButton) {
        std::printf("error no buttons\n");
        EndChild(info, window);
        return 1;
    }
    Sleep(500);  // let the start settle before the click
    // The please-wait window is made hidden at start; found now when it is.
    HWND wait = PleaseWaitOf(info.dwProcessId);
    double t0 = Now();
    PostMessageA(button, BM_CLICK, 0, 0);
    for (;;) {
        if (!wait) wait = PleaseWaitOf(info.dwProcessId);
        if (wait && IsWindowVisible(wait)) break;
        if (Now() - t0 > 30000) {
            std::printf("error no please-wait window\n");
            EndChild(info, window);
            return 1;
        }
        Sleep(1);
    }
    double t1 = Now();
    std::printf("click_ms %.2f\n", t1 - t0);
    std::printf("links %d\n", CountLinks());
    // Ended before Tick 10, so that no registrar and no tray program start.
    PostMessageA(exitButton, BM_CLICK, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
    std::printf("setup_exit %lu\n", code);
    EndChild(info, nullptr);
    return 0;
}

void SetClassesDefault(const std::string& path, const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

int Word(bool on, const std::string& program) {
    std::string server = std::string("CLSID\\") + kWordClassId;
    if (on) {
        SetClassesDefault("Word.Application\\CLSID", kWordClassId);
        SetClassesDefault("Word.Application\\CurVer", "Word.Application.14");
        SetClassesDefault(server + "\\LocalServer32", program + " /automation");
    } else {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "Word.Application");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, server.c_str());
    }
    return 0;
}

void DeleteTree(const std::string& folder) {
    std::string from = folder + std::string(1, '\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

int Clean() {
    DeleteTree(Env("PROGRAMFILES") + "\\Brevok");
    char startMenu[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU, nullptr, 0, startMenu);
    DeleteTree(std::string(startMenu) + "\\Brevok Russian Keyboard");
    DeleteFileA((Env("USERPROFILE") + "\\DESKTOP\\Brevok Russian Document.lnk").c_str());
    // The layout library sits in the native system folder.
    PVOID previous = nullptr;
    BOOL off = Wow64DisableWow64FsRedirection(&previous);
    DeleteFileA((Env("SYSTEMDRIVE") + "\\windows\\system32\\qvkey.dll").c_str());
    if (off) Wow64RevertWow64FsRedirection(previous);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\Run");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "start" && (argc == 5 || argc == 6))
        return Start(argv[2], argv[3], static_cast<DWORD>(std::atoi(argv[4])), argc == 6 ? argv[5] : "");
    if (mode == "click" && argc == 3) return Click(argv[2]);
    if (mode == "word" && argc >= 3) return Word(std::string(argv[2]) == "on", argc > 3 ? argv[3] : "");
    if (mode == "clean") return Clean();
    std::fprintf(stderr, "usage: bench_probe start <exe> <title> <settle ms> [<marker>] | click <setupqv.exe> | "
                         "word on <program> | word off | clean\n");
    return 2;
}
