// Port of the system facts that the Windows version description
// is built from. The Win32 adapter (winapi/winver_win32.cpp) is one plain
// Windows call per method; the fake (core/fake/fake_winver.h) serves facts
// from a record and can fail or drop any call.
#pragma once

#include <cstdint>
#include <string>

namespace port {

constexpr std::uint32_t kVerPlatformWin32Nt = 2;       // VER_PLATFORM_WIN32_NT
constexpr std::uint8_t kVerNtWorkstation = 1;          // VER_NT_WORKSTATION
constexpr std::uint16_t kProcessorArchitectureIntel = 0;
constexpr std::uint16_t kProcessorArchitectureIa64 = 6;
constexpr std::uint16_t kProcessorArchitectureAmd64 = 9;
constexpr int kSmServerR2 = 89;                        // SM_SERVERR2

constexpr std::uint16_t kVerSuiteEnterprise = 0x0002;
constexpr std::uint16_t kVerSuiteDatacenter = 0x0080;
constexpr std::uint16_t kVerSuitePersonal = 0x0200;
constexpr std::uint16_t kVerSuiteBlade = 0x0400;
constexpr std::uint16_t kVerSuiteStorageServer = 0x2000;
constexpr std::uint16_t kVerSuiteComputeServer = 0x4000;
constexpr std::uint16_t kVerSuiteWhServer = 0x8000;

// The facts the description is built from.
struct VersionFacts {
    // From the extended version record (OSVERSIONINFOEXA).
    std::uint32_t major = 0;        // dwMajorVersion
    std::uint32_t minor = 0;        // dwMinorVersion
    std::uint32_t build = 0;        // dwBuildNumber (printed with %d)
    std::uint32_t platformId = 0;   // dwPlatformId
    std::string servicePack;        // szCSDVersion up to its zero (at most 127 characters)
    std::uint16_t suiteMask = 0;    // wSuiteMask
    std::uint8_t productType = 0;   // wProductType
    // From the system-information record (SYSTEM_INFO).
    std::uint16_t architecture = 0; // wProcessorArchitecture
    // GetSystemMetrics(SM_SERVERR2); gathered for version 5.2 only.
    int serverR2 = 0;
    // GetProductInfo's edition code; gathered for major 6 only, 0 when unknown.
    std::uint32_t editionCode = 0;
};

class SystemFacts {
public:
    virtual ~SystemFacts() = default;
    // GetVersionExA with the 156-byte OSVERSIONINFOEXA, zeroed and its size set.
    // Fills major, minor, build, platformId, servicePack, suiteMask and
    // productType; false when the platform refuses the query.
    virtual bool GetVersionEx(VersionFacts* facts) = 0;
    // GetNativeSystemInfo, bound by name from "kernel32.dll" (GetModuleHandleA +
    // GetProcAddress), on a zeroed SYSTEM_INFO. False (nothing called) when the
    // export is missing.
    virtual bool GetNativeSystemInfo(std::uint16_t* architecture) = 0;
    // GetSystemInfo on a zeroed SYSTEM_INFO.
    virtual void GetSystemInfo(std::uint16_t* architecture) = 0;
    // GetSystemMetrics(index).
    virtual int GetSystemMetrics(int index) = 0;
    // GetProductInfo, bound by name from "kernel32.dll". False (nothing called,
    // *code untouched) when the export is missing; the call's own result is
    // not looked at.
    virtual bool GetProductInfo(std::uint32_t major, std::uint32_t minor,
                                std::uint32_t servicePackMajor, std::uint32_t servicePackMinor,
                                std::uint32_t* code) = 0;
};

}  // namespace port
