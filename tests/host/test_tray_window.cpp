// The tray program's window: stored form, layout step, start-up, hiding,
// the timer and the ways the program ends.
#include "core/product.h"
#include "tray_fixture.h"

namespace {

struct Box { int left, top, width, height; };
Box Of(const ui::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
void PrintTo(const Box& b, std::ostream* os) { *os << b.left << "," << b.top << " " << b.width << "x" << b.height; }

TEST_F(TrayWindow, LayoutStepWithTheStoredSizes) {
    Create();
    TFormMain& f = *FormMain;
    EXPECT_EQ(Of(f.Tabs), (Box{0, 0, 970, 338}));
    EXPECT_EQ(f.Width(), 980);
    EXPECT_EQ(f.Height(), 418);
    EXPECT_EQ(Of(f.spSkinButton1), (Box{10, 343, 75, 25}));
    EXPECT_EQ(Of(f.spSkinButton2), (Box{875, 343, 75, 25}));
    EXPECT_EQ(Of(f.l1), (Box{95, 343, 78, 14}));
    EXPECT_EQ(Of(f.l2), (Box{787, 343, 78, 14}));
    EXPECT_EQ(Of(f.TheImage), (Box{0, 0, 950, 308}));
    EXPECT_EQ(f.TheImage.Picture().image, f.Image3.Picture().image);
    // Not moved: they keep their stored places.
    EXPECT_EQ(Of(f.CheckBox1), (Box{10, 20, 129, 21}));
    EXPECT_EQ(Of(f.RadioButton1), (Box{10, 89, 80, 21}));
    EXPECT_EQ(Of(f.RadioButton2), (Box{10, 158, 80, 20}));
    EXPECT_EQ(Of(f.Image1), (Box{101, 79, 41, 50}));
    EXPECT_EQ(Of(f.Image2), (Box{101, 148, 41, 50}));
    EXPECT_EQ(Of(f.OW), (Box{864, 56, 137, 25}));
}

TEST_F(TrayWindow, LayoutFollowsTheGeneralPicturesSize) {
    // A General picture of another size moves everything that depends on it.
    ui::SetPictureLoader([](const std::string& name, int w, int h) {
        ui::Picture p;
        p.width = name == tray_pictures::kGeneral ? 800 : w;
        p.height = name == tray_pictures::kGeneral ? 200 : h;
        return p;
    });
    Create();
    TFormMain& f = *FormMain;
    EXPECT_EQ(Of(f.Tabs), (Box{0, 0, 820, 230}));
    EXPECT_EQ(f.Width(), 830);
    EXPECT_EQ(Of(f.spSkinButton2), (Box{725, 235, 75, 25}));
    EXPECT_EQ(Of(f.l2), (Box{637, 235, 78, 14}));
    EXPECT_EQ(f.Height(), 310);
}

TEST_F(TrayWindow, StoredFormSettings) {
    Create();
    TFormMain& f = *FormMain;
    EXPECT_EQ(f.Caption(), "BRevok Cyrillic Keyboard Layout");
    EXPECT_EQ(f.Border(), ui::BorderStyle::Dialog);
    EXPECT_TRUE(f.StartMinimized());
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(ui::FormPopupMenu(f), &f.PopupMenu1);
    EXPECT_EQ(f.Tabs.Tabs(),
              (std::vector<std::string>{"General", "Base", "Shift", "Alt Ctrl", "Shift Alt Ctrl", "About"}));
    EXPECT_EQ(f.Tabs.TabIndex(), 0);
    EXPECT_TRUE(f.Tabs.TabsAtBottom());
    EXPECT_EQ(f.CheckBox1.Caption(), "&Place on tray");
    EXPECT_FALSE(f.CheckBox1.Checked());
    EXPECT_EQ(f.RadioButton1.Caption(), "State &1");
    EXPECT_TRUE(f.RadioButton1.Checked());
    EXPECT_EQ(f.RadioButton2.Caption(), "State &2");
    EXPECT_FALSE(f.RadioButton2.Checked());
    EXPECT_EQ(f.spSkinButton1.Caption(), "Hide");
    EXPECT_EQ(f.spSkinButton2.Caption(), "Hide");
    EXPECT_EQ(f.OW.Caption(), "Open Text in Word");
    EXPECT_FALSE(f.OW.Visible());
    EXPECT_EQ(f.l1.Caption(), product::kWebHost);
    EXPECT_EQ(f.l2.Caption(), product::kWebHost);
    ASSERT_EQ(f.PopupMenu1.Items().size(), 2u);
    EXPECT_EQ(f.PopupMenu1.Items()[0], &f.Properties1);
    EXPECT_EQ(f.Properties1.Caption(), "&Show Layout");
    EXPECT_EQ(f.Shutdown1.Caption(), "&Shutdown");
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 1000u);
    EXPECT_EQ(f.Tabs.PageControls(), (std::vector<ui::Control*>{&f.TheImage}));
    // Picture holders are never shown; TheImage is.
    for (const ui::Image* i : {&f.Image3, &f.Image4, &f.Image5, &f.Image6, &f.Image7, &f.Image8})
        EXPECT_FALSE(i->Visible());
    EXPECT_TRUE(f.TheImage.Visible());
    EXPECT_TRUE(f.TheImage.AutoSize());
}

TEST_F(TrayWindow, PicturesAreLoadedByNameAtTheirStoredSizes) {
    Create();
    TFormMain& f = *FormMain;
    struct Expect { const ui::Image* image; const char* name; int w, h; };
    const Expect table[] = {
        {&f.Image1, "tray.state1", 16, 16},      {&f.Image2, "tray.state2", 16, 16},
        {&f.Image3, "tray.general", 950, 308},   {&f.Image4, "tray.base", 950, 308},
        {&f.Image5, "tray.shift", 950, 308},     {&f.Image6, "tray.altctrl", 950, 308},
        {&f.Image7, "tray.shiftaltctrl", 950, 308}, {&f.Image8, "tray.about", 731, 340},
    };
    for (const Expect& e : table) {
        auto* name = static_cast<const std::string*>(e.image->Picture().image.get());
        ASSERT_NE(name, nullptr) << e.name;
        EXPECT_EQ(*name, e.name);
        EXPECT_EQ(e.image->Picture().width, e.w) << e.name;
        EXPECT_EQ(e.image->Picture().height, e.h) << e.name;
    }
    // Holders without AutoSize keep their stored areas.
    EXPECT_EQ(Of(f.Image5), (Box{112, 224, 105, 105}));
    EXPECT_EQ(Of(f.Image8), (Box{32, 54, 731, 340}));
}

TEST_F(TrayWindow, StartUpRunsHiddenAndEndsWithStatusZeroRemovingTheIcon) {
    // Without a platform the loop returns at once, as after a close.
    EXPECT_EQ(TrayMain(0x400000, nullptr), 0);
    EXPECT_EQ(moduleInstance, 0x400000u);
    EXPECT_EQ(FormMain, nullptr);
    ASSERT_EQ(tray.sent.size(), 3u);
    EXPECT_EQ(tray.sent[0].command, port::kNimAdd);
    EXPECT_EQ(tray.sent[1].command, port::kNimModify);
    EXPECT_EQ(tray.sent[2].command, port::kNimDelete);
    EXPECT_TRUE(tray.sent[2].accepted);
    EXPECT_TRUE(tray.icons.empty());
}

TEST_F(TrayWindow, TimerHidesOnceAndStops) {
    Create();
    TFormMain& f = *FormMain;
    f.Show();
    f.Timer1.Fire();
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.Timer1.Enabled());
    f.Show();
    f.Timer1.Fire();  // disabled: never fires again
    EXPECT_TRUE(f.Visible());
}

TEST_F(TrayWindow, HideButtonsHideAndNeverEndTheProgram) {
    Create();
    TFormMain& f = *FormMain;
    for (ui::Button* b : {&f.spSkinButton1, &f.spSkinButton2}) {
        f.Show();
        b->Click();
        EXPECT_FALSE(f.Visible());
        EXPECT_FALSE(ui::App().Terminated());
    }
    EXPECT_EQ(tray.Count("NotifyIcon 2"), 0);
    EXPECT_EQ(tray.icons.size(), 1u);
}

TEST_F(TrayWindow, ShutdownEndsTheProgramAndDestroyRemovesTheIcon) {
    Create();
    TFormMain& f = *FormMain;
    f.Show();
    f.Shutdown1.Click();
    EXPECT_TRUE(ui::App().Terminated());
    EXPECT_FALSE(f.Visible());  // FormClose hides
    EXPECT_EQ(tray.Count("NotifyIcon 2"), 0);  // not before the window is destroyed
    ui::App().DestroyForms();
    ASSERT_FALSE(tray.sent.empty());
    EXPECT_EQ(tray.sent.back().command, port::kNimDelete);
    EXPECT_EQ(tray.sent.back().record.hWnd, kWindow);
    EXPECT_TRUE(tray.icons.empty());
}

TEST_F(TrayWindow, CloseFromOutsideEndsTheProgramToo) {
    Create();
    FormMain->Close();
    EXPECT_TRUE(ui::App().Terminated());
    EXPECT_FALSE(FormMain->Visible());
}

TEST_F(TrayWindow, ShowLayoutShowsTheLastTabWithItsPicture) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(2);
    f.Hide();
    f.Properties1.Click();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Tabs.TabIndex(), 2);
    EXPECT_EQ(f.TheImage.Picture().image, f.Image5.Picture().image);
    EXPECT_FALSE(ui::App().Terminated());
}

}  // namespace
