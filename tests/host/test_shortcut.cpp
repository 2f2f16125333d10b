// Shortcut creation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fake/fake_ports.h"
#include "core/fake/fake_shelllink.h"
#include "core/os.h"
#include "setup/set1.h"

namespace {

using Calls = std::vector<std::string>;

constexpr char kLink[] = "C:\\Users\\user\\DESKTOP\\x.lnk";

class CreateShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        setupState = SetupState{};
        port::Os().links = &links;
    }
    void TearDown() override {
        // Every path balances COM and releases what it made.
        EXPECT_EQ(links.initializations, links.uninitializations);
        EXPECT_EQ(links.liveLinks, 0);
        EXPECT_EQ(links.livePersistFiles, 0);
        ASSERT_FALSE(links.calls.empty());
        EXPECT_EQ(links.calls.front(), "CoInitialize");
        EXPECT_EQ(links.calls.back(), "CoUninitialize");
    }
    fake::Platform platform;
    fake::ShellLinks links;
};

TEST_F(CreateShortcutTest, AllSettersInOrderThenSave) {
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "-a", kLink, "desc", 3, "C:\\w", "C:\\i.ico", 2), port::kSOk);
    EXPECT_EQ(links.calls, (Calls{"CoInitialize", "CreateShellLink", "SetPath C:\\t.exe", "SetArguments -a",
                                  "SetDescription desc", "SetShowCmd 3", "SetWorkingDirectory C:\\w",
                                  "SetIconLocation C:\\i.ico 2", "QueryPersistFile",
                                  std::string("AnsiToWide ") + kLink, std::string("Save ") + kLink + " remember",
                                  "ReleasePersistFile", "ReleaseLink", "CoUninitialize"}));
    auto link = links.Saved(kLink);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "C:\\t.exe");
    EXPECT_EQ(link->arguments, "-a");
    EXPECT_EQ(link->description, "desc");
    EXPECT_EQ(link->showCommand, 3);
    EXPECT_EQ(link->workingFolder, "C:\\w");
    EXPECT_EQ(link->iconFile, "C:\\i.ico");
    EXPECT_EQ(link->iconIndex, 2);
    EXPECT_EQ(links.saved.count(fake::ShellLinks::Widen(kLink)), 1u);
}

TEST_F(CreateShortcutTest, InstallStyleArgumentsSetOnlyPathAndArguments) {
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::kSOk);
    EXPECT_EQ(links.calls, (Calls{"CoInitialize", "CreateShellLink", "SetPath C:\\t.exe", "SetArguments ",
                                  "QueryPersistFile", std::string("AnsiToWide ") + kLink,
                                  std::string("Save ") + kLink + " remember", "ReleasePersistFile", "ReleaseLink",
                                  "CoUninitialize"}));
    EXPECT_EQ(links.Saved(kLink)->arguments, "");
}

TEST_F(CreateShortcutTest, IconFileWithIndexZeroIsSet) {
    CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "C:\\i.ico", 0);
    EXPECT_EQ(links.Count("SetIconLocation C:\\i.ico 0"), 1);
    EXPECT_EQ(links.Count("SetShowCmd"), 0);
}

struct Refusal {
    const char* name;
    const char* target;
    const char* arguments;
    const char* linkPath;
    const char* description;
    int showCommand;
    const char* workingFolder;
    const char* iconFile;
    int iconIndex;
};

class Refusals : public CreateShortcutTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, GiveInvalidArgAndTouchNothing) {
    const Refusal& r = GetParam();
    EXPECT_EQ(CreateShortcut(r.target, r.arguments, r.linkPath, r.description, r.showCommand, r.workingFolder,
                             r.iconFile, r.iconIndex),
              port::kEInvalidArg);
    EXPECT_TRUE(port::Failed(port::kEInvalidArg));
    EXPECT_EQ(links.calls, (Calls{"CoInitialize", "CoUninitialize"}));
    EXPECT_TRUE(links.saved.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Refusals,
    ::testing::Values(Refusal{"EmptyTarget", "", "", kLink, "", 0, "", "", 0},
                      Refusal{"NullTarget", nullptr, "", kLink, "", 0, "", "", 0},
                      Refusal{"NullArguments", "C:\\t.exe", nullptr, kLink, "", 0, "", "", 0},
                      Refusal{"NullLinkPath", "C:\\t.exe", "", nullptr, "", 0, "", "", 0},
                      Refusal{"EmptyLinkPath", "C:\\t.exe", "", "", "", 0, "", "", 0},
                      Refusal{"NullDescription", "C:\\t.exe", "", kLink, nullptr, 0, "", "", 0},
                      Refusal{"NegativeShowCommand", "C:\\t.exe", "", kLink, "", -1, "", "", 0},
                      Refusal{"NullWorkingFolder", "C:\\t.exe", "", kLink, "", 0, nullptr, "", 0},
                      Refusal{"NullIconFile", "C:\\t.exe", "", kLink, "", 0, "", nullptr, 0},
                      Refusal{"NegativeIconIndexEmptyIconFile", "C:\\t.exe", "", kLink, "", 0, "", "", -1},
                      Refusal{"NegativeIconIndexWithIconFile", "C:\\t.exe", "", kLink, "", 0, "", "C:\\i.ico", -5}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(CreateShortcutTest, FailedCreationGivesItsStatus) {
    links.failStatus = port::HResult(0x80040154u);  // REGDB_E_CLASSNOTREG
    links.Fail("CreateShellLink");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::HResult(0x80040154u));
    EXPECT_EQ(links.calls, (Calls{"CoInitialize", "CreateShellLink", "CoUninitialize"}));
    EXPECT_TRUE(links.saved.empty());
}

TEST_F(CreateShortcutTest, FailedInitializationIsIgnored) {
    links.Fail("CoInitialize");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::kSOk);
    EXPECT_TRUE(links.Saved(kLink));
}

TEST_F(CreateShortcutTest, SetterFailuresDoNotShowInTheResult) {
    for (const char* op : {"SetPath", "SetArguments", "SetDescription", "SetShowCmd", "SetWorkingDirectory",
                           "SetIconLocation"})
        links.Fail(op);
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "a", kLink, "d", 1, "C:\\w", "C:\\i.ico", 0), port::kSOk);
    EXPECT_EQ(links.Count("Set"), 6);
    auto link = links.Saved(kLink);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "");  // saved with whatever the object holds
}

TEST_F(CreateShortcutTest, FailedQueryInterfaceGivesItsStatus) {
    links.failStatus = port::HResult(0x80004002u);  // E_NOINTERFACE
    links.Fail("QueryPersistFile");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::HResult(0x80004002u));
    EXPECT_EQ(links.Count("Save"), 0);
    EXPECT_EQ(links.Count("ReleasePersistFile"), 0);
    EXPECT_EQ(links.Count("ReleaseLink"), 1);
    EXPECT_TRUE(links.saved.empty());
}

TEST_F(CreateShortcutTest, FailedSaveGivesItsStatus) {
    links.failStatus = port::HResult(0x80070005u);
    links.Fail("Save");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::HResult(0x80070005u));
    EXPECT_EQ(links.Count("ReleasePersistFile"), 1);
    EXPECT_EQ(links.Count("ReleaseLink"), 1);
}

TEST_F(CreateShortcutTest, MissingFolderMakesSaveFail) {
    links.files = &platform.files;
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", "C:\\NoSuchFolder\\x.lnk", "", 0, "", "", 0), links.pathNotFound);
    EXPECT_TRUE(links.saved.empty());
    platform.files.AddFolder("C:\\Users\\user\\DESKTOP");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::kSOk);
    EXPECT_TRUE(platform.files.HasFile(kLink));
}

TEST_F(CreateShortcutTest, ExistingLinkIsReplaced) {
    CreateShortcut("C:\\old.exe", "", kLink, "", 0, "", "", 0);
    CreateShortcut("C:\\new.exe", "n", kLink, "", 0, "", "", 0);
    EXPECT_EQ(links.saved.size(), 1u);
    EXPECT_EQ(links.Saved(kLink)->target, "C:\\new.exe");
    EXPECT_EQ(links.Saved(kLink)->arguments, "n");
}

TEST_F(CreateShortcutTest, LinkPathOf259CharactersIsSaved) {
    const std::string path = "C:\\" + std::string(252, 'a') + ".lnk";
    ASSERT_EQ(path.size(), 259u);
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", path.c_str(), "", 0, "", "", 0), port::kSOk);
    EXPECT_TRUE(links.Saved(path));
}

TEST_F(CreateShortcutTest, LinkPathTooLongIsRefusedNotCut) {
    const std::string path = "C:\\" + std::string(253, 'a') + ".lnk";
    ASSERT_EQ(path.size(), 260u);
    const long result = CreateShortcut("C:\\t.exe", "", path.c_str(), "", 0, "", "", 0);
    EXPECT_EQ(result, port::kEFilenameTooLong);
    EXPECT_LT(result, 0);
    EXPECT_EQ(links.Count("Save"), 0);
    EXPECT_TRUE(links.saved.empty());
    EXPECT_EQ(links.Count("ReleasePersistFile"), 1);
    EXPECT_EQ(links.Count("ReleaseLink"), 1);
}

TEST_F(CreateShortcutTest, ResultIsTheLastCallsStatus) {
    // Save succeeds after failing setters: S_OK. Save fails after good setters: Save's status.
    links.Fail("SetArguments");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::kSOk);
    links.Heal();
    links.failStatus = port::HResult(0x80070020u);
    links.Fail("Save");
    EXPECT_EQ(CreateShortcut("C:\\t.exe", "", kLink, "", 0, "", "", 0), port::HResult(0x80070020u));
}

}  // namespace
