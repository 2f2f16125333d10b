// Win32 adapter of port::SystemFacts.
#include "winapi/windows_clean.h"

#include "winapi/winver_win32.h"

#include <cstring>

namespace win32 {

namespace {

using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);

// An export of the already loaded kernel32.dll, or null.
FARPROC Kernel32Export(const char* name) {
    HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    return kernel32 ? ::GetProcAddress(kernel32, name) : nullptr;
}

// Casts a looked-up export to its real type.
template <class Fn>
Fn As(FARPROC proc) {
    Fn fn;
    static_assert(sizeof fn == sizeof proc, "function pointer sizes differ");
    std::memcpy(&fn, &proc, sizeof fn);
    return fn;
}

}  // namespace

bool SystemFacts::GetVersionEx(port::VersionFacts* facts) {
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // 156
    // Deprecated in the headers, but the extended record is what the
    // description needs, and it still answers on every version we support.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
#pragma GCC diagnostic pop
    if (!ok) return false;
    facts->major = info.dwMajorVersion;
    facts->minor = info.dwMinorVersion;
    facts->build = info.dwBuildNumber;
    facts->platformId = info.dwPlatformId;
    facts->servicePack.assign(info.szCSDVersion, ::strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
    facts->suiteMask = info.wSuiteMask;
    facts->productType = info.wProductType;
    return true;
}

bool SystemFacts::GetNativeSystemInfo(std::uint16_t* architecture) {
    FARPROC proc = Kernel32Export("GetNativeSystemInfo");
    if (!proc) return false;
    SYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    As<GetNativeSystemInfoFn>(proc)(&info);
    *architecture = info.wProcessorArchitecture;
    return true;
}

void SystemFacts::GetSystemInfo(std::uint16_t* architecture) {
    SYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    ::GetSystemInfo(&info);
    *architecture = info.wProcessorArchitecture;
}

int SystemFacts::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

bool SystemFacts::GetProductInfo(std::uint32_t major, std::uint32_t minor,
                                 std::uint32_t servicePackMajor, std::uint32_t servicePackMinor,
                                 std::uint32_t* code) {
    FARPROC proc = Kernel32Export("GetProductInfo");
    if (!proc) return false;
    DWORD type = *code;
    As<GetProductInfoFn>(proc)(major, minor, servicePackMajor, servicePackMinor, &type);
    *code = type;
    return true;
}

}  // namespace win32
