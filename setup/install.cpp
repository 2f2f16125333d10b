// The install procedure.
#include "setup/install.h"

#include <cstring>

#include "core/os.h"
#include "core/shelllink_port.h"
#include "setup/set1.h"

namespace install {

std::string PackageFolderOf(const std::string& programPath) {
    const std::string::size_type pos = programPath.find_last_of("\\:");
    return pos == std::string::npos ? std::string() : programPath.substr(0, pos + 1);
}

std::string WordTemplateName(int wordVersion) {
    switch (wordVersion) {
        case 10: return "qvnormal_xp.dot";
        case 11: return "qvnormal_3.dot";
        case 12: return "qvnormal_7.dotm";
        case 14: return "qvnormal_10.dotm";
        default: return "";
    }
}

std::string DocumentArguments(const std::string& installFolder, const std::string& templateName) {
    return "/t\"" + installFolder + "\\" + templateName + "\"";
}

namespace {

// A copy into a MAX_PATH buffer: false, and the buffer empty, when the text
// does not fit with its terminator (nothing is cut).
bool CopyToPathBuffer(char (&buffer)[kPathBufferSize], const std::string& text) {
    if (text.size() >= kPathBufferSize) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// A module taken with LoadLibrary, released on every path.
struct LibraryGuard {
    port::Handle module = 0;
    ~LibraryGuard() {
        if (module != 0) port::Os().modules->FreeLibrary(module);
    }
};

// A registry key, closed on every path (also when a write throws).
struct KeyGuard {
    port::Handle key = 0;
    ~KeyGuard() {
        if (key != 0) port::Os().registry->CloseKey(key);
    }
};

// A 32-bit setup on 64-bit Windows would have its copy into
// "\windows\system32" redirected into SysWOW64; the redirection is switched
// off around this one copy so that the library lands in the native system
// folder, and switched back right after.
void CopyLayoutLibrary(const std::string& source, const std::string& destination) {
    port::Ports& os = port::Os();
    if (!setupState.is64BitWindows) {
        os.files->CopyFile(source, destination, false);
        return;
    }
    LibraryGuard kernel32;
    kernel32.module = os.modules->LoadLibrary("kernel32.dll");
    port::Handle disable = 0, revert = 0;
    if (kernel32.module != 0) {
        disable = os.modules->GetProcAddress(kernel32.module, "Wow64DisableWow64FsRedirection");
        revert = os.modules->GetProcAddress(kernel32.module, "Wow64RevertWow64FsRedirection");
    }
    port::Handle previous = 0;
    const bool disabled =
        disable != 0 && revert != 0 && os.modules->CallWow64DisableFsRedirection(disable, &previous);
    os.files->CopyFile(source, destination, false);
    if (disabled) os.modules->CallWow64RevertFsRedirection(revert, previous);
}

}  // namespace

}  // namespace install

void WriteRegistryString(port::Handle key, const std::string& name, const std::string& data) {
    if (port::Os().registry->SetString(key, name, data) != port::kErrorSuccess)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void InstallPackage() {
    port::Ports& os = port::Os();

    DescribeWindowsVersion(setupState.windowsDescriptionBuffer);
    setupState.windowsDescription = setupState.windowsDescriptionBuffer;
    if (setupState.windowsDescription.find("64") != std::string::npos) setupState.is64BitWindows = true;

    const std::string packageFolder = install::PackageFolderOf(os.files->ModuleFileName());
    setupState.layoutLibrarySource =
        packageFolder + (setupState.is64BitWindows ? "amd64\\Qvkey.dll" : "i386\\Qvkey.dll");

    const std::string installFolder = port::GetEnvOrEmpty("PROGRAMFILES") + "\\Brevok";
    os.files->CreateFolder(installFolder);

    // The package files are read from the Package folder, wherever the
    // process's current folder is. The registrars go along: the Start-menu
    // uninstall shortcut starts the installed setupqv.exe, which finds its
    // registrar beside itself, and without one the layout could not be removed.
    static const char* const kPackageFiles[] = {"Qvtray.exe",  "qvnormal_3.dot", "qvnormal_7.dotm", "qvnormal_10.dotm",
                                                "setupqv.exe", "about.doc",      "load32.exe",      "load64.exe"};
    for (const char* name : kPackageFiles)
        os.files->CopyFile(packageFolder + name, installFolder + "\\" + name, false);

    install::CopyLayoutLibrary(setupState.layoutLibrarySource,
                               setupState.systemDrive + "\\windows\\system32\\qvkey.dll");

    // A Word path that does not fit the 260-byte Word target leaves it
    // empty, so the document shortcuts are refused rather than made to a cut path.
    const int wordVersion = DetectWordVersion();
    char wordTarget[install::kPathBufferSize];
    install::CopyToPathBuffer(wordTarget, setupState.wordPath);

    const std::string documentArguments =
        install::DocumentArguments(installFolder, install::WordTemplateName(wordVersion));
    std::string linkPath = port::GetEnvOrEmpty("USERPROFILE") + "\\DESKTOP\\Brevok Russian Document.lnk";
    setupState.trayPath = installFolder + "\\qvtray.exe";

    CreateShortcut(wordTarget, documentArguments.c_str(), linkPath.c_str(), "", 0, "", "", 0);

    // A path that would not fit the 260-byte buffer counts as a failed lookup.
    std::string startMenu;
    if (port::Failed(os.shell->GetFolderPath(install::kCommonStartMenuCreate, &startMenu))) return;
    char startMenuPath[install::kPathBufferSize];
    if (!install::CopyToPathBuffer(startMenuPath, startMenu)) return;

    const std::string startMenuFolder = std::string(startMenuPath) + install::kStartMenuFolder;
    os.files->CreateFolder(startMenuFolder);
    linkPath = startMenuFolder + "\\BrEvok Russian Document.lnk";
    CreateShortcut(wordTarget, documentArguments.c_str(), linkPath.c_str(), "", 0, "", "", 0);
    linkPath = startMenuFolder + "\\BrEvok Help.lnk";
    const std::string helpTarget = installFolder + "\\qvtray.exe";
    CreateShortcut(helpTarget.c_str(), "", linkPath.c_str(), "", 0, "", "", 0);
    linkPath = startMenuFolder + "\\UnInstall Brevok Russian Keyboard.lnk";
    const std::string uninstallTarget = installFolder + "\\setupqv.exe";
    CreateShortcut(uninstallTarget.c_str(), "u", linkPath.c_str(), "", 0, "", "", 0);

    // The open's result is ignored; a failed write raises the registry error.
    install::KeyGuard run;
    if (os.registry->CreateKey(port::RegRoot::CurrentUser, install::kRunKey, port::kKeyAllAccess,
                               &run.key) != port::kErrorSuccess)
        run.key = 0;
    WriteRegistryString(run.key, install::kRunValue, installFolder);
}
