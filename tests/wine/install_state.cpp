#include "install_state.h"

#include <windows.h>
#include <shlobj.h>

#include "driver.h"

namespace e2e {

std::string InstallFolder() { return Env("PROGRAMFILES") + "\\Brevok"; }

std::string StartMenuFolder() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU, nullptr, 0, path);
    return std::string(path) + "\\Brevok Russian Keyboard";
}

std::string DesktopShortcut() { return Env("USERPROFILE") + "\\DESKTOP\\Brevok Russian Document.lnk"; }

std::string NativeSystemFolder() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    // A 32-bit process reaches the native folder through "Sysnative".
    return std::string(windows) + (wow ? "\\Sysnative" : "\\System32");
}

void RemoveEverythingInstalled() {
    KillAll("qvtray.exe");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kLayoutKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Brevok Russian Keyboard Tray");
        RegCloseKey(key);
    }
    DeleteKeyTree(HKEY_CURRENT_USER, kInstallRunKey);
    DeleteTree(InstallFolder());
    DeleteTree(StartMenuFolder());
    DeleteFileA(DesktopShortcut().c_str());
}

}  // namespace e2e
