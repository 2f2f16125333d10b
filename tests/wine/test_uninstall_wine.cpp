// The real setup program started again after an install: the removal it does
// at once in remove mode, and the removal sequence behind its button.
#include <gtest/gtest.h>

#include <functional>

#include "driver.h"
#include "install_state.h"
#include "setup_runs.h"

namespace {

const char* const kStartMenuLinks[] = {"BrEvok Russian Document.lnk", "BrEvok Help.lnk",
                                       "UnInstall Brevok Russian Keyboard.lnk"};

std::string InStartMenu(const std::string& name) { return e2e::StartMenuFolder() + "\\" + name; }

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        // The tray program's logon value is written only into an existing key.
        e2e::CreateKey(HKEY_CURRENT_USER, e2e::kRunKey);
        ASSERT_NO_FATAL_FAILURE(e2e::InstallOnce());
        ASSERT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey)) << "the install registered no layout";
    }
    void TearDown() override { Clean(); }
    static void Clean() {
        e2e::RemoveEverythingInstalled();
        e2e::RemoveLayoutLibraries();
    }
};

TEST_F(Uninstall, RemoveModeStartClosesTheTrayAndDeletesOnlyTheShortcuts) {
    // Word was absent, so the desktop shortcut is put there by hand.
    ASSERT_TRUE(CopyFileA(InStartMenu("BrEvok Help.lnk").c_str(), e2e::DesktopShortcut().c_str(), FALSE));
    std::vector<HANDLE> trays = e2e::OpenProcessesNamed("qvtray.exe");
    ASSERT_FALSE(trays.empty()) << "the install started no tray program";
    std::string runBefore, trayRunBefore;
    ASSERT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kInstallRunKey, e2e::kInstallRunValue, &runBefore));
    ASSERT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kRunKey, e2e::kTrayRunValue, &trayRunBefore));

    DWORD started = GetTickCount();
    e2e::Program setup = e2e::Start(e2e::SetupProgram());
    ASSERT_TRUE(setup.Started());
    // Asked to close, the tray ends at once. Had it to be terminated, that would
    // come 5 s after the request, so more than 5 s after this start.
    DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(trays.size()), trays.data(), TRUE, 10000);
    DWORD trayGoneAfter = GetTickCount() - started;
    for (HANDLE h : trays) CloseHandle(h);
    EXPECT_NE(waited, static_cast<DWORD>(WAIT_TIMEOUT)) << "the tray program still runs";
    EXPECT_LT(trayGoneAfter, 4500u);
    HWND window = e2e::WaitForWindow(e2e::kRemoveCaption, setup.Id());
    ASSERT_NE(window, nullptr) << "setup did not come up in remove mode";
    EXPECT_NE(e2e::FindChild(window, "Button", "Uninstall Previous Version"), nullptr);

    EXPECT_FALSE(e2e::FileExists(e2e::DesktopShortcut()));
    for (const char* link : kStartMenuLinks) EXPECT_FALSE(e2e::FileExists(InStartMenu(link))) << link;
    EXPECT_FALSE(e2e::FolderExists(e2e::StartMenuFolder()));

    // The installed files, the library and both Run values stay.
    for (const std::string& name : e2e::kInstalledFiles)
        EXPECT_TRUE(e2e::FileExists(e2e::InstallFolder() + "\\" + name)) << name;
    EXPECT_TRUE(e2e::FileExists(e2e::LayoutLibrary()));
    std::string run, trayRun;
    EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kInstallRunKey, e2e::kInstallRunValue, &run));
    EXPECT_EQ(run, runBefore);
    EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kRunKey, e2e::kTrayRunValue, &trayRun));
    EXPECT_EQ(trayRun, trayRunBefore);

    e2e::Click(e2e::FindChild(window, "Button", "Exit"));
    EXPECT_EQ(setup.Wait(15000), 0u);
}

TEST_F(Uninstall, RemoveSequenceUnregistersTheLayoutAndTheNextStartInstalls) {
    {
        e2e::Program setup = e2e::Start(e2e::SetupProgram());
        HWND window = e2e::WaitForWindow(e2e::kRemoveCaption, setup.Id());
        ASSERT_NE(window, nullptr) << "setup did not come up in remove mode";
        HWND button = e2e::FindChild(window, "Button", "Uninstall Previous Version");
        ASSERT_NE(button, nullptr);
        e2e::Click(button);
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::Title(window) == e2e::kCompleteCaption; }, 25000))
            << "the removal did not complete; title: " << e2e::Title(window);
        EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey)) << "the layout is still registered";
        HWND close = e2e::FindChild(window, "Button", "Close");
        ASSERT_NE(close, nullptr);
        e2e::Click(close);
        EXPECT_EQ(setup.Wait(15000), 0u);
    }
    e2e::Program again = e2e::Start(e2e::SetupProgram());
    HWND window = e2e::WaitForWindow(e2e::kInstallCaption, again.Id());
    ASSERT_NE(window, nullptr) << "the next start is not in install mode";
    e2e::Click(e2e::FindChild(window, "Button", "Exit"));
    EXPECT_EQ(again.Wait(15000), 0u);
}

// The Start-menu folder is removed only when empty, and only files named like
// the shortcuts are deleted.
TEST_F(Uninstall, StartMenuFolderStaysWhileSomethingElseIsInIt) {
    // The installed shortcuts, kept aside to put back before each start.
    const std::string saved = e2e::TempFolder("saved-links");
    std::vector<std::string> installed;
    for (const char* name : kStartMenuLinks)
        if (e2e::FileExists(InStartMenu(name))) installed.push_back(name);
    ASSERT_EQ(installed.size(), 2u) << "without Word the install makes two Start-menu shortcuts";
    for (const std::string& name : installed)
        ASSERT_TRUE(CopyFileA(InStartMenu(name).c_str(), (saved + "\\" + name).c_str(), FALSE)) << name;

    struct Case {
        const char* what;
        std::function<bool(const std::string&)> plant;  // in the Start-menu folder
        const char* staying;                            // what must still be there
        bool stayingIsFolder;
        const char* deletedLink;                        // a shortcut that must be gone
    };
    const Case cases[] = {
        {"an extra file",
         [](const std::string& folder) {
             HANDLE f = CreateFileA((folder + "\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                    nullptr);
             if (f == INVALID_HANDLE_VALUE) return false;
             CloseHandle(f);
             return true;
         },
         "notes.txt", false, "BrEvok Help.lnk"},
        {"a folder named like a shortcut",
         [](const std::string& folder) {
             std::string link = folder + "\\BrEvok Help.lnk";
             return DeleteFileA(link.c_str()) && CreateDirectoryA(link.c_str(), nullptr);
         },
         "BrEvok Help.lnk", true, "UnInstall Brevok Russian Keyboard.lnk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = e2e::StartMenuFolder();
        e2e::DeleteTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const std::string& name : installed)
            ASSERT_TRUE(CopyFileA((saved + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE));
        ASSERT_TRUE(c.plant(folder));

        e2e::Program setup = e2e::Start(e2e::SetupProgram());
        HWND window = e2e::WaitForWindow(e2e::kRemoveCaption, setup.Id());
        ASSERT_NE(window, nullptr) << "setup did not come up in remove mode";

        EXPECT_FALSE(e2e::FileExists(InStartMenu(c.deletedLink))) << c.deletedLink;
        EXPECT_TRUE(e2e::FolderExists(folder));
        const std::string staying = InStartMenu(c.staying);
        EXPECT_TRUE(c.stayingIsFolder ? e2e::FolderExists(staying) : e2e::FileExists(staying)) << staying;
        EXPECT_EQ(e2e::FolderEntries(folder), std::vector<std::string>{e2e::Lower(c.staying)});

        e2e::Click(e2e::FindChild(window, "Button", "Exit"));
        EXPECT_EQ(setup.Wait(15000), 0u);
    }
    e2e::DeleteTree(saved);
}

}  // namespace
