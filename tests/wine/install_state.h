// What an install leaves on the machine, so that each test starts from and
// leaves behind a machine without the package.
#pragma once

#include <string>

namespace e2e {

constexpr char kLayoutKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0010419";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kInstallRunKey[] = "Software\\Microsoft\\Windows\\Run";

std::string InstallFolder();         // PROGRAMFILES\Brevok
std::string StartMenuFolder();       // all-users Start menu\Brevok Russian Keyboard
std::string DesktopShortcut();       // USERPROFILE\DESKTOP\Brevok Russian Document.lnk
std::string NativeSystemFolder();    // where 64-bit Windows loads layout libraries from

void RemoveEverythingInstalled();

}  // namespace e2e
