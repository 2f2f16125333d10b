// Word version detection.
#include <gtest/gtest.h>

#include <string>

#include "core/fake/fake_ports.h"
#include "core/os.h"
#include "setup/set1.h"
#include "setup/word.h"

namespace {

using port::RegRoot;

constexpr char kClassId[] = "{000209FF-0000-0000-C000-000000000046}";
constexpr char kServerKey[] = "CLSID\\{000209FF-0000-0000-C000-000000000046}\\LocalServer32";
constexpr char kServerLine[] = "C:\\PROGRA~1\\MICROS~1\\Office14\\WINWORD.EXE /Automation";
const std::string kZ(1, '\0');

class DetectWordVersionTest : public ::testing::Test {
protected:
    void SetUp() override { setupState = SetupState{}; }

    // Raw registry bytes: the caller adds the terminating zero or leaves it out.
    void SetDefault(const std::string& key, const std::string& bytes) {
        platform.registry.AddKey(RegRoot::ClassesRoot, key).values[""] = bytes;
    }
    void Register(const std::string& curVer, const std::string& server) {
        SetDefault("Word.Application\\CLSID", kClassId + kZ);
        SetDefault("Word.Application\\CurVer", curVer + kZ);
        SetDefault(kServerKey, server + kZ);
    }
    int OpenKeysOf(const std::string& prefix) { return platform.registry.Count("OpenKey hkcr\\" + fake::Lower(prefix)); }

    fake::Platform platform;
};

TEST_F(DetectWordVersionTest, NoRegistrationGivesZeroAndNoPath) {
    EXPECT_EQ(DetectWordVersion(), 0);
    EXPECT_EQ(setupState.wordPath, "");
    EXPECT_FALSE(setupState.wordPathAssumed);
    EXPECT_EQ(platform.registry.calls, (std::vector<std::string>{"OpenKey hkcr\\word.application\\clsid"}));
}

TEST_F(DetectWordVersionTest, ClassIdKeyMissingLeavesThePathAsItWas) {
    setupState.wordPath = "before";
    SetDefault("Word.Application\\CurVer", "Word.Application.14" + kZ);
    SetDefault(kServerKey, kServerLine + kZ);
    EXPECT_EQ(DetectWordVersion(), 0);
    EXPECT_EQ(setupState.wordPath, "before");
    EXPECT_FALSE(setupState.wordPathAssumed);
}

TEST_F(DetectWordVersionTest, ServerLineCutAtTheFirstSlashKeepingTheBlank) {
    Register("Word.Application.14", kServerLine);
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_EQ(setupState.wordPath, "C:\\PROGRA~1\\MICROS~1\\Office14\\WINWORD.EXE ");
    EXPECT_FALSE(setupState.wordPathAssumed);
    EXPECT_EQ(platform.registry.openHandles, 0);
    // Read for its default value, with KEY_READ.
    EXPECT_EQ(OpenKeysOf(kServerKey), 1);
}

struct ServerRow {
    const char* line;
    const char* path;
};

class ServerLineTable : public DetectWordVersionTest, public ::testing::WithParamInterface<ServerRow> {};

TEST_P(ServerLineTable, GivesWordPath) {
    Register("Word.Application.11", GetParam().line);
    EXPECT_EQ(DetectWordVersion(), 11);
    EXPECT_EQ(setupState.wordPath, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(ServerLines, ServerLineTable,
                         ::testing::Values(ServerRow{"C:\\Office\\WINWORD.EXE /Automation", "C:\\Office\\WINWORD.EXE "},
                                           ServerRow{"C:\\Office\\WINWORD.EXE", "C:\\Office\\WINWORD.EXE"},
                                           ServerRow{"C:\\Off/ice\\WINWORD.EXE /x", "C:\\Off"},
                                           ServerRow{"/Automation", ""},
                                           ServerRow{"", ""}));

struct VersionRow {
    const char* text;
    int number;
};

class VersionTextTable : public DetectWordVersionTest, public ::testing::WithParamInterface<VersionRow> {};

TEST_P(VersionTextTable, GivesNumber) {
    Register(GetParam().text, kServerLine);
    EXPECT_EQ(DetectWordVersion(), GetParam().number);
    EXPECT_EQ(word::VersionNumber(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(VersionTexts, VersionTextTable,
                         ::testing::Values(VersionRow{"Word.Application.10", 10}, VersionRow{"Word.Application.11", 11},
                                           VersionRow{"Word.Application.12", 12}, VersionRow{"Word.Application.14", 14},
                                           VersionRow{"Word.Application.8", 0}, VersionRow{"Word.Application.15", 0},
                                           VersionRow{"", 0}, VersionRow{"14 and 10", 10},
                                           VersionRow{"11.12", 12}, VersionRow{"1410", 10},
                                           VersionRow{"x11x14", 11}));

TEST_F(DetectWordVersionTest, Version14WithoutServerKeyAssumesOffice14) {
    SetDefault("Word.Application\\CLSID", kClassId + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.14" + kZ);
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_TRUE(setupState.wordPathAssumed);
    EXPECT_EQ(setupState.wordPath, "c:\\program files\\microsoft office\\office14\\winword.exe");
    EXPECT_EQ(platform.registry.openHandles, 0);
}

TEST_F(DetectWordVersionTest, Version14WithUnreadableServerValueAssumesOffice14) {
    Register("Word.Application.14", kServerLine);
    platform.registry.Fail("QueryValue", fake::Registry::Name(RegRoot::ClassesRoot, kServerKey));
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_TRUE(setupState.wordPathAssumed);
    EXPECT_EQ(setupState.wordPath, word::kAssumedPath);
}

TEST_F(DetectWordVersionTest, Version14WithReadableServerTakesTheRegistry) {
    Register("Word.Application.14", "D:\\Word\\winword.exe /a");
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_FALSE(setupState.wordPathAssumed);
    EXPECT_EQ(setupState.wordPath, "D:\\Word\\winword.exe ");
}

TEST_F(DetectWordVersionTest, TenAndFourteenWithoutServerAssumesPathAndReturnsTen) {
    SetDefault("Word.Application\\CLSID", kClassId + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.10.14" + kZ);
    EXPECT_EQ(DetectWordVersion(), 10);
    EXPECT_TRUE(setupState.wordPathAssumed);
    EXPECT_EQ(setupState.wordPath, word::kAssumedPath);
}

TEST_F(DetectWordVersionTest, ServerMissingWithoutFourteenKnowsNoPath) {
    SetDefault("Word.Application\\CLSID", kClassId + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.12" + kZ);
    EXPECT_EQ(DetectWordVersion(), 12);
    EXPECT_EQ(setupState.wordPath, "");
    EXPECT_FALSE(setupState.wordPathAssumed);
}

TEST_F(DetectWordVersionTest, CurVerMissingGivesZeroButThePath) {
    SetDefault("Word.Application\\CLSID", kClassId + kZ);
    SetDefault(kServerKey, kServerLine + kZ);
    EXPECT_EQ(DetectWordVersion(), 0);
    EXPECT_EQ(setupState.wordPath, "C:\\PROGRA~1\\MICROS~1\\Office14\\WINWORD.EXE ");
}

TEST_F(DetectWordVersionTest, CurVerUnreadableGivesZeroButThePath) {
    Register("Word.Application.14", kServerLine);
    platform.registry.Fail("QueryValue", fake::Registry::Name(RegRoot::ClassesRoot, "Word.Application\\CurVer"));
    EXPECT_EQ(DetectWordVersion(), 0);
    EXPECT_EQ(setupState.wordPath, "C:\\PROGRA~1\\MICROS~1\\Office14\\WINWORD.EXE ");
    EXPECT_EQ(platform.registry.openHandles, 0);
}

TEST_F(DetectWordVersionTest, ClassIdUnreadableLooksUpAnEmptyClassId) {
    Register("Word.Application.14", kServerLine);
    platform.registry.Fail("QueryValue", fake::Registry::Name(RegRoot::ClassesRoot, "Word.Application\\CLSID"));
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_EQ(OpenKeysOf("CLSID\\\\LocalServer32"), 1);
    EXPECT_TRUE(setupState.wordPathAssumed);
}

TEST_F(DetectWordVersionTest, AssumedFlagIsNeverCleared) {
    setupState.wordPathAssumed = true;
    Register("Word.Application.14", kServerLine);
    DetectWordVersion();
    EXPECT_TRUE(setupState.wordPathAssumed);
}

TEST_F(DetectWordVersionTest, UnterminatedRegistryTextIsTerminated) {
    SetDefault("Word.Application\\CLSID", kClassId);  // no zero at the end
    SetDefault("Word.Application\\CurVer", "Word.Application.12");
    SetDefault(kServerKey, "C:\\W\\WINWORD.EXE /Automation");
    EXPECT_EQ(DetectWordVersion(), 12);
    EXPECT_EQ(OpenKeysOf(kServerKey), 1);
    EXPECT_EQ(setupState.wordPath, "C:\\W\\WINWORD.EXE ");
}

TEST_F(DetectWordVersionTest, UnterminatedServerTextWithoutSlashIsTakenWhole) {
    SetDefault("Word.Application\\CLSID", kClassId);
    SetDefault("Word.Application\\CurVer", "Word.Application.11");
    SetDefault(kServerKey, "C:\\W\\WINWORD.EXE");
    EXPECT_EQ(DetectWordVersion(), 11);
    EXPECT_EQ(setupState.wordPath, "C:\\W\\WINWORD.EXE");
}

TEST_F(DetectWordVersionTest, ServerTextFillingTheWholeBufferWithItsZeroFits) {
    const std::string line = "C:\\" + std::string(508, 'w');  // 511 characters and the zero
    Register("Word.Application.12", line);
    EXPECT_EQ(DetectWordVersion(), 12);
    EXPECT_EQ(setupState.wordPath, line);
}

TEST_F(DetectWordVersionTest, OverlongServerValueIsNotTakenCut) {
    // 512 characters without a zero, and 600 characters with one: neither fits.
    for (const std::string& bytes : {std::string(512, 'w'), std::string(600, 'w') + kZ}) {
        setupState = SetupState{};
        Register("Word.Application.12", "");
        SetDefault(kServerKey, bytes);
        EXPECT_EQ(DetectWordVersion(), 12);
        EXPECT_EQ(setupState.wordPath, "");
        EXPECT_FALSE(setupState.wordPathAssumed);
    }
    // With "14" the path is assumed, as for any unreadable server value.
    Register("Word.Application.14", "");
    SetDefault(kServerKey, std::string(512, 'w'));
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_EQ(setupState.wordPath, word::kAssumedPath);
}

TEST_F(DetectWordVersionTest, OverlongVersionTextCountsAsNone) {
    Register("", kServerLine);
    SetDefault("Word.Application\\CurVer", "Word.Application.14" + std::string(300, ' ') + kZ);
    EXPECT_EQ(DetectWordVersion(), 0);
    EXPECT_FALSE(setupState.wordPathAssumed);
    // 256 bytes without a zero do not fit either.
    SetDefault("Word.Application\\CurVer", std::string(254, ' ') + "12");
    EXPECT_EQ(DetectWordVersion(), 0);
    // 255 characters and the zero fit.
    SetDefault("Word.Application\\CurVer", std::string(253, ' ') + "12" + kZ);
    EXPECT_EQ(DetectWordVersion(), 12);
}

TEST_F(DetectWordVersionTest, ClassIdTooLongForTheKeyNameIsNotLookedUp) {
    // 500 characters fit the 512-byte buffer, but "CLSID\<id>\LocalServer32" does not.
    const std::string id(500, 'c');
    SetDefault("Word.Application\\CLSID", id + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.14" + kZ);
    SetDefault("CLSID\\" + id + "\\LocalServer32", kServerLine + kZ);
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_EQ(OpenKeysOf("CLSID\\"), 0);
    EXPECT_TRUE(setupState.wordPathAssumed);
    EXPECT_EQ(setupState.wordPath, word::kAssumedPath);
}

TEST_F(DetectWordVersionTest, LongestClassIdThatFitsIsLookedUp) {
    const std::string id(511 - 6 - 14, 'c');  // the key name is 511 characters
    SetDefault("Word.Application\\CLSID", id + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.11" + kZ);
    SetDefault("CLSID\\" + id + "\\LocalServer32", "C:\\W.EXE" + kZ);
    EXPECT_EQ(DetectWordVersion(), 11);
    EXPECT_EQ(setupState.wordPath, "C:\\W.EXE");
}

TEST_F(DetectWordVersionTest, OverlongClassIdCountsAsEmpty) {
    SetDefault("Word.Application\\CLSID", std::string(600, 'c') + kZ);
    SetDefault("Word.Application\\CurVer", "Word.Application.14" + kZ);
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_EQ(OpenKeysOf("CLSID\\\\LocalServer32"), 1);
    EXPECT_TRUE(setupState.wordPathAssumed);
}

TEST_F(DetectWordVersionTest, KeysAreOpenedForReadingAndClosed) {
    Register("Word.Application.14", kServerLine);
    // Read-only keys open only for KEY_READ.
    for (auto& [name, key] : platform.registry.keys) key.readOnly = true;
    EXPECT_EQ(DetectWordVersion(), 14);
    EXPECT_FALSE(setupState.wordPathAssumed);
    EXPECT_EQ(platform.registry.Count("OpenKey"), 3);
    EXPECT_EQ(platform.registry.Count("CloseKey"), 3);
    EXPECT_EQ(platform.registry.openHandles, 0);
    EXPECT_EQ(platform.registry.Count("SetString"), 0);
}

}  // namespace
