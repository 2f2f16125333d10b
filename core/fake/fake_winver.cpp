#include "fake_winver.h"

#include <string>

namespace fake {

void SystemFacts::SetWindows7x64() {
    version = port::VersionFacts{};
    version.major = 6;
    version.minor = 1;
    version.build = 7601;
    version.platformId = port::kVerPlatformWin32Nt;
    version.servicePack = "Service Pack 1";
    version.productType = port::kVerNtWorkstation;
    nativeArchitecture = port::kProcessorArchitectureAmd64;
    layerArchitecture = port::kProcessorArchitectureIntel;
    hasNativeSystemInfo = true;
    hasProductInfo = true;
    editionCode = 1;
}

bool SystemFacts::GetVersionEx(port::VersionFacts* facts) {
    Log("GetVersionEx");
    if (ShouldFail("GetVersionEx")) return false;
    facts->major = version.major;
    facts->minor = version.minor;
    facts->build = version.build;
    facts->platformId = version.platformId;
    facts->servicePack = version.servicePack;
    facts->suiteMask = version.suiteMask;
    facts->productType = version.productType;
    return true;
}

bool SystemFacts::GetNativeSystemInfo(std::uint16_t* architecture) {
    Log("GetNativeSystemInfo");
    if (!hasNativeSystemInfo || ShouldFail("GetNativeSystemInfo")) return false;
    *architecture = nativeArchitecture;
    return true;
}

void SystemFacts::GetSystemInfo(std::uint16_t* architecture) {
    Log("GetSystemInfo");
    *architecture = layerArchitecture;
}

int SystemFacts::GetSystemMetrics(int index) {
    Log("GetSystemMetrics " + std::to_string(index));
    return index == port::kSmServerR2 ? serverR2 : 0;
}

bool SystemFacts::GetProductInfo(std::uint32_t major, std::uint32_t minor,
                                 std::uint32_t servicePackMajor, std::uint32_t servicePackMinor,
                                 std::uint32_t* code) {
    Log("GetProductInfo " + std::to_string(major) + " " + std::to_string(minor) + " " +
        std::to_string(servicePackMajor) + " " + std::to_string(servicePackMinor));
    if (!hasProductInfo || ShouldFail("GetProductInfo")) return false;
    *code = editionCode;
    return true;
}

}  // namespace fake
