// Full runs of the real setup program driven from outside, and the readings
// of what a run leaves on the machine that the install and uninstall tests share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr char kInstallCaption[] = "Installing now Brevok Russian Keyboard layout";
constexpr char kRemoveCaption[] = "Now Uninstalling Brevok Russian Keyboard";
constexpr char kCompleteCaption[] = "Installation Complete";
constexpr char kPleaseWaitLabel[] = "INSTALLING. PLEASE WAIT";
constexpr char kInstallRunValue[] = "Brevok Russian Keyboard";
constexpr char kTrayRunValue[] = "Brevok Russian Keyboard Tray";

// The files an install puts into the Install folder, as the package names them.
extern const std::vector<std::string> kInstalledFiles;

std::string SetupProgram();  // the package's setupqv.exe
// The data the tray program's Run value must hold: its quoted path.
std::string TrayRunData();
std::string LayoutLibrary();  // qvkey.dll in the native system folder

// One whole install as a user does it: start setup (in `currentFolder`, the
// package folder when empty), click "Click Here to Install", wait for
// "Installation Complete", click "Close", expect exit code 0. Reports fatal
// failures; call through ASSERT_NO_FATAL_FAILURE. `pleaseWaitTitle` gets the
// please-wait window's title read right after the click.
void InstallOnce(const std::string& currentFolder = "", std::string* pleaseWaitTitle = nullptr);

// The setup process's shown topmost window that holds a static with this
// text. It exists hidden from the start; the click gives it its title before showing it.
HWND PleaseWaitWindow(DWORD pid, const std::string& label, DWORD ms = 5000);

// The machine type of a PE file's header; 0 when it is not readable as one.
WORD MachineType(const std::string& path);
std::string ReadWholeFile(const std::string& path);
// Names in a folder (files and folders, without "." and ".."), lower-cased and sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
std::string Lower(std::string text);

// Running processes with this image name, opened for waiting; the caller closes them.
std::vector<HANDLE> OpenProcessesNamed(const std::string& imageName);

// What the uninstall leaves in place and the install tests do not expect to
// find beforehand: the library in both system folders, and a Word registration.
void RemoveLayoutLibraries();

// A Word registration under HKEY_CLASSES_ROOT as the 32-bit setup reads it
// (the 32-bit view); removed again when the object goes.
class WordRegistration {
public:
    static constexpr char kClassId[] = "{6E5B2C1D-93A4-4F07-B8E2-0D41C7A95F36}";
    static constexpr char kServer[] = "C:\\Program Files\\Microsoft Office\\Office14\\WINWORD.EXE /automation";
    WordRegistration();
    ~WordRegistration();
    WordRegistration(const WordRegistration&) = delete;
    WordRegistration& operator=(const WordRegistration&) = delete;
    bool Created() const { return created_; }
    static void Remove();

private:
    bool created_ = false;
};

}  // namespace e2e
