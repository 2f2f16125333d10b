// Drives the real programs from outside, as a user would: starts them, finds
// their windows by title, reads texts and sizes, clicks buttons, and looks at
// what they left in the registry and the file system.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The package folder the build assembled (BREVOK_PACKAGE_DIR).
std::string PackageDir();
// Where the tests' helper programs are (BREVOK_PROGRAMS_DIR).
std::string ProgramsDir();
// A fresh temporary folder for one test.
std::string TempFolder(const std::string& name);

class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    Program(Program&& other) noexcept;
    ~Program();  // terminates the program if it still runs
    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Process() const { return info_.hProcess; }
    // Waits for the end; returns the exit code, or STILL_ACTIVE after the time-out.
    DWORD Wait(DWORD ms);
    bool Running();
    friend Program Start(const std::string&, const std::string&, const std::string&);

private:
    PROCESS_INFORMATION info_ = {};
};

// Starts `exe` with `arguments`, in `folder` (the exe's folder when empty).
Program Start(const std::string& exe, const std::string& arguments = "",
              const std::string& folder = "");

bool WaitUntil(const std::function<bool()>& condition, DWORD ms);
// A visible top-level window with exactly this title (of that process when pid != 0).
HWND FindTopWindow(const std::string& title, DWORD pid = 0);
HWND WaitForWindow(const std::string& title, DWORD pid = 0, DWORD ms = 15000);
// The first visible top-level window of the process.
HWND FirstWindowOf(DWORD pid);
// All top-level windows of the process, visible or not.
std::vector<HWND> TopWindowsOf(DWORD pid);
// Ids of the running processes with this image name (letter case ignored).
std::vector<DWORD> ProcessIdsNamed(const std::string& imageName);
// Terminates every process with this image name.
void KillAll(const std::string& imageName);
std::string Title(HWND window);
// A child control of that class with exactly this text (any text when empty).
HWND FindChild(HWND parent, const std::string& className, const std::string& text = "");
std::vector<HWND> Children(HWND parent, const std::string& className);
SIZE OuterSize(HWND window);
RECT ClientRectOf(HWND child);  // in the parent's client coordinates
// Presses a button without waiting for what its click does.
void Click(HWND button);

// Registry, in the 64-bit view where the system has one.
bool KeyExists(HKEY root, const std::string& path);
void DeleteKeyTree(HKEY root, const std::string& path);
void CreateKey(HKEY root, const std::string& path);
bool ReadString(HKEY root, const std::string& path, const std::string& name, std::string* value);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string Env(const std::string& name);
void DeleteTree(const std::string& folder);

}  // namespace e2e
