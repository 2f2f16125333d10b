// The notification-area icon: the record per command, the two states, the
// "Place on tray" box, mouse events on the icon and owner-drawn items.
#include <cstring>

#include "tray_fixture.h"

namespace {

TEST_F(TrayWindow, StartPlacesTheIconWithStateOnesPictureAndTheTip) {
    Create();
    TFormMain& f = *FormMain;
    ASSERT_EQ(tray.sent.size(), 2u);
    struct Expect { std::uint32_t command; port::Handle icon; const char* tip; };
    const Expect expected[] = {{port::kNimAdd, 0, ""}, {port::kNimModify, IconOf(f.Image1), "Brevok Cyrillic Keyboard"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const port::NotifyIconRecord& r = tray.sent[i].record;
        EXPECT_EQ(tray.sent[i].command, expected[i].command);
        EXPECT_TRUE(tray.sent[i].accepted);
        EXPECT_EQ(r.hWnd, kWindow);
        EXPECT_EQ(r.uID, 1006u);
        EXPECT_EQ(r.uFlags, 7u);
        EXPECT_EQ(r.uCallbackMessage, 32868u);
        EXPECT_EQ(r.hIcon, expected[i].icon);
        EXPECT_STREQ(r.szTip, expected[i].tip);
    }
    EXPECT_NE(IconOf(f.Image1), 0u);
    EXPECT_NE(IconOf(f.Image1), IconOf(f.Image2));
    EXPECT_FALSE(f.CheckBox1.Checked());
    auto& shown = tray.icons.at({kWindow, 1006u});
    EXPECT_EQ(shown.icon, IconOf(f.Image1));
    EXPECT_EQ(shown.tip, "Brevok Cyrillic Keyboard");
}

TEST_F(TrayWindow, EveryCommandBuildsItsRecordAfresh) {
    Create();
    TFormMain& f = *FormMain;
    f.RadioButton2.SetChecked(true);
    const std::uint32_t commands[] = {port::kNimModify, port::kNimDelete, port::kNimAdd, port::kNimModify};
    const bool accepted[] = {true, true, true, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(f.SendTrayCommand(commands[i]), accepted[i]) << i;
        const port::NotifyIconRecord& r = tray.sent.back().record;
        bool modify = commands[i] == port::kNimModify;
        EXPECT_EQ(r.hIcon, modify ? IconOf(f.Image2) : 0u) << i;
        EXPECT_STREQ(r.szTip, modify ? "Brevok Cyrillic Keyboard" : "") << i;
        EXPECT_EQ(r.uFlags, 7u);
        EXPECT_EQ(r.uID, 1006u);
    }
}

TEST_F(TrayWindow, SendTrayCommandReportsTheShellsAnswer) {
    Create();
    TFormMain& f = *FormMain;
    EXPECT_FALSE(f.SendTrayCommand(port::kNimAdd));  // already there
    tray.Fail("NotifyIcon", "1");
    EXPECT_FALSE(f.SendTrayCommand(port::kNimModify));
    EXPECT_TRUE(f.SendTrayCommand(port::kNimDelete));
    EXPECT_FALSE(f.SendTrayCommand(port::kNimDelete));  // gone
}

TEST_F(TrayWindow, TipIsCutTo127CharactersAndAZero) {
    struct Case { std::size_t length; std::size_t kept; };
    for (Case c : {Case{0, 0}, Case{24, 24}, Case{127, 127}, Case{128, 127}, Case{400, 127}}) {
        char tip[port::kTipSize];
        std::memset(tip, 'x', sizeof tip);
        std::string text(c.length, 'a');
        CopyTrayTip(tip, text);
        EXPECT_EQ(std::strlen(tip), c.kept) << c.length;
        EXPECT_EQ(std::string(tip), text.substr(0, c.kept));
    }
}

TEST_F(TrayWindow, StateChangesSendModifyOnlyWhileTheBoxIsChecked) {
    Create();
    TFormMain& f = *FormMain;
    tray.sent.clear();
    f.RadioButton2.UserClick();  // box unchecked: nothing
    EXPECT_TRUE(tray.sent.empty());
    f.CheckBox1.UserClick();  // checking does nothing either
    EXPECT_TRUE(tray.sent.empty());
    EXPECT_EQ(tray.icons.at({kWindow, 1006u}).icon, IconOf(f.Image1));

    f.RadioButton1.UserClick();
    ASSERT_EQ(tray.sent.size(), 1u);
    EXPECT_EQ(tray.sent[0].command, port::kNimModify);
    EXPECT_EQ(tray.sent[0].record.hIcon, IconOf(f.Image1));
    f.RadioButton2.UserClick();
    ASSERT_EQ(tray.sent.size(), 2u);
    EXPECT_EQ(tray.sent[1].record.hIcon, IconOf(f.Image2));
    EXPECT_EQ(tray.icons.at({kWindow, 1006u}).icon, IconOf(f.Image2));

    f.RadioButton2.UserClick();  // the checked one again: no state change
    EXPECT_EQ(tray.sent.size(), 2u);
}

TEST_F(TrayWindow, ClearingTheBoxRemovesTheIconForTheRestOfTheRun) {
    Create();
    TFormMain& f = *FormMain;
    f.CheckBox1.UserClick();  // checked
    f.CheckBox1.UserClick();  // cleared: delete
    EXPECT_EQ(tray.sent.back().command, port::kNimDelete);
    EXPECT_TRUE(tray.icons.empty());

    f.CheckBox1.UserClick();  // checked again: no add
    f.RadioButton2.UserClick();
    f.RadioButton1.UserClick();
    EXPECT_EQ(tray.Count("NotifyIcon 0"), 1);  // only the one at start
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(tray.sent.back().command, port::kNimModify);
    EXPECT_FALSE(tray.sent.back().accepted);  // refused, and nothing reports it
    EXPECT_TRUE(os.dialogs.boxes.empty());
}

TEST_F(TrayWindow, DoubleClickOpensTheGeneralTab) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(3);
    f.Hide();
    ui::Message m = Callback(515);
    f.Dispatch(m);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Tabs.TabIndex(), 0);
    EXPECT_EQ(f.TheImage.Picture().image, f.Image3.Picture().image);
    EXPECT_EQ(m.passedOn, 1);
    EXPECT_TRUE(popups.empty());
}

TEST_F(TrayWindow, RightButtonReleaseOpensTheMenuAtTheCursor) {
    Create();
    TFormMain& f = *FormMain;
    tray.cursorX = 1200;
    tray.cursorY = 990;
    ui::Message m = Callback(517);
    f.Dispatch(m);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].menu, &f.PopupMenu1);
    EXPECT_EQ(popups[0].x, 1200);
    EXPECT_EQ(popups[0].y, 990);
    EXPECT_EQ(popups[0].component, &f);
    // The window comes to the foreground just before the menu opens.
    EXPECT_EQ(tray.foreground, (std::vector<port::Handle>{kWindow}));
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(m.passedOn, 1);
}

TEST_F(TrayWindow, RightButtonReleaseWithoutACursorOpensTheWindowInstead) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(4);
    tray.Fail("CursorPos");
    ui::Message m = Callback(517);
    f.Dispatch(m);
    EXPECT_TRUE(popups.empty());
    EXPECT_TRUE(tray.foreground.empty());
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Tabs.TabIndex(), 0);
    EXPECT_EQ(f.TheImage.Picture().image, f.Image3.Picture().image);
    EXPECT_EQ(m.passedOn, 1);
}

TEST_F(TrayWindow, OtherMouseEventsOnTheIconDoNothingButArePassedOn) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(1);
    auto before = f.TheImage.Picture().image;
    for (std::intptr_t mouse : {513, 514, 516, 512, 519, 520, 0}) {
        ui::Message m = Callback(mouse);
        f.Dispatch(m);
        EXPECT_EQ(m.passedOn, 1) << mouse;
        EXPECT_FALSE(f.Visible()) << mouse;
        EXPECT_EQ(f.Tabs.TabIndex(), 1) << mouse;
        EXPECT_EQ(f.TheImage.Picture().image, before) << mouse;
    }
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(tray.Count("CursorPos"), 0);
}

TEST_F(TrayWindow, EveryOtherMessageIsPassedOnUntouched) {
    Create();
    TFormMain& f = *FormMain;
    std::size_t sent = tray.sent.size();
    for (unsigned msg : {0x0010u /* WM_CLOSE */, 0x0111u /* WM_COMMAND */, 0x8065u, 0x0205u}) {
        ui::Message m;
        m.Msg = msg;
        m.LParam = 515;  // would open the window if it were the callback
        f.Dispatch(m);
        EXPECT_EQ(m.passedOn, 1) << msg;
    }
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(ui::App().Terminated());
    EXPECT_EQ(tray.sent.size(), sent);
}

TEST_F(TrayWindow, OwnerDrawnItemsGetTheIconOfTheirIdentifier) {
    Create();
    TFormMain& f = *FormMain;
    tray.iconResources[{0x400000, 0x0203}] = 0x9001;
    tray.drawItems[0x1000] = {0x00070203, 0xDC, 5, 9};  // high word is not part of the id
    tray.drawItems[0x2000] = {0x0204, 0xDC, 0, 0};       // no such icon
    ui::Message m;
    m.Msg = 43;
    m.LParam = 0x1000;
    f.Dispatch(m);
    EXPECT_EQ(m.passedOn, 1);
    ASSERT_EQ(tray.drawn.size(), 1u);
    EXPECT_EQ(tray.drawn[0].dc, 0xDCu);
    EXPECT_EQ(tray.drawn[0].x, 5);
    EXPECT_EQ(tray.drawn[0].y, 9);
    EXPECT_EQ(tray.drawn[0].icon, 0x9001u);

    EXPECT_FALSE(f.DrawItemIcon(0x2000));
    EXPECT_FALSE(f.DrawItemIcon(0));  // no record at all
    ui::Message none;
    none.Msg = 43;
    none.LParam = 0x2000;
    f.Dispatch(none);
    EXPECT_EQ(none.passedOn, 1);
    EXPECT_EQ(tray.drawn.size(), 1u);
    EXPECT_TRUE(f.DrawItemIcon(0x1000));
}

}  // namespace
