// The six tabs, the "Open Text in Word" button and the links.
#include "core/product.h"
#include "tray_fixture.h"

namespace {

TEST_F(TrayWindow, EachTabShowsItsPictureAndOnlyAboutShowsTheButton) {
    Create();
    TFormMain& f = *FormMain;
    struct Case { int tab; const ui::Image* holder; int w, h; bool ow; bool autoSize; };
    const Case table[] = {
        {1, &f.Image4, 950, 308, false, true}, {2, &f.Image5, 950, 308, false, true},
        {3, &f.Image6, 950, 308, false, true}, {4, &f.Image7, 950, 308, false, true},
        {5, &f.Image8, 950, 308, true, false}, {0, &f.Image3, 950, 308, false, true},
        {5, &f.Image8, 950, 308, true, false}, {2, &f.Image5, 950, 308, false, true},
    };
    for (const Case& c : table) {
        f.Tabs.UserSelect(c.tab);
        EXPECT_EQ(f.TheImage.Picture().image, c.holder->Picture().image) << c.tab;
        EXPECT_EQ(f.TheImage.Width(), c.w) << c.tab;
        EXPECT_EQ(f.TheImage.Height(), c.h) << c.tab;
        EXPECT_EQ(f.OW.Visible(), c.ow) << c.tab;
        EXPECT_EQ(f.TheImage.AutoSize(), c.autoSize) << c.tab;
        EXPECT_FALSE(c.holder->Visible()) << c.tab;
    }
}

TEST_F(TrayWindow, AboutPlacesTheButtonBesideThePage) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(5);
    EXPECT_EQ(f.OW.Left(), 741);
    EXPECT_EQ(f.OW.Top(), 184);
    EXPECT_EQ(f.OW.Width(), 209);
    EXPECT_EQ(f.OW.Height(), 25);
    // The page is 340 rows high; the area keeps 308, so its lowest 32 rows are cut.
    EXPECT_EQ(f.TheImage.Width(), 950);
    EXPECT_EQ(f.TheImage.Height(), 308);
    EXPECT_EQ(f.TheImage.Picture().height, 340);
}

TEST_F(TrayWindow, AboutPlacementFollowsTheWindowAndPictureSizes) {
    // TheImage keeps the size it has when About is chosen; OW's top follows
    // the window's outer height with a division that truncates.
    Create();
    TFormMain& f = *FormMain;
    f.SetHeight(419);
    f.Tabs.UserSelect(5);
    EXPECT_EQ(f.OW.Top(), 184);  // (419 - 50) / 2 = 184.5
    f.SetHeight(41);
    f.Tabs.UserSelect(0);
    f.Tabs.UserSelect(5);
    EXPECT_EQ(f.OW.Top(), -4);  // -9 / 2 truncates toward zero
}

TEST_F(TrayWindow, GeneralAfterAboutSizesThePictureAreaAgain) {
    // About keeps the area of the tab before it (Base, 308 rows); back on
    // General the area takes the General picture's 300 rows again.
    ui::SetPictureLoader([](const std::string& name, int w, int h) {
        ui::Picture p;
        p.width = w;
        p.height = name == tray_pictures::kGeneral ? 300 : h;
        p.image = std::make_shared<std::string>(name);
        return p;
    });
    Create();
    TFormMain& f = *FormMain;
    EXPECT_EQ(f.TheImage.Height(), 300);
    f.Tabs.UserSelect(1);
    f.Tabs.UserSelect(5);
    EXPECT_EQ(f.TheImage.Height(), 308);
    f.Tabs.UserSelect(0);
    EXPECT_EQ(f.TheImage.Height(), 300);
    EXPECT_TRUE(f.TheImage.AutoSize());
}

TEST_F(TrayWindow, DoubleClickAfterAboutLeavesTheButtonOverGeneral) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(5);
    f.Hide();
    ui::Message m = Callback(515);
    f.Dispatch(m);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Tabs.TabIndex(), 0);
    EXPECT_EQ(f.TheImage.Picture().image, f.Image3.Picture().image);
    EXPECT_TRUE(f.OW.Visible());
    EXPECT_FALSE(f.TheImage.AutoSize());
    // Choosing a tab by hand puts things right again.
    f.Tabs.UserSelect(1);
    EXPECT_FALSE(f.OW.Visible());
    EXPECT_TRUE(f.TheImage.AutoSize());
}

TEST_F(TrayWindow, NoTabSelectedKeepsThePicture) {
    Create();
    TFormMain& f = *FormMain;
    f.Tabs.UserSelect(5);
    f.Tabs.SetTabIndex(-1);
    f.TabsChange();
    EXPECT_EQ(f.TheImage.Picture().image, f.Image8.Picture().image);
    EXPECT_FALSE(f.OW.Visible());
    EXPECT_TRUE(f.TheImage.AutoSize());
}

TEST_F(TrayWindow, BothLinksOpenTheWebAddress) {
    Create();
    TFormMain& f = *FormMain;
    f.l1.Click();
    f.l2.Click();
    EXPECT_EQ(os.shell.opened, (std::vector<std::string>{product::kWebAddress, product::kWebAddress}));
}

TEST_F(TrayWindow, OpenTextInWordOpensTheAboutDocumentFromTheInstallFolder) {
    Create();
    TFormMain& f = *FormMain;
    struct Case { const char* programFiles; const char* folder; };
    const Case table[] = {
        {"C:\\Program Files", "C:\\Program Files\\brevok"},
        {"D:\\Apps", "D:\\Apps\\brevok"},
        {nullptr, "\\brevok"},  // unset: relative to the current drive's root
    };
    for (const Case& c : table) {
        if (c.programFiles) {
            os.env.Set("PROGRAMFILES", c.programFiles);
        } else {
            os.env.Unset("PROGRAMFILES");
        }
        os.files.calls.clear();
        os.shell.opened.clear();
        f.Tabs.UserSelect(5);
        f.OW.Click();
        EXPECT_EQ(aboutFolder, c.folder);
        EXPECT_EQ(os.files.calls, (std::vector<std::string>{std::string("SetCurrentFolder ") + c.folder}));
        EXPECT_EQ(os.shell.opened, (std::vector<std::string>{"About.doc"}));
    }
}

TEST_F(TrayWindow, OpenTextInWordStillOpensWhenTheFolderCannotBeMadeCurrent) {
    Create();
    TFormMain& f = *FormMain;
    os.files.Fail("SetCurrentFolder");
    os.files.current = "c:\\somewhere";
    f.OW.Click();
    EXPECT_EQ(os.files.current, "c:\\somewhere");
    EXPECT_EQ(os.shell.opened, (std::vector<std::string>{"About.doc"}));
    EXPECT_TRUE(os.dialogs.boxes.empty());
}

}  // namespace
