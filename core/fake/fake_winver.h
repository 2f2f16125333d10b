// In-memory stand-in for port::SystemFacts. Serves the facts in `version`
// (the version record's fields), `nativeArchitecture` / `layerArchitecture`,
// `serverR2` and `editionCode`. Fail("GetVersionEx") refuses the version
// query; hasNativeSystemInfo / hasProductInfo false make those exports missing.
#pragma once

#include <cstdint>

#include "../winver_port.h"
#include "fake_ports.h"

namespace fake {

class SystemFacts : public port::SystemFacts, public Faults {
public:
    port::VersionFacts version;                // major .. productType are served
    bool hasNativeSystemInfo = true;
    std::uint16_t nativeArchitecture = port::kProcessorArchitectureIntel;  // GetNativeSystemInfo
    std::uint16_t layerArchitecture = port::kProcessorArchitectureIntel;   // GetSystemInfo
    int serverR2 = 0;
    bool hasProductInfo = true;
    std::uint32_t editionCode = 0;

    // Windows 7 SP1 x64 Ultimate, as a typical machine.
    void SetWindows7x64();

    bool GetVersionEx(port::VersionFacts* facts) override;
    bool GetNativeSystemInfo(std::uint16_t* architecture) override;
    void GetSystemInfo(std::uint16_t* architecture) override;
    int GetSystemMetrics(int index) override;
    bool GetProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t servicePackMajor,
                        std::uint32_t servicePackMinor, std::uint32_t* code) override;
};

}  // namespace fake
