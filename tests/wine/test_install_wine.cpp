// The real setup program's install, run to the end as a user does it, and
// what it leaves on the machine.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"
#include "install_state.h"
#include "setup_runs.h"
#include "shortcuts.h"

namespace {

// The server command line cut at "/", its blank kept. The link object stores
// the target as a full path name, which drops a trailing blank; its item
// identifier list keeps the text as it was given.
const char kWordPath[] = "C:\\Program Files\\Microsoft Office\\Office14\\WINWORD.EXE ";
const char kWordTarget[] = "C:\\Program Files\\Microsoft Office\\Office14\\WINWORD.EXE";

std::string StartMenuLink(const char* name) { return e2e::StartMenuFolder() + "\\" + name; }
std::string HelpLink() { return StartMenuLink("BrEvok Help.lnk"); }
std::string UninstallLink() { return StartMenuLink("UnInstall Brevok Russian Keyboard.lnk"); }
std::string StartMenuDocumentLink() { return StartMenuLink("BrEvok Russian Document.lnk"); }

std::vector<std::string> ExpectedInstallEntries() {
    std::vector<std::string> names;
    for (const std::string& name : e2e::kInstalledFiles) names.push_back(e2e::Lower(name));
    std::sort(names.begin(), names.end());
    return names;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        e2e::RemoveEverythingInstalled();
        e2e::RemoveLayoutLibraries();
        e2e::WordRegistration::Remove();
    }

    // The Install folder holds exactly the package's files, each a copy of the package's own.
    static void ExpectThePackageFiles() {
        EXPECT_EQ(e2e::FolderEntries(e2e::InstallFolder()), ExpectedInstallEntries());
        for (const std::string& name : e2e::kInstalledFiles) {
            std::string installed = e2e::ReadWholeFile(e2e::InstallFolder() + "\\" + name);
            EXPECT_FALSE(installed.empty()) << name;
            EXPECT_TRUE(installed == e2e::ReadWholeFile(e2e::PackageDir() + "\\" + name)) << name << " differs";
        }
    }

    static void ExpectShortcut(const std::string& link, const std::string& target, const std::string& arguments,
                               const std::string& itemPath = "") {
        e2e::Shortcut s = e2e::ReadShortcut(link);
        ASSERT_TRUE(s.loaded) << link;
        EXPECT_EQ(s.target, target) << link;
        EXPECT_EQ(s.itemPath, itemPath.empty() ? target : itemPath) << link;
        EXPECT_EQ(s.arguments, arguments) << link;
    }
};

TEST_F(Install, WithoutWordCopiesFilesAndLibraryAndMakesTheHelpAndUninstallShortcuts) {
    std::string pleaseWait;
    ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce("", &pleaseWait));

    // The please-wait window shows the Windows description.
    EXPECT_EQ(pleaseWait.rfind("Microsoft Windows 7", 0), 0u) << pleaseWait;
    const std::string bits = ", 64-bit";
    EXPECT_TRUE(pleaseWait.size() >= bits.size() &&
                pleaseWait.compare(pleaseWait.size() - bits.size(), bits.size(), bits) == 0)
        << pleaseWait;

    ExpectThePackageFiles();

    // The 64-bit library in the native system folder (reached through Sysnative).
    EXPECT_TRUE(e2e::FileExists(e2e::LayoutLibrary())) << e2e::LayoutLibrary();
    EXPECT_EQ(e2e::MachineType(e2e::LayoutLibrary()), IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(e2e::ReadWholeFile(e2e::LayoutLibrary()) ==
                e2e::ReadWholeFile(e2e::PackageDir() + "\\amd64\\Qvkey.dll"));

    // Without Word only the two program shortcuts are made.
    EXPECT_EQ(e2e::FolderEntries(e2e::StartMenuFolder()),
              (std::vector<std::string>{"brevok help.lnk", "uninstall brevok russian keyboard.lnk"}));
    ExpectShortcut(HelpLink(), e2e::InstallFolder() + "\\qvtray.exe", "");
    ExpectShortcut(UninstallLink(), e2e::InstallFolder() + "\\setupqv.exe", "u");
    EXPECT_FALSE(e2e::FileExists(e2e::DesktopShortcut()));
    EXPECT_FALSE(e2e::FileExists(StartMenuDocumentLink()));

    std::string run;
    EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kInstallRunKey, e2e::kInstallRunValue, &run));
    EXPECT_EQ(run, e2e::InstallFolder());
}

TEST_F(Install, WithWordMakesBothDocumentShortcutsForTheWord14Template) {
    e2e::WordRegistration word;
    ASSERT_TRUE(word.Created());
    ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce());

    const std::string arguments = "/t\"" + e2e::InstallFolder() + "\\qvnormal_10.dotm\"";
    for (const std::string& link : {e2e::DesktopShortcut(), StartMenuDocumentLink()})
        ExpectShortcut(link, kWordTarget, arguments, kWordPath);
}

TEST_F(Install, TwiceLeavesTheSameFilesAndShortcuts) {
    e2e::WordRegistration word;
    ASSERT_TRUE(word.Created());
    struct Snapshot {
        std::vector<std::string> installed, startMenu;
        std::vector<std::string> links;  // target and arguments of each shortcut
    };
    auto take = [] {
        Snapshot s;
        s.installed = e2e::FolderEntries(e2e::InstallFolder());
        s.startMenu = e2e::FolderEntries(e2e::StartMenuFolder());
        for (const std::string& link :
             {e2e::DesktopShortcut(), StartMenuDocumentLink(), HelpLink(), UninstallLink()}) {
            e2e::Shortcut sc = e2e::ReadShortcut(link);
            s.links.push_back(sc.loaded ? sc.target + " | " + sc.arguments : "(none)");
        }
        return s;
    };

    ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce());
    Snapshot first = take();
    ASSERT_EQ(first.installed, ExpectedInstallEntries());
    ASSERT_EQ(first.startMenu.size(), 3u);
    ASSERT_EQ(std::count(first.links.begin(), first.links.end(), "(none)"), 0);

    // The registrar registered the layout, which would bring the next start up in remove mode.
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, e2e::kLayoutKey);
    ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce());
    Snapshot second = take();
    EXPECT_EQ(second.installed, first.installed);
    EXPECT_EQ(second.startMenu, first.startMenu);
    EXPECT_EQ(second.links, first.links);
    ExpectThePackageFiles();
    std::string run;
    EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kInstallRunKey, e2e::kInstallRunValue, &run));
    EXPECT_EQ(run, e2e::InstallFolder());
}

TEST_F(Install, FromAnotherCurrentFolderCopiesTheSamePackageFiles) {
    ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce(e2e::TempFolder("elsewhere")));
    ExpectThePackageFiles();
    EXPECT_TRUE(e2e::FileExists(e2e::LayoutLibrary()));
}

}  // namespace
