// Win32 adapter of port::SystemFacts: one plain Windows call per method.
#pragma once

// The port's method GetVersionEx shares its name with a <windows.h> macro
// (GetVersionExA/W): remove the macro so that the name is the same in every
// unit. The adapter calls GetVersionExA by its full name.
#ifdef GetVersionEx
#undef GetVersionEx
#endif

#include "core/winver_port.h"

namespace win32 {

class SystemFacts : public port::SystemFacts {
public:
    bool GetVersionEx(port::VersionFacts* facts) override;
    bool GetNativeSystemInfo(std::uint16_t* architecture) override;
    void GetSystemInfo(std::uint16_t* architecture) override;
    int GetSystemMetrics(int index) override;
    bool GetProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t servicePackMajor,
                        std::uint32_t servicePackMinor, std::uint32_t* code) override;
};

}  // namespace win32
