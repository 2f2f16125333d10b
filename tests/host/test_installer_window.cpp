// The installer window: mode choice, layout, captions and its handlers.
#include "core/product.h"
#include "setup_fixture.h"

namespace {

class InstallerWindow : public SetupWindows {};

struct Geometry { int left, top, width; };
Geometry Of(const ui::Control& c) { return {c.Left(), c.Top(), c.Width()}; }
bool operator==(const Geometry& a, const Geometry& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width;
}
void PrintTo(const Geometry& g, std::ostream* os) { *os << g.left << "," << g.top << " w" << g.width; }

TEST_F(InstallerWindow, InstallModeLayoutAndTexts) {
    CreateWindows();
    EXPECT_FALSE(setupState.removeMode);
    EXPECT_EQ(Form1->Caption(), setup_text::kInstallCaption);
    EXPECT_EQ(Form1->B.Caption(), setup_text::kInstallButton);
    EXPECT_EQ(Form1->eb.Caption(), "Exit");
    EXPECT_EQ(Of(Form1->Bar), (Geometry{20, 111, 690}));
    EXPECT_EQ(Of(Form1->B), (Geometry{20, 123, 690}));
    EXPECT_EQ(Form1->foot.Top(), 153);
    EXPECT_EQ(Of(Form1->eb), (Geometry{20, 522, 690}));
    EXPECT_EQ(Form1->Width(), 760);
    EXPECT_EQ(Form1->Height(), 592);
    EXPECT_EQ(Form1->Bar.Value(), 2);
    EXPECT_EQ(Form1->Bar.Height(), 2);
}

TEST_F(InstallerWindow, LayoutKeyChoosesRemoveModeWithRemovePictures) {
    InstallLayoutKey();
    CreateWindows();
    EXPECT_TRUE(setupState.removeMode);
    EXPECT_EQ(Form1->Caption(), setup_text::kRemoveCaption);
    EXPECT_EQ(Form1->B.Caption(), setup_text::kRemoveButton);
    EXPECT_EQ(Form1->head.Width(), 782);
    EXPECT_EQ(Form1->foot.Height(), 125);
    EXPECT_EQ(Of(Form1->Bar), (Geometry{20, 103, 742}));
    EXPECT_EQ(Of(Form1->B), (Geometry{20, 115, 742}));
    EXPECT_EQ(Form1->foot.Top(), 145);
    EXPECT_EQ(Of(Form1->eb), (Geometry{20, 280, 742}));
    EXPECT_EQ(Form1->Width(), 837);
    EXPECT_EQ(Form1->Height(), 350);
    // The remove pictures' holders are never shown themselves.
    EXPECT_FALSE(Form1->head_rem.Visible());
    EXPECT_FALSE(Form1->foot_rem.Visible());
}

TEST_F(InstallerWindow, MinusUWithoutKeyKeepsInstallPicturesButShowsRemoveTexts) {
    setupState.removeMode = true;
    CreateWindows();
    EXPECT_EQ(Form1->Caption(), setup_text::kRemoveCaption);
    EXPECT_EQ(Form1->B.Caption(), setup_text::kRemoveButton);
    EXPECT_EQ(Form1->Width(), 760);
    EXPECT_EQ(Form1->Height(), 592);
}

TEST_F(InstallerWindow, KeyThatCannotBeOpenedForFullAccessCountsAsAbsent) {
    os.registry.AddKey(port::RegRoot::LocalMachine, setup_text::kLayoutKey).readOnly = true;
    CreateWindows();
    EXPECT_FALSE(setupState.removeMode);
    EXPECT_EQ(Form1->B.Caption(), setup_text::kInstallButton);
    EXPECT_EQ(os.registry.openHandles, 0);
}

TEST_F(InstallerWindow, KeyIsOpenedNotCreated) {
    CreateWindows();
    EXPECT_EQ(os.registry.Count("CreateKey"), 0);
    EXPECT_FALSE(os.registry.HasKey(port::RegRoot::LocalMachine, setup_text::kLayoutKey));
}

TEST_F(InstallerWindow, ClickShowsPleaseWaitWindowAndStartsTimer) {
    CreateWindows();
    setupState.windowsDescription = "Microsoft Windows 7 (build 7601), 64-bit";
    Form1->B.Click();
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(Form2->Label1.Caption(), "INSTALLING. PLEASE WAIT");
    EXPECT_TRUE(Form1->Timer1.Enabled());
    EXPECT_FALSE(ui::App().Terminated());
}

TEST_F(InstallerWindow, ClickInRemoveModeSetsTheRemovingLabel) {
    InstallLayoutKey();
    CreateWindows();
    Form1->B.Click();
    EXPECT_EQ(Form2->Label1.Caption(), setup_text::kRemovingLabel);
    EXPECT_EQ(Form2->Caption(), "");
    EXPECT_TRUE(Form2->Visible());
}

TEST_F(InstallerWindow, ClickAfterCompletionRepeatsShowsAndEnds) {
    CreateWindows();
    setupState.finished = true;
    Form2->Hide();
    Form1->B.Click();
    EXPECT_TRUE(Form2->Visible());
    EXPECT_TRUE(ui::App().Terminated());
}

TEST_F(InstallerWindow, ExitEndsTheProgramInEveryState) {
    for (bool finished : {false, true}) {
        CreateWindows();
        setupState.finished = finished;
        Form1->eb.Click();
        EXPECT_TRUE(ui::App().Terminated());
        TearDown();
        SetUp();
    }
}

TEST_F(InstallerWindow, PicturesOpenTheProductAddress) {
    CreateWindows();
    Form1->head.Click();
    Form1->foot.Click();
    ASSERT_EQ(os.shell.opened.size(), 2u);
    EXPECT_EQ(os.shell.opened[0], product::kWebAddress);
    EXPECT_EQ(os.shell.opened[1], product::kWebAddress);
    EXPECT_EQ(Form1->head.Cursor(), ui::Cursor::HandPoint);
}

TEST_F(InstallerWindow, FailedRegistryWriteEndsTheClickBeforeThePleaseWaitWindow) {
    CreateWindows();
    os.registry.Fail("SetString", "Brevok Russian Keyboard");
    Form1->B.Click();
    ASSERT_EQ(os.dialogs.boxes.size(), 1u);
    EXPECT_EQ(os.dialogs.boxes[0].text, "Failed to set data for 'Brevok Russian Keyboard'");
    EXPECT_FALSE(Form2->Visible());
    EXPECT_FALSE(Form1->Timer1.Enabled());
    // Ready for another click.
    os.registry.Heal();
    Form1->B.Click();
    EXPECT_TRUE(Form2->Visible());
}

}  // namespace
