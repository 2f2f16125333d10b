// The click on the action button and the timed sequence, on the real program.
#include <gtest/gtest.h>

#include "driver.h"

#include <commctrl.h>

#include "install_state.h"
#include "setup_runs.h"

namespace {

const char kInstallTitle[] = "Installing now Brevok Russian Keyboard layout";

class Sequence : public ::testing::Test {
protected:
    void SetUp() override { e2e::RemoveEverythingInstalled(); }
    void TearDown() override { e2e::RemoveEverythingInstalled(); }
};

TEST_F(Sequence, InstallRunsToCompletionAndTheNextStartRemoves) {
    e2e::CreateKey(HKEY_CURRENT_USER, e2e::kRunKey);
    std::string setup = e2e::PackageDir() + "\\setupqv.exe";
    {
        e2e::Program p = e2e::Start(setup);
        HWND w = e2e::WaitForWindow(kInstallTitle, p.Id());
        ASSERT_NE(w, nullptr);
        e2e::Click(e2e::FindChild(w, "Button", "Click Here to Install"));
        HWND wait = e2e::PleaseWaitWindow(p.Id(), e2e::kPleaseWaitLabel);
        ASSERT_NE(wait, nullptr) << "the please-wait window did not come up on top";

        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::Title(w) == "Installation Complete"; }, 20000));
        HWND close = e2e::FindChild(w, "Button", "Close");
        ASSERT_NE(close, nullptr);
        HWND bar = e2e::FindChild(w, "msctls_progress32");
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
        EXPECT_TRUE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey));
        std::string run;
        EXPECT_TRUE(e2e::ReadString(HKEY_CURRENT_USER, e2e::kRunKey, "Brevok Russian Keyboard Tray", &run));
        EXPECT_EQ(run, e2e::TrayRunData());
        // The next Tick hides the please-wait window.
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(wait); }, 3000));
        e2e::Click(close);
        EXPECT_EQ(p.Wait(15000), 0u);
    }
    e2e::Program again = e2e::Start(setup);
    EXPECT_NE(e2e::WaitForWindow("Now Uninstalling Brevok Russian Keyboard", again.Id()), nullptr);
}

TEST_F(Sequence, MissingRegistrarShowsTheSystemErrorAndStillCompletes) {
    std::string folder = e2e::TempFolder("no-registrar");
    std::string setup = folder + "\\setupqv.exe";
    ASSERT_TRUE(CopyFileA((e2e::PackageDir() + "\\setupqv.exe").c_str(), setup.c_str(), FALSE));
    e2e::Program p = e2e::Start(setup);
    HWND w = e2e::WaitForWindow(kInstallTitle, p.Id());
    ASSERT_NE(w, nullptr);
    e2e::Click(e2e::FindChild(w, "Button", "Click Here to Install"));
    HWND box = e2e::WaitForWindow("GetLastError", p.Id(), 10000);
    ASSERT_NE(box, nullptr) << "no GetLastError box";
    // Ticks go on while the box is open.
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Title(w) == "Installation Complete"; }, 20000));
    e2e::Click(e2e::FindChild(box, "Button", "OK"));
    HWND exit = e2e::FindChild(w, "Button", "Exit");
    ASSERT_NE(exit, nullptr);
    e2e::Click(exit);
    // Starting the control panel may hold the program up to WinExec's 30 s wait.
    EXPECT_EQ(p.Wait(45000), 0u);
    EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, e2e::kLayoutKey));
}

TEST_F(Sequence, RegistrarThatNeverEndsHoldsTheGaugeAt80AndExitStillWorks) {
    std::string folder = e2e::TempFolder("slow-registrar");
    std::string setup = folder + "\\setupqv.exe";
    ASSERT_TRUE(CopyFileA((e2e::PackageDir() + "\\setupqv.exe").c_str(), setup.c_str(), FALSE));
    std::string never = e2e::ProgramsDir() + "\\never_ends.exe";
    for (const char* name : {"\\load32.exe", "\\load64.exe"})
        ASSERT_TRUE(CopyFileA(never.c_str(), (folder + name).c_str(), FALSE));
    e2e::Program p = e2e::Start(setup);
    HWND w = e2e::WaitForWindow(kInstallTitle, p.Id());
    ASSERT_NE(w, nullptr);
    e2e::Click(e2e::FindChild(w, "Button", "Click Here to Install"));
    HWND bar = e2e::FindChild(w, "msctls_progress32");
    // Tick 81 comes after about 16 s.
    EXPECT_TRUE(e2e::WaitUntil([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) == 80; }, 30000));
    Sleep(1000);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 80);
    EXPECT_EQ(e2e::Title(w), kInstallTitle);
    e2e::Click(e2e::FindChild(w, "Button", "Exit"));
    EXPECT_EQ(p.Wait(15000), 0u);
    e2e::KillAll("never_ends.exe");
    e2e::KillAll("load32.exe");
    e2e::KillAll("load64.exe");
}

}  // namespace
