// The installer window of the real setup program, seen from outside.
#include <gtest/gtest.h>

#include "driver.h"

#include <commctrl.h>

namespace {

const char kLayoutKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0010419";

class SetupWindow : public ::testing::Test {
protected:
    std::string setup = e2e::PackageDir() + "\\setupqv.exe";
    void SetUp() override {
        ASSERT_TRUE(e2e::FileExists(setup)) << setup;
        e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kLayoutKey);
    }
    void TearDown() override { e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kLayoutKey); }

public:
    struct Expected {
        const char* title;
        const char* button;
        int width, height;
        RECT bar, b, eb;  // left, top, right, bottom in client coordinates
    };

protected:
    void Check(const std::string& arguments, const Expected& e) {
        e2e::Program p = e2e::Start(setup, arguments);
        ASSERT_TRUE(p.Started());
        HWND w = e2e::WaitForWindow(e.title, p.Id());
        ASSERT_NE(w, nullptr) << "no window titled " << e.title;
        SIZE size = e2e::OuterSize(w);
        EXPECT_EQ(size.cx, e.width);
        EXPECT_EQ(size.cy, e.height);
        HWND b = e2e::FindChild(w, "Button", e.button);
        HWND eb = e2e::FindChild(w, "Button", "Exit");
        HWND bar = e2e::FindChild(w, "msctls_progress32");
        ASSERT_NE(b, nullptr);
        ASSERT_NE(eb, nullptr);
        ASSERT_NE(bar, nullptr);
        auto same = [](RECT a, RECT b) {
            return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
        };
        RECT r = e2e::ClientRectOf(bar);
        EXPECT_TRUE(same(r, e.bar)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        r = e2e::ClientRectOf(b);
        EXPECT_TRUE(same(r, e.b)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        r = e2e::ClientRectOf(eb);
        EXPECT_TRUE(same(r, e.eb)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 2);

        e2e::Click(eb);
        EXPECT_EQ(p.Wait(10000), 0u);
    }
};

const SetupWindow::Expected kInstall = {
    "Installing now Brevok Russian Keyboard layout", "Click Here to Install", 760, 592,
    {20, 111, 710, 113}, {20, 123, 710, 143}, {20, 522, 710, 542}};

TEST_F(SetupWindow, InstallModeWithoutLayoutKey) { Check("", kInstall); }

TEST_F(SetupWindow, RemoveModeWhenTheLayoutKeyExists) {
    e2e::CreateKey(HKEY_LOCAL_MACHINE, kLayoutKey);
    Check("", {"Now Uninstalling Brevok Russian Keyboard", "Uninstall Previous Version", 837, 350,
               {20, 103, 762, 105}, {20, 115, 762, 135}, {20, 280, 762, 300}});
}

TEST_F(SetupWindow, MinusUWithoutTheKeyShowsRemoveTextsOverInstallPictures) {
    Expected e = kInstall;
    e.title = "Now Uninstalling Brevok Russian Keyboard";
    e.button = "Uninstall Previous Version";
    Check("-u", e);
}

}  // namespace
