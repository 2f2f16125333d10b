// The real tray program under Wine, driven from outside: its hidden start,
// the notification callback, the window's controls and tabs, the menu and
// the ways it ends.
#include <gtest/gtest.h>

#include "driver.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/product.h"
#include "core/ui_tray.h"

namespace {

const char kTitle[] = "BRevok Cyrillic Keyboard Layout";
constexpr UINT kTrayCallback = 32868;
constexpr UINT kShutdownCommand = ui::kFirstMenuCommand + 1;  // the menu's second item

// A top-level window of the process with that title, shown or not.
HWND AnyWindowOf(DWORD pid, const std::string& title) {
    struct Search {
        DWORD pid;
        std::string title;
        HWND found;
    } s{pid, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || e2e::Title(w) != s->title) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A visible window of that class belonging to the process.
HWND VisibleWindowOfClass(DWORD pid, const char* cls) {
    struct Search {
        DWORD pid;
        const char* cls;
        HWND found;
    } s{pid, cls, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            char name[64] = {};
            GetClassNameA(w, name, sizeof name);
            if (owner != s->pid || !IsWindowVisible(w) || lstrcmpA(name, s->cls) != 0) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool Same(RECT a, RECT b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string Text(RECT r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class TrayProgram : public ::testing::Test {
protected:
    std::string exe = e2e::PackageDir() + "\\Qvtray.exe";
    std::unique_ptr<e2e::Program> started;
    e2e::Program& program() { return *started; }
    HWND window = nullptr;

    void SetUp() override {
        ASSERT_TRUE(e2e::FileExists(exe)) << exe;
        started = std::make_unique<e2e::Program>(e2e::Start(exe));
        ASSERT_TRUE(program().Started());
        ASSERT_TRUE(e2e::WaitUntil([&] { return (window = AnyWindowOf(program().Id(), kTitle)) != nullptr; }, 15000));
        // The window's timer hides it once, a second after start; let that pass.
        Sleep(1500);
    }
    void TearDown() override {
        if (!started) return;
        if (window && program().Running()) PostMessageA(window, WM_CLOSE, 0, 0);
        program().Wait(10000);
    }
    void Callback(LPARAM mouse) { PostMessageA(window, kTrayCallback, 1006, mouse); }
    bool WaitVisible(bool visible) {
        return e2e::WaitUntil([&] { return (IsWindowVisible(window) != FALSE) == visible; }, 10000);
    }
    HWND Tabs() { return e2e::FindChild(window, WC_TABCONTROLA); }
    HWND OpenText() { return e2e::FindChild(window, "Button", "Open Text in Word"); }
    bool OpenTextShown() {
        HWND ow = OpenText();
        return ow && (GetWindowLongA(ow, GWL_STYLE) & WS_VISIBLE);
    }
    // As the keyboard moves a focused tab control's selection.
    void NextTab() {
        PostMessageA(Tabs(), WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageA(Tabs(), WM_KEYUP, VK_RIGHT, 0xC0000001);
    }
    int CurrentTab() { return static_cast<int>(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0)); }
};

TEST_F(TrayProgram, StartsWithItsWindowMadeButHidden) {
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(e2e::FirstWindowOf(program().Id()), nullptr) << "no visible window of the program";
    EXPECT_TRUE(program().Running());
}

TEST_F(TrayProgram, DoubleClickShowsTheLaidOutWindowOnGeneral) {
    Callback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(true));
    SIZE size = e2e::OuterSize(window);
    EXPECT_EQ(size.cx, 980);
    EXPECT_EQ(size.cy, 418);
    HWND tabs = Tabs();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(CurrentTab(), 0);
    EXPECT_TRUE(GetWindowLongA(tabs, GWL_STYLE) & TCS_BOTTOM);
    EXPECT_TRUE(Same(e2e::ClientRectOf(tabs), RECT{0, 0, 970, 338})) << Text(e2e::ClientRectOf(tabs));

    std::vector<HWND> hide;
    for (HWND b : e2e::Children(window, "Button"))
        if (e2e::Title(b) == "Hide") hide.push_back(b);
    ASSERT_EQ(hide.size(), 2u);
    std::vector<RECT> places = {e2e::ClientRectOf(hide[0]), e2e::ClientRectOf(hide[1])};
    if (places[0].left > places[1].left) std::swap(places[0], places[1]);
    EXPECT_TRUE(Same(places[0], RECT{10, 343, 85, 368})) << Text(places[0]);
    EXPECT_TRUE(Same(places[1], RECT{875, 343, 950, 368})) << Text(places[1]);

    std::vector<RECT> links;
    for (HWND s : e2e::Children(window, "Static"))
        if (e2e::Title(s) == product::kWebHost) links.push_back(e2e::ClientRectOf(s));
    ASSERT_EQ(links.size(), 2u);
    if (links[0].left > links[1].left) std::swap(links[0], links[1]);
    // The links take their caption's size: one 10 pixels right of the left
    // button, the other ending 10 pixels left of the right button.
    EXPECT_EQ(links[0].left, 95);
    EXPECT_EQ(links[0].top, 343);
    EXPECT_EQ(links[1].right, 865);
    EXPECT_EQ(links[1].top, 343);
    EXPECT_EQ(links[0].right - links[0].left, links[1].right - links[1].left);
    EXPECT_GT(links[0].right - links[0].left, 0);

    EXPECT_NE(e2e::FindChild(window, "Button", "&Place on tray"), nullptr);
    EXPECT_FALSE(OpenTextShown());
    EXPECT_TRUE(program().Running());
}

TEST_F(TrayProgram, TabsShowAboutsButtonOnlyOnAbout) {
    Callback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(true));
    for (int tab = 1; tab <= 5; ++tab) {
        NextTab();
        ASSERT_TRUE(e2e::WaitUntil([&] { return CurrentTab() == tab; }, 5000)) << tab;
        bool shown = e2e::WaitUntil([&] { return OpenTextShown(); }, tab == 5 ? 5000 : 300);
        EXPECT_EQ(shown, tab == 5) << tab;
    }
    RECT ow = e2e::ClientRectOf(OpenText());
    EXPECT_TRUE(Same(ow, RECT{741, 184, 950, 209})) << Text(ow);

    // Hidden and opened again by double click: General, with the button still there.
    e2e::Click(e2e::FindChild(window, "Button", "Hide"));
    ASSERT_TRUE(WaitVisible(false));
    Callback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(true));
    EXPECT_EQ(CurrentTab(), 0);
    EXPECT_TRUE(OpenTextShown());
}

TEST_F(TrayProgram, HideButtonsHideWithoutEndingTheProgram) {
    for (int i = 0; i < 2; ++i) {
        Callback(WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitVisible(true));
        std::vector<HWND> hide;
        for (HWND b : e2e::Children(window, "Button"))
            if (e2e::Title(b) == "Hide") hide.push_back(b);
        ASSERT_EQ(hide.size(), 2u);
        e2e::Click(hide[i]);
        ASSERT_TRUE(WaitVisible(false));
        Sleep(300);
        EXPECT_TRUE(program().Running());
    }
}

TEST_F(TrayProgram, RadioButtonsAreOneGroupAndTheBoxToggles) {
    Callback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(true));
    HWND one = e2e::FindChild(window, "Button", "State &1");
    HWND two = e2e::FindChild(window, "Button", "State &2");
    HWND box = e2e::FindChild(window, "Button", "&Place on tray");
    ASSERT_TRUE(one && two && box);
    auto checked = [](HWND b) { return SendMessageA(b, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    EXPECT_TRUE(checked(one));
    EXPECT_FALSE(checked(two));
    EXPECT_FALSE(checked(box));
    SendMessageA(two, BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return checked(two) && !checked(one); }, 5000));
    SendMessageA(two, BM_CLICK, 0, 0);  // the checked one again
    Sleep(200);
    EXPECT_TRUE(checked(two));
    EXPECT_FALSE(checked(one));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return checked(box); }, 5000));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !checked(box); }, 5000));
    EXPECT_TRUE(program().Running());
}

TEST_F(TrayProgram, OtherMouseEventsOnTheIconDoNothing) {
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONUP})
        Callback(mouse);
    Sleep(500);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(VisibleWindowOfClass(program().Id(), "#32768"), nullptr);
    EXPECT_TRUE(program().Running());
}

TEST_F(TrayProgram, RightButtonOpensTheMenuAndShutdownEndsTheProgram) {
    Callback(WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (menu = VisibleWindowOfClass(program().Id(), "#32768")) != nullptr; },
                               10000));
    EXPECT_FALSE(IsWindowVisible(window));
    // Choose the second item with the keyboard, as a user would.
    for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_RETURN)}) {
        PostMessageA(window, WM_KEYDOWN, key, 0);
        Sleep(150);
    }
    EXPECT_EQ(program().Wait(10000), 0u);
}

TEST_F(TrayProgram, ShowLayoutFromTheMenuShowsTheWindow) {
    Callback(WM_RBUTTONUP);
    ASSERT_TRUE(e2e::WaitUntil([&] { return VisibleWindowOfClass(program().Id(), "#32768") != nullptr; }, 10000));
    for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_RETURN)}) {
        PostMessageA(window, WM_KEYDOWN, key, 0);
        Sleep(150);
    }
    EXPECT_TRUE(WaitVisible(true));
    EXPECT_TRUE(program().Running());
}

TEST_F(TrayProgram, ShutdownCommandPostedToTheWindowEndsTheProgram) {
    PostMessageA(window, WM_COMMAND, kShutdownCommand, 0);
    EXPECT_EQ(program().Wait(10000), 0u);
}

TEST_F(TrayProgram, CloseRequestFromOutsideEndsWithStatusZero) {
    Callback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitVisible(true));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program().Wait(10000), 0u);
}

}  // namespace
