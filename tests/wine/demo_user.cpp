// Acts as the user for the demo when there is no display to click on:
//   demo_user wait <title> [seconds]        waits until a window with that title shows
//   demo_user wait-label <text> [seconds]   waits until a window holding that text shows
//   demo_user click <title> <button>        presses a button of that window
//   demo_user show-tray                     double-clicks the tray icon (by its message)
//   demo_user hide-tray                     presses the tray window's "Hide"
//   demo_user report                        prints what an install left behind
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "install_state.h"
#include "shortcuts.h"

namespace {

const char kTrayTitle[] = "BRevok Cyrillic Keyboard Layout";
constexpr UINT kTrayCallback = 0x8064;

int Wait(const std::string& title, int seconds) {
    HWND w = e2e::WaitForWindow(title, 0, static_cast<DWORD>(seconds) * 1000);
    if (!w) {
        std::fprintf(stderr, "no window titled \"%s\" within %d s\n", title.c_str(), seconds);
        return 1;
    }
    std::printf("window \"%s\" is showing\n", title.c_str());
    return 0;
}

// Any visible top-level window with a static control of that text.
HWND WindowHolding(const std::string& text) {
    HWND found = nullptr;
    for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && e2e::FindChild(w, "Static", text)) found = w;
    return found;
}

int WaitLabel(const std::string& text, int seconds) {
    HWND w = nullptr;
    e2e::WaitUntil([&] { return (w = WindowHolding(text)) != nullptr; }, static_cast<DWORD>(seconds) * 1000);
    if (!w) {
        std::fprintf(stderr, "no window showing \"%s\" within %d s\n", text.c_str(), seconds);
        return 1;
    }
    std::printf("window \"%s\" shows \"%s\"\n", e2e::Title(w).c_str(), text.c_str());
    return 0;
}

int Click(const std::string& title, const std::string& button) {
    HWND w = e2e::FindTopWindow(title);
    HWND b = w ? e2e::FindChild(w, "Button", button) : nullptr;
    if (!b) {
        std::fprintf(stderr, "no button \"%s\" in \"%s\"\n", button.c_str(), title.c_str());
        return 1;
    }
    e2e::Click(b);
    std::printf("clicked \"%s\"\n", button.c_str());
    return 0;
}

int ShowTray() {
    HWND w = nullptr;
    e2e::WaitUntil([&] { return (w = FindWindowA(nullptr, kTrayTitle)) != nullptr; }, 20000);
    if (!w) {
        std::fprintf(stderr, "the tray program's window does not exist\n");
        return 1;
    }
    PostMessageA(w, kTrayCallback, 1006, WM_LBUTTONDBLCLK);
    if (!e2e::WaitUntil([&] { return IsWindowVisible(w) != FALSE; }, 5000)) {
        std::fprintf(stderr, "the tray window did not show\n");
        return 1;
    }
    std::printf("tray window shown\n");
    return 0;
}

int HideTray() {
    HWND w = FindWindowA(nullptr, kTrayTitle);
    HWND hide = w ? e2e::FindChild(w, "Button", "Hide") : nullptr;
    if (!hide) return 1;
    e2e::Click(hide);
    return 0;
}

void Shortcut(const std::string& path) {
    e2e::Shortcut s = e2e::ReadShortcut(path);
    if (!s.loaded) {
        std::printf("  (none)     %s\n", path.c_str());
        return;
    }
    std::printf("  %s\n      -> %s %s\n", path.c_str(), s.target.c_str(), s.arguments.c_str());
}

void Value(HKEY root, const char* rootName, const std::string& key, const std::string& name) {
    std::string value;
    if (e2e::ReadString(root, key, name, &value))
        std::printf("  %s\\%s\n      \"%s\" = %s\n", rootName, key.c_str(), name.c_str(), value.c_str());
    else
        std::printf("  %s\\%s \"%s\": (absent)\n", rootName, key.c_str(), name.c_str());
}

int Report() {
    std::printf("\nInstall folder %s:\n", e2e::InstallFolder().c_str());
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((e2e::InstallFolder() + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                std::printf("  %-20s %8lu bytes\n", data.cFileName, static_cast<unsigned long>(data.nFileSizeLow));
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    std::string library = e2e::NativeSystemFolder() + "\\qvkey.dll";
    std::printf("\nLayout library: %s %s\n", library.c_str(), e2e::FileExists(library) ? "(present)" : "(absent)");

    std::printf("\nShortcuts:\n");
    Shortcut(e2e::DesktopShortcut());
    for (const char* name : {"BrEvok Russian Document.lnk", "BrEvok Help.lnk", "UnInstall Brevok Russian Keyboard.lnk"})
        Shortcut(e2e::StartMenuFolder() + "\\" + name);

    std::printf("\nRegistry:\n");
    for (const char* name : {"Layout File", "Layout Text", "Layout Id"})
        Value(HKEY_LOCAL_MACHINE, "HKLM", e2e::kLayoutKey, name);
    Value(HKEY_CURRENT_USER, "HKCU", e2e::kInstallRunKey, "Brevok Russian Keyboard");
    Value(HKEY_CURRENT_USER, "HKCU", e2e::kRunKey, "Brevok Russian Keyboard Tray");

    std::printf("\nRunning tray program:\n");
    std::vector<DWORD> trays = e2e::ProcessIdsNamed("qvtray.exe");
    for (DWORD id : trays) std::printf("  qvtray.exe, process %lu\n", static_cast<unsigned long>(id));
    if (trays.empty()) std::printf("  (not running)\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    int seconds = argc >= 4 ? std::atoi(argv[3]) : 30;
    if (verb == "wait" && argc >= 3) return Wait(argv[2], seconds);
    if (verb == "wait-label" && argc >= 3) return WaitLabel(argv[2], seconds);
    if (verb == "click" && argc >= 4) return Click(argv[2], argv[3]);
    if (verb == "show-tray") return ShowTray();
    if (verb == "hide-tray") return HideTray();
    if (verb == "report") return Report();
    std::fprintf(stderr,
                 "usage: demo_user wait <title> [s] | wait-label <text> [s] | click <title> <button>"
                 " | show-tray | hide-tray | report\n");
    return 2;
}
