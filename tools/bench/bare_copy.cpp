// The floor for the install click: the same nine file copies and four
// shortcut files as the install, made with plain CopyFile and nothing else
// (no version lookups, no shell link objects, no registry). Prints
// "copy_ms <ms>".
//
//   bare_copy <package folder>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_copy <package folder>\n");
        return 2;
    }
    std::string package = argv[1];
    if (!package.empty() && package.back() != '\\') package += '\\';
    const std::string install = Env("PROGRAMFILES") + "\\Brevok";
    char startMenu[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU | CSIDL_FLAG_CREATE, nullptr, 0, startMenu);
    const std::string menu = std::string(startMenu) + "\\Brevok Russian Keyboard";
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    const std::string library = package + (wow ? "amd64\\Qvkey.dll" : "i386\\Qvkey.dll");
    const std::string systemCopy = Env("SYSTEMDRIVE") + "\\windows\\system32\\qvkey.dll";

    // A shortcut-sized source, made before the clock starts.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string linkSource = std::string(temp) + "brevok-bench-link.bin";
    {
        HANDLE f = CreateFileA(linkSource.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        char bytes[1500] = {};
        DWORD written = 0;
        WriteFile(f, bytes, sizeof bytes, &written, nullptr);
        CloseHandle(f);
    }
    const std::string links[] = {Env("USERPROFILE") + "\\DESKTOP\\Brevok Russian Document.lnk",
                                 menu + "\\BrEvok Russian Document.lnk", menu + "\\BrEvok Help.lnk",
                                 menu + "\\UnInstall Brevok Russian Keyboard.lnk"};
    static const char* const kFiles[] = {"Qvtray.exe",  "qvnormal_3.dot", "qvnormal_7.dotm", "qvnormal_10.dotm",
                                         "setupqv.exe", "about.doc",      "load32.exe",      "load64.exe"};

    int failed = 0;
    double t0 = Now();
    CreateDirectoryA(install.c_str(), nullptr);
    for (const char* name : kFiles)
        failed += !CopyFileA((package + name).c_str(), (install + "\\" + name).c_str(), FALSE);
    PVOID previous = nullptr;
    BOOL off = wow && Wow64DisableWow64FsRedirection(&previous);
    failed += !CopyFileA(library.c_str(), systemCopy.c_str(), FALSE);
    if (off) Wow64RevertWow64FsRedirection(previous);
    CreateDirectoryA(menu.c_str(), nullptr);
    for (const std::string& link : links) failed += !CopyFileA(linkSource.c_str(), link.c_str(), FALSE);
    double t1 = Now();

    DeleteFileA(linkSource.c_str());
    std::printf("copy_ms %.2f\n", t1 - t0);
    std::printf("failed_copies %d\n", failed);
    return failed ? 1 : 0;
}
