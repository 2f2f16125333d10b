// The Windows version description.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "core/fake/fake_winver.h"
#include "core/os.h"
#include "setup/set1.h"
#include "setup/winver.h"

namespace {

using port::VersionFacts;

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint8_t kDomainController = 2;
constexpr std::uint8_t kServer = 3;
constexpr std::uint16_t kX86 = 0, kIa64 = 6, kX64 = 9;

VersionFacts Facts(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint8_t type,
                   std::uint16_t arch, const std::string& sp = "", std::uint16_t suite = 0,
                   std::uint32_t edition = 0, int r2 = 0, std::uint32_t platform = 2) {
    VersionFacts f;
    f.major = major;
    f.minor = minor;
    f.build = build;
    f.productType = type;
    f.architecture = arch;
    f.servicePack = sp;
    f.suiteMask = suite;
    f.editionCode = edition;
    f.serverR2 = r2;
    f.platformId = platform;
    return f;
}

struct Row {
    const char* name;
    VersionFacts facts;
    const char* text;
};

class DescribeWindowsTable : public ::testing::TestWithParam<Row> {};

TEST_P(DescribeWindowsTable, GivesTheText) {
    EXPECT_EQ(winver::DescribeWindows(GetParam().facts), GetParam().text);
}

const Row kRows[] = {
    // Version 6.
    {"Win7Sp1x64Ultimate", Facts(6, 1, 7601, kWorkstation, kX64, "Service Pack 1", 0, 1),
     "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit"},
    {"Server2008CoreX86", Facts(6, 0, 6001, kServer, kX86, "", 0, 12),
     "Microsoft Windows Server 2008 Datacenter Edition (core installation) (build 6001), 32-bit"},
    {"VistaHomeBasic", Facts(6, 0, 6002, kWorkstation, kX86, "Service Pack 2", 0, 2),
     "Microsoft Windows Vista Home Basic Edition Service Pack 2 (build 6002), 32-bit"},
    {"Server2008R2", Facts(6, 1, 7600, kServer, kX64, "", 0, 7),
     "Microsoft Windows Server 2008 R2 Standard Edition (build 7600), 64-bit"},
    {"V62Professional", Facts(6, 2, 9200, kWorkstation, kX64, "", 0, 48),
     "Microsoft Professional (build 9200), 64-bit"},
    {"V62NoRowTwoBlanks", Facts(6, 2, 9200, kWorkstation, kX64, "", 0, 0),
     "Microsoft  (build 9200), 64-bit"},
    {"V61UnlistedCode", Facts(6, 1, 7601, kWorkstation, kX86, "", 0, 16),
     "Microsoft Windows 7  (build 7601), 32-bit"},
    {"V6ItaniumNoWordSize", Facts(6, 0, 6001, kServer, kIa64, "", 0, 15),
     "Microsoft Windows Server 2008 Enterprise Edition for Itanium-based Systems (build 6001)"},
    {"V7x64", Facts(7, 0, 100, kWorkstation, kX64), "Microsoft  (build 100), 64-bit"},
    {"V10x86", Facts(10, 0, 19045, kWorkstation, kX86), "Microsoft  (build 19045), 32-bit"},
    // Version 5.2: the version name, first rule that holds.
    {"R2FirstEvenWithStorageBit", Facts(5, 2, 3790, kServer, kX86, "Service Pack 2", 0x2000, 0, 1),
     "Microsoft Windows Server 2003 R2, Standard Edition Service Pack 2 (build 3790)"},
    {"StorageServer", Facts(5, 2, 3790, kServer, kX86, "", 0x2000),
     "Microsoft Windows Storage Server 2003, Standard Edition (build 3790)"},
    {"StorageBeforeHomeServer", Facts(5, 2, 3790, kServer, kX86, "", 0xA000),
     "Microsoft Windows Storage Server 2003, Standard Edition (build 3790)"},
    {"HomeServer", Facts(5, 2, 3790, kServer, kX86, "", 0x8000),
     "Microsoft Windows Home Server, Standard Edition (build 3790)"},
    {"HomeServerWorkstationNoEdition", Facts(5, 2, 3790, kWorkstation, kX86, "", 0x8000),
     "Microsoft Windows Home Server (build 3790)"},
    {"StorageServerItaniumNoEdition", Facts(5, 2, 3790, kServer, kIa64, "", 0x2000),
     "Microsoft Windows Storage Server 2003 (build 3790)"},
    {"XpX64", Facts(5, 2, 3790, kWorkstation, kX64, "Service Pack 2"),
     "Microsoft Windows XP Professional x64 Edition Service Pack 2 (build 3790)"},
    {"Workstation52X86", Facts(5, 2, 3790, kWorkstation, kX86, "Service Pack 2"),
     "Microsoft Windows Server 2003,  Service Pack 2 (build 3790)"},
    // Version 5.2 editions by architecture.
    {"ItaniumDatacenter", Facts(5, 2, 3790, kServer, kIa64, "", 0x0080),
     "Microsoft Windows Server 2003, Datacenter Edition for Itanium-based Systems (build 3790)"},
    {"ItaniumEnterprise", Facts(5, 2, 3790, kServer, kIa64, "", 0x0002),
     "Microsoft Windows Server 2003, Enterprise Edition for Itanium-based Systems (build 3790)"},
    {"ItaniumNothing", Facts(5, 2, 3790, kServer, kIa64, "Service Pack 1"),
     "Microsoft Windows Server 2003,  Service Pack 1 (build 3790)"},
    {"X64Datacenter", Facts(5, 2, 3790, kServer, kX64, "", 0x0082),
     "Microsoft Windows Server 2003, Datacenter x64 Edition (build 3790)"},
    {"X64Enterprise", Facts(5, 2, 3790, kServer, kX64, "", 0x0002),
     "Microsoft Windows Server 2003, Enterprise x64 Edition (build 3790)"},
    {"X64Standard", Facts(5, 2, 3790, kServer, kX64),
     "Microsoft Windows Server 2003, Standard x64 Edition (build 3790)"},
    {"ComputeClusterFirst", Facts(5, 2, 3790, kServer, kX86, "", 0x4082),
     "Microsoft Windows Server 2003, Compute Cluster Edition (build 3790)"},
    {"Datacenter", Facts(5, 2, 3790, kServer, kX86, "", 0x0482),
     "Microsoft Windows Server 2003, Datacenter Edition (build 3790)"},
    {"Enterprise", Facts(5, 2, 3790, kServer, kX86, "", 0x0402),
     "Microsoft Windows Server 2003, Enterprise Edition (build 3790)"},
    {"Web", Facts(5, 2, 3790, kServer, kX86, "", 0x0400),
     "Microsoft Windows Server 2003, Web Edition (build 3790)"},
    {"Standard", Facts(5, 2, 3790, kDomainController, kX86),
     "Microsoft Windows Server 2003, Standard Edition (build 3790)"},
    // Versions 5.1 and 5.0.
    {"XpHome", Facts(5, 1, 2600, kWorkstation, kX86, "Service Pack 3", 0x0200),
     "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)"},
    {"XpProfessional", Facts(5, 1, 2600, kWorkstation, kX86, "Service Pack 3"),
     "Microsoft Windows XP Professional Service Pack 3 (build 2600)"},
    {"XpOnX64NoWordSize", Facts(5, 1, 2600, kWorkstation, kX64),
     "Microsoft Windows XP Professional (build 2600)"},
    {"W2kProfessionalBeforeSuite", Facts(5, 0, 2195, kWorkstation, kX86, "Service Pack 4", 0x0080),
     "Microsoft Windows 2000 Professional Service Pack 4 (build 2195)"},
    {"W2kDatacenter", Facts(5, 0, 2195, kServer, kX86, "", 0x0082),
     "Microsoft Windows 2000 Datacenter Server (build 2195)"},
    {"W2kAdvanced", Facts(5, 0, 2195, kServer, kX86, "", 0x0002),
     "Microsoft Windows 2000 Advanced Server (build 2195)"},
    {"W2kDomainController", Facts(5, 0, 2195, kDomainController, kX86, "Service Pack 4"),
     "Microsoft Windows 2000 Server Service Pack 4 (build 2195)"},
    // Other 5.x: no name, no edition, no word size.
    {"V53", Facts(5, 3, 1000, kWorkstation, kX64, "Service Pack 1"),
     "Microsoft  Service Pack 1 (build 1000)"},
    // The build is printed with %d.
    {"BuildAsSignedDecimal", Facts(5, 1, 0xFFFFFFFFu, kWorkstation, kX86),
     "Microsoft Windows XP Professional (build -1)"},
    // Refusals, with the line feed.
    {"NonNtPlatform", Facts(5, 1, 2600, kWorkstation, kX86, "", 0, 0, 0, 1),
     "This does not support this version of Windows.\n"},
    {"Major4", Facts(4, 0, 1381, kWorkstation, kX86), "This does not support this version of Windows.\n"},
    {"Major0", Facts(0, 0, 0, kWorkstation, kX86), "This does not support this version of Windows.\n"},
    {"Win32sPlatform", Facts(6, 1, 7601, kWorkstation, kX64, "", 0, 1, 0, 0),
     "This does not support this version of Windows.\n"},
};

INSTANTIATE_TEST_SUITE_P(Versions, DescribeWindowsTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(EditionTable, EveryCode) {
    const std::map<std::uint32_t, std::string> rows = {
        {1, "Ultimate Edition"}, {2, "Home Basic Edition"}, {3, "Home Premium Edition"},
        {4, "Enterprise Edition"}, {6, "Business Edition"}, {7, "Standard Edition"},
        {8, "Datacenter Edition"}, {9, "Small Business Server"}, {10, "Enterprise Edition"},
        {11, "Starter Edition"}, {12, "Datacenter Edition (core installation)"},
        {13, "Standard Edition (core installation)"}, {14, "Enterprise Edition (core installation)"},
        {15, "Enterprise Edition for Itanium-based Systems"}, {17, "Web Server Edition"},
        {18, "Cluster Server Edition"}, {25, "Small Business Server Premium Edition"}, {48, "Professional"}};
    for (std::uint32_t code = 0; code <= 100; ++code) {
        auto it = rows.find(code);
        EXPECT_EQ(winver::EditionText(code), it == rows.end() ? std::string() : it->second) << code;
    }
    EXPECT_EQ(winver::EditionText(0xFFFFFFFFu), std::string());
    // An edition follows the version name after its blank.
    EXPECT_EQ(winver::DescribeWindows(Facts(6, 0, 6000, kWorkstation, kX86, "", 0, 3)),
              "Microsoft Windows Vista Home Premium Edition (build 6000), 32-bit");
}

TEST(DescribeWindows, EmptyServicePackAddsNoBlank) {
    EXPECT_EQ(winver::DescribeWindows(Facts(5, 1, 2600, kWorkstation, kX86)),
              "Microsoft Windows XP Professional (build 2600)");
}

TEST(DescribeWindows, TextsThatMakeTheInstallSee64) {
    EXPECT_NE(winver::DescribeWindows(Facts(6, 1, 7601, kWorkstation, kX64)).find("64"), std::string::npos);
    EXPECT_NE(winver::DescribeWindows(Facts(5, 2, 3790, kWorkstation, kX64)).find("64"), std::string::npos);
    EXPECT_NE(winver::DescribeWindows(Facts(5, 2, 3790, kServer, kX64)).find("64"), std::string::npos);
    // Itanium texts hold no "64".
    EXPECT_EQ(winver::DescribeWindows(Facts(5, 2, 3790, kServer, kIa64, "", 0x0080)).find("64"),
              std::string::npos);
    EXPECT_EQ(winver::DescribeWindows(Facts(6, 1, 7601, kWorkstation, kX86)).find("64"), std::string::npos);
}

TEST(DescribeWindows, LongestTextFitsTheBuffer) {
    // "Microsoft ", the longest version-6 name and edition, a 127-character
    // service pack, an 11-character build number and the word-size ending.
    VersionFacts f = Facts(6, 1, 0x80000000u, kServer, kX64, std::string(127, 'S'), 0, 15);
    const std::string text = winver::DescribeWindows(f);
    EXPECT_EQ(text.size(), 233u);
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 77), "Microsoft Windows Server 2008 R2 Enterprise Edition for Itanium-based Systems");
    EXPECT_EQ(text.substr(text.size() - 28), " (build -2147483648), 64-bit");
}

TEST(DescribeWindows, ServicePackIsTakenAsTheRecordHoldsIt) {
    // szCSDVersion holds 127 characters and its zero: a longer text is cut there.
    VersionFacts f = Facts(5, 1, 2600, kWorkstation, kX86, std::string(300, 'S'));
    EXPECT_EQ(winver::DescribeWindows(f),
              "Microsoft Windows XP Professional " + std::string(127, 'S') + " (build 2600)");
}

// ---- Gathering through the port, and the buffer ----

class DescribeWindowsVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        setupState = SetupState{};
        port::Os().facts = &facts;
        std::memset(buffer, '#', sizeof buffer);
    }
    fake::Platform platform;
    fake::SystemFacts facts;
    char buffer[winver::kBufferSize + 16];
};

TEST_F(DescribeWindowsVersionTest, Windows7x64) {
    facts.SetWindows7x64();
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit");
    EXPECT_EQ(facts.calls, (std::vector<std::string>{"GetVersionEx", "GetNativeSystemInfo",
                                                     "GetProductInfo 6 1 0 0"}));
}

TEST_F(DescribeWindowsVersionTest, NativeArchitectureNotThatOfThe32BitLayer) {
    facts.SetWindows7x64();
    facts.layerArchitecture = kX86;
    DescribeWindowsVersion(buffer);
    EXPECT_NE(std::string(buffer).find(", 64-bit"), std::string::npos);
}

TEST_F(DescribeWindowsVersionTest, WithoutGetNativeSystemInfoGetSystemInfoIsUsed) {
    facts.SetWindows7x64();
    facts.hasNativeSystemInfo = false;
    facts.layerArchitecture = kX86;
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 32-bit");
    EXPECT_EQ(facts.Count("GetSystemInfo"), 1);
}

TEST_F(DescribeWindowsVersionTest, VersionQueryRefusedLeavesTheEmptyText) {
    facts.SetWindows7x64();
    facts.Fail("GetVersionEx");
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(facts.calls, (std::vector<std::string>{"GetVersionEx"}));
}

TEST_F(DescribeWindowsVersionTest, WithoutGetProductInfoNoEdition) {
    facts.SetWindows7x64();
    facts.hasProductInfo = false;
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "Microsoft Windows 7  Service Pack 1 (build 7601), 64-bit");
}

TEST_F(DescribeWindowsVersionTest, ServerR2MetricAskedFor52Only) {
    facts.version = Facts(5, 2, 3790, kServer, 0, "Service Pack 2", 0x0002);
    facts.nativeArchitecture = kX86;
    facts.serverR2 = 1;
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "Microsoft Windows Server 2003 R2, Enterprise Edition Service Pack 2 (build 3790)");
    EXPECT_EQ(facts.Count("GetSystemMetrics 89"), 1);
    EXPECT_EQ(facts.Count("GetProductInfo"), 0);

    facts.calls.clear();
    facts.version = Facts(5, 1, 2600, kWorkstation, 0, "Service Pack 3", 0x0200);
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)");
    EXPECT_EQ(facts.Count("GetSystemMetrics"), 0);
    EXPECT_EQ(facts.Count("GetProductInfo"), 0);
}

TEST_F(DescribeWindowsVersionTest, RefusalTextWithItsLineFeed) {
    facts.version = Facts(4, 0, 1381, kWorkstation, 0);
    DescribeWindowsVersion(buffer);
    EXPECT_STREQ(buffer, "This does not support this version of Windows.\n");
}

TEST_F(DescribeWindowsVersionTest, LongestTextStaysInside256Bytes) {
    facts.version = Facts(6, 1, 0x80000000u, kServer, 0, std::string(400, 'S'));
    facts.nativeArchitecture = kX64;
    facts.editionCode = 15;
    DescribeWindowsVersion(buffer);
    EXPECT_EQ(std::strlen(buffer), 233u);
    for (std::size_t i = winver::kBufferSize; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '#') << i;
}

}  // namespace
