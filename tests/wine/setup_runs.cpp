#include "setup_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "driver.h"
#include "install_state.h"

namespace e2e {

const std::vector<std::string> kInstalledFiles = {"Qvtray.exe",       "qvnormal_3.dot", "qvnormal_7.dotm",
                                                   "qvnormal_10.dotm", "setupqv.exe",    "about.doc",
                                                   "load32.exe",       "load64.exe"};

std::string TrayRunData() {
    std::string data = "\"";  // built up: GCC 12 warns falsely on "..." + string
    data += Env("PROGRAMFILES");
    data += "\\brevok\\qvtray.exe\"";
    return data;
}

std::string SetupProgram() { return PackageDir() + "\\setupqv.exe"; }

std::string LayoutLibrary() { return NativeSystemFolder() + "\\qvkey.dll"; }

void InstallOnce(const std::string& currentFolder, std::string* pleaseWaitTitle) {
    Program setup = Start(SetupProgram(), "", currentFolder);
    ASSERT_TRUE(setup.Started()) << SetupProgram();
    HWND window = WaitForWindow(kInstallCaption, setup.Id());
    ASSERT_NE(window, nullptr) << "setup did not come up in install mode";
    HWND button = FindChild(window, "Button", "Click Here to Install");
    ASSERT_NE(button, nullptr);
    Click(button);
    HWND wait = PleaseWaitWindow(setup.Id(), kPleaseWaitLabel);
    ASSERT_NE(wait, nullptr) << "no please-wait window";
    if (pleaseWaitTitle) *pleaseWaitTitle = Title(wait);
    ASSERT_TRUE(WaitUntil([&] { return Title(window) == kCompleteCaption; }, 25000))
        << "the sequence did not complete; title: " << Title(window);
    HWND close = FindChild(window, "Button", "Close");
    ASSERT_NE(close, nullptr);
    Click(close);
    ASSERT_EQ(setup.Wait(15000), 0u);
}

HWND PleaseWaitWindow(DWORD pid, const std::string& label, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopWindowsOf(pid))
                if (IsWindowVisible(w) && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                    FindChild(w, "Static", label))
                    found = w;
            return found != nullptr;
        },
        ms);
    return found;
}

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

WORD MachineType(const std::string& path) {
    const std::string image = ReadWholeFile(path);
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    const size_t nt = static_cast<size_t>(dos->e_lfanew);
    if (nt + 4 + sizeof(IMAGE_FILE_HEADER) > image.size()) return 0;
    if (image.compare(nt, 4, std::string("PE\0\0", 4)) != 0) return 0;
    return reinterpret_cast<const IMAGE_FILE_HEADER*>(image.data() + nt + 4)->Machine;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(Lower(name));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<HANDLE> OpenProcessesNamed(const std::string& imageName) {
    std::vector<HANDLE> found;
    for (DWORD id : ProcessIdsNamed(imageName))
        if (HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) found.push_back(p);
    return found;
}

void RemoveLayoutLibraries() {
    DeleteFileA(LayoutLibrary().c_str());
    char wow[MAX_PATH] = {};
    if (GetSystemWow64DirectoryA(wow, MAX_PATH)) DeleteFileA((std::string(wow) + "\\qvkey.dll").c_str());
}

namespace {

// HKEY_CLASSES_ROOT in the 32-bit view, which a 32-bit setup reads by default.
HKEY ClassesRoot32(REGSAM access) {
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, access | KEY_WOW64_32KEY, &root) != ERROR_SUCCESS)
        return nullptr;
    return root;
}

bool SetDefault(HKEY root, const std::string& path, const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

constexpr char WordRegistration::kClassId[];
constexpr char WordRegistration::kServer[];

WordRegistration::WordRegistration() {
    HKEY root = ClassesRoot32(KEY_ALL_ACCESS);
    if (!root) return;
    created_ = SetDefault(root, "Word.Application\\CLSID", kClassId) &&
               SetDefault(root, "Word.Application\\CurVer", "Word.Application.14") &&
               SetDefault(root, std::string("CLSID\\") + kClassId + "\\LocalServer32", kServer);
    RegCloseKey(root);
}

WordRegistration::~WordRegistration() { Remove(); }

void WordRegistration::Remove() {
    HKEY root = ClassesRoot32(KEY_ALL_ACCESS);
    if (!root) return;
    RegDeleteTreeA(root, "Word.Application");
    RegDeleteTreeA(root, (std::string("CLSID\\") + kClassId).c_str());
    RegCloseKey(root);
}

}  // namespace e2e
