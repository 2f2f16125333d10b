// Unit set1: the setup program's state, its installer window and the setup
// operations. Portable: the platform is reached through port::Os() and the
// widget layer.
#pragma once

#include <cstdint>
#include <string>

#include "core/ports.h"
#include "core/ui.h"

// The process-wide record every part of the setup program shares. Nothing
// resets it during a run.
struct SetupState {
    bool is64BitWindows = false;
    bool finished = false;
    std::int32_t tickCount = 0;
    bool wordPathAssumed = false;
    std::int32_t closeWaitTick = -1;
    std::string wordPath;
    std::string windowsDescription;
    bool removeMode = false;
    std::uint32_t registrarExitCode = 0;
    std::string trayPath;
    std::string layoutLibrarySource;
    char windowsDescriptionBuffer[256] = {};
    port::Handle registrarProcess = 0;
    std::string systemDrive;
};

extern SetupState setupState;

class TForm2;

// The installer window.
class TForm1 : public ui::Form {
public:
    TForm1();

    ui::Image foot{this};
    ui::Timer Timer1{this};
    ui::Button B{this};
    ui::Gauge Bar{this};
    ui::Image head{this};
    ui::Image head_rem{this};
    ui::Image foot_rem{this};
    ui::Button eb{this};

    void FormCreate();
    void BClick();
    void footClick();
    void ebClick();
    void Timer1Timer();
};

extern TForm1* Form1;

// Texts the windows show.
namespace setup_text {
constexpr char kInstallCaption[] = "Installing now Brevok Russian Keyboard layout";
constexpr char kRemoveCaption[] = "Now Uninstalling Brevok Russian Keyboard";
constexpr char kInstallButton[] = "Click Here to Install";
constexpr char kRemoveButton[] = "Uninstall Previous Version";
constexpr char kStoredButton[] = "Installation Complete";
constexpr char kComplete[] = "Installation Complete";
constexpr char kClose[] = "Close";
constexpr char kExit[] = "Exit";
constexpr char kRemovingLabel[] = "Removing previouse version of Brevok keyboard";
constexpr char kLayoutKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0010419";
}  // namespace setup_text

// Stored pictures of the installer window, by name, with their pixel sizes.
namespace setup_pictures {
constexpr char kHead[] = "setup.head";          // 730 x 101
constexpr char kFoot[] = "setup.foot";          // 730 x 359
constexpr char kHeadRemove[] = "setup.head_rem";  // 782 x 93
constexpr char kFootRemove[] = "setup.foot_rem";  // 807 x 125
}  // namespace setup_pictures

// Start-up: takes the argument text (the command line less the program's own
// name), fills the state, creates the windows and runs the loop. Returns 0.
int SetupMain(const std::string& arguments, ui::Platform* platform);

// The part of the command line after the program's own name, quoted or not,
// and the blanks and tabs that follow it.
std::string ArgumentsOf(const std::string& commandLine);

// The class library's registry error, raised when a value cannot be written.
class ERegistryException : public ui::Exception {
public:
    using ui::Exception::Exception;
};

// Writes a string value under an open registry key, raising the registry error
// "Failed to set data for '<name>'" when the write fails.
void WriteRegistryString(port::Handle key, const std::string& name, const std::string& data);

// The setup operations.
void InstallPackage();
void UninstallPackage();
int DetectWordVersion();
void DescribeWindowsVersion(char* buffer);  // at least 256 bytes
// Writes one shell shortcut; returns an HRESULT (E_INVALIDARG for refused arguments).
long CreateShortcut(const char* target, const char* arguments, const char* linkPath,
                    const char* description, int showCommand, const char* workingFolder,
                    const char* iconFile, int iconIndex);
void StartProcess(const char* applicationName, std::string& commandLine);
void DisableFsRedirection();
// Registrar command line for the registrar Tick.
std::string RegistrarCommandLine(bool removeMode, bool wordPathAssumed, bool is64BitWindows);
