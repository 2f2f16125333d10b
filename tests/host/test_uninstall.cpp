// The removal steps that run at once in remove mode.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/fake/fake_ports.h"
#include "core/fake/fake_processcontrol.h"
#include "setup/set1.h"

namespace {

constexpr char kStartMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
constexpr char kFolder[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Brevok Russian Keyboard";
constexpr char kDesktopLink[] = "C:\\Users\\user\\DESKTOP\\Brevok Russian Document.lnk";
const std::vector<std::string> kStartMenuLinks = {
    std::string(kFolder) + "\\BrEvok Russian Document.lnk",
    std::string(kFolder) + "\\BrEvok Help.lnk",
    std::string(kFolder) + "\\UnInstall Brevok Russian Keyboard.lnk",
};

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        setupState = SetupState{};
        Form1 = nullptr;
        port::Os().processControl = &pc;
        os.shell.folders[0x8016] = kStartMenu;
        os.files.AddFolder(kStartMenu);
        os.files.AddFolder("C:\\Users\\user\\Desktop");
    }
    void TearDown() override {
        Form1 = nullptr;
        port::Os().processControl = nullptr;
    }
    void InstallAll() {
        os.files.AddFile(kDesktopLink);
        for (const auto& link : kStartMenuLinks) os.files.AddFile(link);
    }

    fake::Platform os;
    fake::ProcessControl pc;
};

struct Case {
    const char* what;
    std::function<void(fake::Platform&)> arrange;
    std::vector<std::string> gone;     // files and folders that must not exist afterwards
    std::vector<std::string> kept;     // files that must still exist
    bool folderKept;
};

const Case kCases[] = {
    {"all four shortcuts and an empty folder", [](fake::Platform&) {},
     {kDesktopLink, kStartMenuLinks[0], kStartMenuLinks[1], kStartMenuLinks[2]}, {}, false},
    {"extra file keeps the folder",
     [](fake::Platform& p) { p.files.AddFile(std::string(kFolder) + "\\notes.txt"); },
     {kDesktopLink, kStartMenuLinks[0], kStartMenuLinks[1], kStartMenuLinks[2]},
     {std::string(kFolder) + "\\notes.txt"}, true},
    {"a shortcut that cannot be deleted keeps the folder",
     [](fake::Platform& p) { p.files.Fail("DeleteFile", kStartMenuLinks[1]); },
     {kDesktopLink, kStartMenuLinks[0], kStartMenuLinks[2]}, {kStartMenuLinks[1]}, true},
    {"failed Start-menu lookup: desktop shortcut only",
     [](fake::Platform& p) { p.shell.Fail("GetFolderPath"); },
     {kDesktopLink}, {kStartMenuLinks[0], kStartMenuLinks[1], kStartMenuLinks[2]}, true},
    {"no Start-menu entry at all: desktop shortcut only",
     [](fake::Platform& p) { p.shell.folders.clear(); },
     {kDesktopLink}, {kStartMenuLinks[0], kStartMenuLinks[1], kStartMenuLinks[2]}, true},
};

TEST_F(UninstallTest, RemovesShortcutsAndFolder) {
    for (const auto& c : kCases) {
        fake::Platform fresh;
        port::Os().processControl = &pc;
        fresh.shell.folders[0x8016] = kStartMenu;
        fresh.files.AddFolder(kStartMenu);
        fresh.files.AddFile(kDesktopLink);
        for (const auto& link : kStartMenuLinks) fresh.files.AddFile(link);
        c.arrange(fresh);

        UninstallPackage();

        for (const auto& path : c.gone) EXPECT_FALSE(fresh.files.HasFile(path)) << c.what << ": " << path;
        for (const auto& path : c.kept) EXPECT_TRUE(fresh.files.HasFile(path)) << c.what << ": " << path;
        EXPECT_EQ(fresh.files.HasFolder(kFolder), c.folderKept) << c.what;
        EXPECT_TRUE(fresh.files.HasFolder(kStartMenu)) << c.what;
        EXPECT_EQ(fresh.shell.Count("GetFolderPath 32790"), 1) << c.what;
    }
    port::Install(os.Ports());
    port::Os().processControl = &pc;
}

TEST_F(UninstallTest, NothingInstalledStillSetsBothCaptions) {
    TForm1 form;
    Form1 = &form;
    form.B.SetCaption("before");
    form.SetCaption("before");

    UninstallPackage();

    EXPECT_EQ(os.files.Count("DeleteFile"), 0);
    EXPECT_EQ(os.files.Count("RemoveFolder " + std::string(kFolder)), 1);  // fails quietly
    EXPECT_EQ(form.B.Caption(), "Uninstall Previous Version");
    EXPECT_EQ(form.Caption(), "Now Uninstalling Brevok Russian Keyboard");
}

TEST_F(UninstallTest, FolderNamedLikeAShortcutIsNotDeleted) {
    InstallAll();
    os.files.files.erase(os.files.Resolve(kStartMenuLinks[1]));
    os.files.AddFolder(kStartMenuLinks[1]);

    UninstallPackage();

    EXPECT_EQ(os.files.Count("DeleteFile " + kStartMenuLinks[1]), 0);
    EXPECT_TRUE(os.files.HasFolder(kStartMenuLinks[1]));
    EXPECT_TRUE(os.files.HasFolder(kFolder));
    EXPECT_FALSE(os.files.HasFile(kStartMenuLinks[0]));
    EXPECT_FALSE(os.files.HasFile(kStartMenuLinks[2]));
}

TEST_F(UninstallTest, UnsetUserProfileLooksAtTheDriveRoot) {
    os.env.Unset("USERPROFILE");
    os.files.AddFile("C:\\DESKTOP\\Brevok Russian Document.lnk");
    UninstallPackage();
    EXPECT_EQ(os.files.Count("FileExists \\DESKTOP\\Brevok Russian Document.lnk"), 1);
    EXPECT_FALSE(os.files.HasFile("C:\\DESKTOP\\Brevok Russian Document.lnk"));
}

TEST_F(UninstallTest, LeavesInstallFolderLibraryAndRunValues) {
    InstallAll();
    const std::vector<std::string> installed = {
        "C:\\Program Files\\Brevok\\qvtray.exe", "C:\\Program Files\\Brevok\\About.doc",
        "C:\\windows\\system32\\qvkey.dll"};
    for (const auto& f : installed) os.files.AddFile(f);
    os.registry.AddKey(port::RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\Run")
        .values["brevok russian keyboard"] = std::string("C:\\Program Files\\Brevok") + '\0';
    os.registry.AddKey(port::RegRoot::CurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run")
        .values["brevok russian keyboard tray"] = std::string("C:\\Program Files\\Brevok\\qvtray.exe") + '\0';

    UninstallPackage();

    for (const auto& f : installed) EXPECT_TRUE(os.files.HasFile(f)) << f;
    EXPECT_TRUE(os.files.HasFolder("C:\\Program Files\\Brevok"));
    EXPECT_EQ(os.registry.Value(port::RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\Run",
                                "Brevok Russian Keyboard"),
              "C:\\Program Files\\Brevok");
    EXPECT_EQ(os.registry.Value(port::RegRoot::CurrentUser,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                "Brevok Russian Keyboard Tray"),
              "C:\\Program Files\\Brevok\\qvtray.exe");
    EXPECT_TRUE(os.registry.calls.empty());
    EXPECT_FALSE(os.files.HasFile(kDesktopLink));  // the procedure did run
}

struct TrayCase {
    const char* what;
    bool closesOnClose;
    bool canOpen;
};

const TrayCase kTrayCases[] = {
    {"closes when asked", true, true},
    {"ignores the request: terminated", false, true},
    {"cannot be opened: left running", false, false},
};

TEST_F(UninstallTest, ClosesTheTrayProgramAndGoesOnWhateverTheOutcome) {
    for (const auto& c : kTrayCases) {
        fake::ProcessControl fresh;
        port::Os().processControl = &fresh;
        auto& tray = fresh.AddProcess(42, "C:\\Program Files\\Brevok\\qvtray.exe");
        tray.closesOnClose = c.closesOnClose;
        tray.canOpen = c.canOpen;
        fresh.AddWindow(42);
        os.files.AddFile(kDesktopLink);

        UninstallPackage();

        EXPECT_EQ(fresh.Find(42)->running, !c.canOpen) << c.what;
        EXPECT_EQ(fresh.Find(42)->terminated, c.canOpen && !c.closesOnClose) << c.what;
        EXPECT_FALSE(os.files.HasFile(kDesktopLink)) << c.what;
        EXPECT_EQ(fresh.OpenHandles(), 0) << c.what;
    }
}

TEST_F(UninstallTest, SecondCallDeletesNothingMoreAndSetsTheSameCaptions) {
    InstallAll();
    TForm1 form;
    Form1 = &form;
    UninstallPackage();
    int deletes = os.files.Count("DeleteFile");
    EXPECT_EQ(deletes, 4);
    form.B.SetCaption("x");
    form.SetCaption("x");

    UninstallPackage();

    EXPECT_EQ(os.files.Count("DeleteFile"), deletes);
    EXPECT_EQ(pc.Count("LoadLibrary Kernel32"), 2);  // the tray program is looked for again
    EXPECT_EQ(form.B.Caption(), setup_text::kRemoveButton);
    EXPECT_EQ(form.Caption(), setup_text::kRemoveCaption);
}

}  // namespace
