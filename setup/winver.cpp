// The Windows version description.
#include "setup/winver.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/os.h"
#include "setup/set1.h"

namespace winver {

const char* EditionText(std::uint32_t code) {
    switch (code) {
        case 1: return "Ultimate Edition";
        case 2: return "Home Basic Edition";
        case 3: return "Home Premium Edition";
        case 4: return "Enterprise Edition";
        case 6: return "Business Edition";
        case 7: return "Standard Edition";
        case 8: return "Datacenter Edition";
        case 9: return "Small Business Server";
        case 10: return "Enterprise Edition";
        case 11: return "Starter Edition";
        case 12: return "Datacenter Edition (core installation)";
        case 13: return "Standard Edition (core installation)";
        case 14: return "Enterprise Edition (core installation)";
        case 15: return "Enterprise Edition for Itanium-based Systems";
        case 17: return "Web Server Edition";
        case 18: return "Cluster Server Edition";
        case 25: return "Small Business Server Premium Edition";
        case 48: return "Professional";
        default: return "";
    }
}

bool GatherFacts(port::SystemFacts& system, port::VersionFacts* facts) {
    *facts = port::VersionFacts{};
    if (!system.GetVersionEx(facts)) return false;
    std::uint16_t architecture = 0;
    if (!system.GetNativeSystemInfo(&architecture)) {
        architecture = 0;
        system.GetSystemInfo(&architecture);
    }
    facts->architecture = architecture;
    // Only the facts the text uses are asked for: the R2 metric for 5.2,
    // the edition code for major 6.
    if (facts->platformId == port::kVerPlatformWin32Nt && facts->major == 5 && facts->minor == 2)
        facts->serverR2 = system.GetSystemMetrics(port::kSmServerR2);
    if (facts->platformId == port::kVerPlatformWin32Nt && facts->major == 6) {
        std::uint32_t code = 0;  // stays 0 (no row) when the function is missing
        system.GetProductInfo(facts->major, facts->minor, 0, 0, &code);
        facts->editionCode = code;
    }
    return true;
}

namespace {

bool Has(std::uint16_t mask, std::uint16_t bit) { return (mask & bit) != 0; }

// Version 5.2.
void Describe52(const port::VersionFacts& f, std::string& out) {
    const bool workstation = f.productType == port::kVerNtWorkstation;
    // The two names that end without a separator get ", " before an
    // edition, so the text reads like the others.
    bool bareName = false;
    if (f.serverR2 != 0) {
        out += "Windows Server 2003 R2, ";
    } else if (Has(f.suiteMask, port::kVerSuiteStorageServer)) {
        out += "Windows Storage Server 2003";
        bareName = true;
    } else if (Has(f.suiteMask, port::kVerSuiteWhServer)) {
        out += "Windows Home Server";
        bareName = true;
    } else if (workstation && f.architecture == port::kProcessorArchitectureAmd64) {
        out += "Windows XP Professional x64 Edition";
    } else {
        out += "Windows Server 2003, ";
    }
    if (workstation) return;

    const char* edition = "";
    if (f.architecture == port::kProcessorArchitectureIa64) {
        if (Has(f.suiteMask, port::kVerSuiteDatacenter))
            edition = "Datacenter Edition for Itanium-based Systems";
        else if (Has(f.suiteMask, port::kVerSuiteEnterprise))
            edition = "Enterprise Edition for Itanium-based Systems";
    } else if (f.architecture == port::kProcessorArchitectureAmd64) {
        if (Has(f.suiteMask, port::kVerSuiteDatacenter))
            edition = "Datacenter x64 Edition";
        else if (Has(f.suiteMask, port::kVerSuiteEnterprise))
            edition = "Enterprise x64 Edition";
        else
            edition = "Standard x64 Edition";
    } else {
        if (Has(f.suiteMask, port::kVerSuiteComputeServer))
            edition = "Compute Cluster Edition";
        else if (Has(f.suiteMask, port::kVerSuiteDatacenter))
            edition = "Datacenter Edition";
        else if (Has(f.suiteMask, port::kVerSuiteEnterprise))
            edition = "Enterprise Edition";
        else if (Has(f.suiteMask, port::kVerSuiteBlade))
            edition = "Web Edition";
        else
            edition = "Standard Edition";
    }
    if (*edition != '\0' && bareName) out += ", ";
    out += edition;
}

}  // namespace

std::string DescribeWindows(const port::VersionFacts& f) {
    if (f.platformId != port::kVerPlatformWin32Nt || f.major <= 4) return kRefusal;

    std::string out = "Microsoft ";
    const bool workstation = f.productType == port::kVerNtWorkstation;
    if (f.major == 6) {
        if (f.minor == 0)
            out += workstation ? "Windows Vista " : "Windows Server 2008 ";
        else if (f.minor == 1)
            out += workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
        out += EditionText(f.editionCode);
    } else if (f.major == 5 && f.minor == 2) {
        Describe52(f, out);
    } else if (f.major == 5 && f.minor == 1) {
        out += "Windows XP ";
        out += Has(f.suiteMask, port::kVerSuitePersonal) ? "Home Edition" : "Professional";
    } else if (f.major == 5 && f.minor == 0) {
        out += "Windows 2000 ";
        if (workstation)
            out += "Professional";
        else if (Has(f.suiteMask, port::kVerSuiteDatacenter))
            out += "Datacenter Server";
        else if (Has(f.suiteMask, port::kVerSuiteEnterprise))
            out += "Advanced Server";
        else
            out += "Server";
    }  // Any other version has no name and no edition

    // The service-pack text as the 128-byte record holds it.
    std::string servicePack = f.servicePack.substr(0, f.servicePack.find('\0'));
    if (servicePack.size() > 127) servicePack.resize(127);
    if (!servicePack.empty()) {
        out += ' ';
        out += servicePack;
    }

    // " (build %d)".
    char build[32];
    std::snprintf(build, sizeof build, " (build %d)", static_cast<int>(static_cast<std::int32_t>(f.build)));
    out += build;

    if (f.major >= 6) {
        if (f.architecture == port::kProcessorArchitectureAmd64)
            out += ", 64-bit";
        else if (f.architecture == port::kProcessorArchitectureIntel)
            out += ", 32-bit";
    }
    return out;
}

}  // namespace winver

void DescribeWindowsVersion(char* buffer) {
    // The output is the empty text until something is known.
    buffer[0] = '\0';
    port::VersionFacts facts;
    if (!winver::GatherFacts(*port::Os().facts, &facts)) return;
    const std::string text = winver::DescribeWindows(facts);
    // Bounded copy: never more than 255 characters and the terminating zero.
    const std::size_t n = text.size() < winver::kBufferSize - 1 ? text.size() : winver::kBufferSize - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}
