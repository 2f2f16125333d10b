// The whole round trip on the assembled package folder, under Wine: install,
// the tray program the setup starts, removal on the next start, and install
// mode again after that. Each test starts from and leaves a clean machine.
#include <gtest/gtest.h>

#include "driver.h"


#include <string>
#include <vector>

#include "install_state.h"
#include "setup_runs.h"
#include "shortcuts.h"

namespace {

const char* kInstallTitle = e2e::kInstallCaption;
const char* kRemoveTitle = e2e::kRemoveCaption;
const char* kComplete = e2e::kCompleteCaption;
const char kInstallButton[] = "Click Here to Install";
const char kRemoveButton[] = "Uninstall Previous Version";
const char kTrayTitle[] = "BRevok Cyrillic Keyboard Layout";
using e2e::kInstallRunValue;
using e2e::kTrayRunValue;
constexpr UINT kTrayCallback = 32868;
constexpr WPARAM kTrayIconId = 1006;

const char* const kStartMenuShortcuts[] = {"BrEvok Russian Document.lnk", "BrEvok Help.lnk",
                                           "UnInstall Brevok Russian Keyboard.lnk"};

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }


// A top-level window of the process with that title, shown or not.
HWND AnyWindowOf(DWORD pid, const std::string& title) {
    for (HWND w : e2e::TopWindowsOf(pid))
        if (e2e::Title(w) == title) return w;
    return nullptr;
}

std::string ImagePath(HANDLE process) {
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameA(process, 0, path, &size)) return "";
    return path;
}

std::string SetupInPackage() { return e2e::SetupProgram(); }

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        e2e::RemoveEverythingInstalled();
        // A fresh prefix may lack the key the tray's Run value goes into.
        e2e::CreateKey(HKEY_CURRENT_USER, e2e::kRunKey);
        ASSERT_TRUE(e2e::FileExists(SetupInPackage())) << SetupInPackage();
    }
    void TearDown() override {
        e2e::RemoveEverythingInstalled();
        e2e::WordRegistration::Remove();
    }

    // Starts the setup and waits for its window in the mode given by the title.
    static HWND Window(e2e::Program& p, const char* title) {
        if (!p.Started()) return nullptr;
        return e2e::WaitForWindow(title, p.Id(), 20000);
    }

    // Clicks the action button and waits for the sequence's end.
    static bool RunToCompletion(HWND window, const char* button) {
        HWND b = e2e::FindChild(window, "Button", button);
        if (!b) return false;
        e2e::Click(b);
        return e2e::WaitUntil([&] { return e2e::Title(window) == kComplete; }, 40000);
    }

    // "Close" re-runs the action's click and then ends the program.
    static DWORD CloseAndWait(e2e::Program& p, HWND window) {
        HWND close = e2e::FindChild(window, "Button", "Close");
        if (!close) return STILL_ACTIVE;
        e2e::Click(close);
        return p.Wait(20000);
    }

    static DWORD ExitAndWait(e2e::Program& p, HWND window) {
        HWND exit = e2e::FindChild(window, "Button", "Exit");
        if (!exit) return STILL_ACTIVE;
        e2e::Click(exit);
        return p.Wait(20000);
    }

    static void ExpectInstalledFiles() {
        for (const std::string& name : e2e::kInstalledFiles)
            EXPECT_TRUE(e2e::FileExists(e2e::InstallFolder() + "\\" + name)) << name;
    }

};

TEST_F(RoundTrip, InstallStartsTheTrayAndTheNextStartRemovesEverything) {
    // With Word registered the document shortcuts are made too.
    e2e::WordRegistration word;
    ASSERT_TRUE(word.Created());
    // ---- install ----
    HANDLE tray = nullptr;
    {
        e2e::Program setup = e2e::Start(SetupInPackage());
        HWND w = Window(setup, kInstallTitle);
        ASSERT_NE(w, nullptr) << "no install-mode window";
        EXPECT_TRUE(e2e::ProcessIdsNamed("qvtray.exe").empty());
        ASSERT_TRUE(RunToCompletion(w, kInstallButton)) << "title: " << e2e::Title(w);

        // The setup started the installed copy of the tray program (at Tick 31,
        // before the completion at Tick 41 at the earliest).
        std::vector<DWORD> trays = e2e::ProcessIdsNamed("qvtray.exe");
        ASSERT_EQ(trays.size(), 1u);
        tray = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, trays[0]);
        ASSERT_NE(tray, nullptr);
        EXPECT_TRUE(SameText(ImagePath(tray), e2e::InstallFolder() + "\\qvtray.exe")) << ImagePath(tray);

        // Its window is made in the same step that adds the icon; the
        // notification area itself cannot be read under Wine.
        HWND trayWindow = nullptr;
        ASSERT_TRUE(e2e::WaitUntil([&] { return (trayWindow = AnyWindowOf(trays[0], kTrayTitle)) != nullptr; },
                                   10000));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(trayWindow); }, 5000)) << "tray window not hidden";
        // A double click on the icon, as the shell reports it.
        PostMessageA(trayWindow, kTrayCallback, kTrayIconId, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(trayWindow) != FALSE; }, 10000));
        SIZE size = e2e::OuterSize(trayWindow);
        EXPECT_EQ(size.cx, 980);
        EXPECT_EQ(size.cy, 418);
        HWND hide = e2e::FindChild(trayWindow, "Button", "Hide");
        ASSERT_NE(hide, nullptr);
        e2e::Click(hide);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(trayWindow); }, 10000));
        EXPECT_EQ(WaitForSingleObject(tray, 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "Hide ended the tray";

        std::string value;
        EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kInstallRunKey, kInstallRunValue, &value));
        EXPECT_EQ(value, e2e::InstallFolder());
        value.clear();
        EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kRunKey, kTrayRunValue, &value));
        EXPECT_EQ(value, e2e::TrayRunData());
        EXPECT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey));
        ExpectInstalledFiles();
        for (const char* link : kStartMenuShortcuts)
            EXPECT_TRUE(e2e::FileExists(e2e::StartMenuFolder() + "\\" + link)) << link;
        EXPECT_TRUE(e2e::FileExists(e2e::DesktopShortcut()));

        EXPECT_EQ(CloseAndWait(setup, w), 0u);
    }

    // ---- the next start removes ----
    {
        e2e::Program setup = e2e::Start(SetupInPackage());
        HWND w = Window(setup, kRemoveTitle);
        ASSERT_NE(w, nullptr) << "no remove-mode window";
        // Closed while the window was made, before it showed.
        EXPECT_EQ(WaitForSingleObject(tray, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the tray still runs";
        EXPECT_TRUE(e2e::ProcessIdsNamed("qvtray.exe").empty());
        EXPECT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey)) << "removed before the registrar ran";

        ASSERT_TRUE(RunToCompletion(w, kRemoveButton)) << "title: " << e2e::Title(w);
        EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey)) << "the registrar's \"u\" left the key";
        for (const char* link : kStartMenuShortcuts)
            EXPECT_FALSE(e2e::FileExists(e2e::StartMenuFolder() + "\\" + link)) << link;
        EXPECT_FALSE(e2e::FolderExists(e2e::StartMenuFolder()));
        EXPECT_FALSE(e2e::FileExists(e2e::DesktopShortcut()));
        // No tray program in remove mode, also not at Tick 31.
        EXPECT_TRUE(e2e::ProcessIdsNamed("qvtray.exe").empty());

        EXPECT_EQ(CloseAndWait(setup, w), 0u);
    }
    CloseHandle(tray);

    // ---- and the start after that installs again ----
    e2e::Program setup = e2e::Start(SetupInPackage());
    HWND w = Window(setup, kInstallTitle);
    ASSERT_NE(w, nullptr) << "no install-mode window after the removal";
    EXPECT_NE(e2e::FindChild(w, "Button", kInstallButton), nullptr);
    EXPECT_EQ(ExitAndWait(setup, w), 0u);
}

TEST_F(RoundTrip, UninstallShortcutRemovesTheLayoutAndUIsNotMinusU) {
    {
        e2e::Program setup = e2e::Start(SetupInPackage());
        HWND w = Window(setup, kInstallTitle);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(RunToCompletion(w, kInstallButton));
        EXPECT_EQ(CloseAndWait(setup, w), 0u);
    }
    std::string link = e2e::StartMenuFolder() + "\\UnInstall Brevok Russian Keyboard.lnk";
    e2e::Shortcut shortcut = e2e::ReadShortcut(link);
    ASSERT_TRUE(shortcut.loaded) << link;
    std::string installed = e2e::InstallFolder() + "\\setupqv.exe";
    EXPECT_TRUE(SameText(shortcut.target, installed)) << shortcut.target;
    EXPECT_EQ(shortcut.arguments, "u");

    // The shortcut's command line, from the Install folder: remove mode by the
    // Layout key, and the registrar found beside the installed setup.
    {
        e2e::Program setup = e2e::Start(installed, "u");
        HWND w = Window(setup, kRemoveTitle);
        ASSERT_NE(w, nullptr) << "not in remove mode with the Layout key present";
        ASSERT_TRUE(RunToCompletion(w, kRemoveButton)) << "title: " << e2e::Title(w);
        EXPECT_EQ(e2e::FindTopWindow("GetLastError", setup.Id()), nullptr) << "the registrar was not found";
        EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey)) << "the layout is still registered";
        EXPECT_EQ(CloseAndWait(setup, w), 0u);
    }
    // Without the key, "u" alone selects nothing: "-u" is the remove switch.
    e2e::Program setup = e2e::Start(installed, "u");
    HWND w = Window(setup, kInstallTitle);
    ASSERT_NE(w, nullptr) << "\"u\" alone put the setup in remove mode";
    EXPECT_EQ(ExitAndWait(setup, w), 0u);
}

TEST_F(RoundTrip, InstallStartedFromAnotherCurrentFolderWorks) {
    std::string elsewhere = e2e::TempFolder("round-trip-cwd");
    e2e::Program setup = e2e::Start(SetupInPackage(), "", elsewhere);
    HWND w = Window(setup, kInstallTitle);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(RunToCompletion(w, kInstallButton)) << "title: " << e2e::Title(w);
    ExpectInstalledFiles();
    // The registrar was found beside the setup, not in the current folder.
    EXPECT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey));
    EXPECT_EQ(e2e::ProcessIdsNamed("qvtray.exe").size(), 1u);
    std::string value;
    EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kRunKey, kTrayRunValue, &value));
    EXPECT_EQ(value, e2e::TrayRunData());
    EXPECT_EQ(CloseAndWait(setup, w), 0u);
    e2e::DeleteTree(elsewhere);
}

}  // namespace
