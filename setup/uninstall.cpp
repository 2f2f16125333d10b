// The removal steps that run at once in remove mode: close the tray program,
// delete the shortcuts the installation made and the Start-menu folder, and
// show the remove-mode captions. Unregistering the layout is left to the
// registrar that the progress sequence starts later. Every step may run again
// without harm.
#include <cstdint>
#include <string>

#include "core/os.h"
#include "setup/Killprocess.h"
#include "setup/set1.h"

namespace {

constexpr char kTrayImageName[] = "qvtray.exe";
constexpr char kDesktopShortcut[] = "\\DESKTOP\\Brevok Russian Document.lnk";
constexpr int kCommonStartMenuCreate = 0x8016;  // CSIDL_COMMON_STARTMENU | CSIDL_FLAG_CREATE
constexpr char kStartMenuFolder[] = "\\Brevok Russian Keyboard";
constexpr const char* kStartMenuShortcuts[] = {
    "\\BrEvok Russian Document.lnk",
    "\\BrEvok Help.lnk",
    "\\UnInstall Brevok Russian Keyboard.lnk",
};

// Only a file goes: a folder that bears a shortcut's name stays.
void DeleteIfFile(const std::string& path) {
    port::FileSystem& files = *port::Os().files;
    if (files.FileExists(path)) files.DeleteFile(path);
}

}  // namespace

void UninstallPackage() {
    KillProcessByName(kTrayImageName);  // closed or not, removal goes on

    std::string linkPath = port::GetEnvOrEmpty("USERPROFILE") + kDesktopShortcut;
    DeleteIfFile(linkPath);

    std::string startMenu;
    long hr = port::Os().shell->GetFolderPath(kCommonStartMenuCreate, &startMenu);
    // An HRESULT is 32 bits wide whatever the width of long.
    if (static_cast<std::int32_t>(hr) >= 0) {
        std::string folder = startMenu + kStartMenuFolder;
        for (const char* shortcut : kStartMenuShortcuts) {
            linkPath = folder + shortcut;
            DeleteIfFile(linkPath);
        }
        // Fails quietly while the folder still holds anything.
        port::Os().files->RemoveFolder(folder);
    }

    if (Form1) {
        Form1->B.SetCaption(setup_text::kRemoveButton);
        Form1->SetCaption(setup_text::kRemoveCaption);
    }
}
