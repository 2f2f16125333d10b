// The timed progress sequence, driven Tick by Tick with no real time.
#include "setup_fixture.h"

namespace {

TEST(RegistrarCommandLine, ByModeWordFlagAndWordSize) {
    struct Case { bool remove, wordAssumed, is64; const char* command; };
    const Case cases[] = {
        {false, false, false, "load32.exe"},   {false, false, true, "load64.exe"},
        {false, true, false, "load64.exe c"},  {false, true, true, "load64.exe c"},
        {true, false, false, "load32.exe u"},  {true, true, false, "load32.exe u"},
        {true, false, true, "load64.exe u"},   {true, true, true, "load64.exe u"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegistrarCommandLine(c.remove, c.wordAssumed, c.is64), c.command)
            << c.remove << c.wordAssumed << c.is64;
}

class Sequence : public SetupWindows {
protected:
    void SetUp() override {
        SetupWindows::SetUp();
        os.env.Set("PROGRAMFILES", "C:\\Program Files");
        os.registry.AddKey(port::RegRoot::CurrentUser, kRunKey);
        CreateWindows();
        setupState.trayPath = "C:\\Program Files\\Brevok\\qvtray.exe";
        Form1->Timer1.SetEnabled(true);
    }
    // Runs Ticks while the timer is enabled; returns how many ran.
    int Tick(int n = 1) {
        int ran = 0;
        for (; ran < n && Form1->Timer1.Enabled(); ++ran) Form1->Timer1.Fire();
        return ran;
    }
    // Makes the next registrar end with this code right away.
    void RegistrarEndsWith(std::uint32_t code) { os.processes.nextExitCode = code; }
    void EndRegistrar(std::uint32_t code) {
        os.processes.exitCodes[setupState.registrarProcess] = code;
    }
    std::optional<std::string> TrayRunValue() {
        return os.registry.Value(port::RegRoot::CurrentUser, kRunKey, "Brevok Russian Keyboard Tray");
    }
    static constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
};

TEST_F(Sequence, GaugeFollowsTheTicksThenHoldsAt80WhileTheRegistrarRuns) {
    std::vector<int> gauge;
    for (int i = 1; i <= 90; ++i) {
        Tick();
        gauge.push_back(Form1->Bar.Value());
    }
    EXPECT_EQ(gauge[0], 0);   // drops from the stored 2
    EXPECT_EQ(gauge[1], 1);
    EXPECT_EQ(gauge[8], 4);
    EXPECT_EQ(gauge[9], 5);
    EXPECT_EQ(gauge[39], 20);
    EXPECT_EQ(gauge[79], 40);  // Tick 80 still shows Tick / 2
    for (int t = 81; t <= 90; ++t) EXPECT_EQ(gauge[t - 1], 80) << "Tick " << t;
    EXPECT_EQ(Form1->Cursor(), ui::Cursor::HourGlass);
    EXPECT_FALSE(setupState.finished);
}

TEST_F(Sequence, RegistrarStartsOnTick10WithTheModesCommand) {
    setupState.is64BitWindows = true;
    Tick(9);
    EXPECT_TRUE(os.processes.created.empty());
    Tick();
    ASSERT_EQ(os.processes.created.size(), 1u);
    EXPECT_EQ(os.processes.created[0], "load64.exe");
    EXPECT_EQ(setupState.registrarExitCode, port::kStillActive);
    EXPECT_NE(setupState.registrarProcess, 0u);
    EXPECT_EQ(os.modules.redirectionDisabled, 1);
    Tick(60);
    EXPECT_EQ(os.processes.created.size(), 1u);
}

TEST_F(Sequence, RegistrarAlreadyEndedCompletesOnTick42FromTwentyToHundred) {
    RegistrarEndsWith(0);
    Tick(41);
    EXPECT_EQ(Form1->Bar.Value(), 20);
    EXPECT_FALSE(setupState.finished);  // Tick 41 fetched the code; it is judged next Tick
    Tick();
    EXPECT_TRUE(setupState.finished);
    EXPECT_EQ(setupState.tickCount, 42);
    EXPECT_EQ(Form1->Bar.Value(), 100);
    EXPECT_EQ(Form1->B.Caption(), "Close");
    EXPECT_EQ(Form1->Caption(), "Installation Complete");
    EXPECT_EQ(Form2->Label1.Caption(), "COMPLETE");
    EXPECT_EQ(Form1->Cursor(), ui::Cursor::Default);
    EXPECT_EQ(setupState.closeWaitTick, 47);
}

TEST_F(Sequence, FailedStartCompletesOnTick41AfterTheBox) {
    os.processes.Fail("CreateProcess");
    os.processes.messages[2] = "The system cannot find the file specified.\r\n";
    Tick(40);
    ASSERT_EQ(os.dialogs.boxes.size(), 1u);
    EXPECT_EQ(os.dialogs.boxes[0].title, "GetLastError");
    EXPECT_EQ(os.dialogs.boxes[0].text, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(os.dialogs.boxes[0].style, 0x40u);
    EXPECT_EQ(setupState.registrarExitCode, 0u);
    EXPECT_FALSE(setupState.finished);
    Tick();
    EXPECT_TRUE(setupState.finished);
    EXPECT_EQ(setupState.tickCount, 41);
}

TEST_F(Sequence, RegistrarThatEndsLateCompletesOnTheTickAfterItIsSeen) {
    Tick(100);
    EXPECT_FALSE(setupState.finished);
    EndRegistrar(3);  // any code but 259 counts as ended
    Tick();
    EXPECT_FALSE(setupState.finished);
    Tick();
    EXPECT_TRUE(setupState.finished);
    EXPECT_EQ(setupState.registrarExitCode, 3u);
    EXPECT_EQ(Form1->Bar.Value(), 100);
}

TEST_F(Sequence, InstallModeStartsTheTrayQuotedOnTick31AndWritesItsRunValue) {
    RegistrarEndsWith(0);
    Tick(30);
    EXPECT_TRUE(os.processes.winExecs.empty());
    Tick();
    ASSERT_EQ(os.processes.winExecs.size(), 1u);
    EXPECT_EQ(os.processes.winExecs[0], "\"C:\\Program Files\\Brevok\\qvtray.exe\"");
    EXPECT_FALSE(TrayRunValue());
    Tick(11);
    ASSERT_TRUE(setupState.finished);
    EXPECT_EQ(TrayRunValue(), "\"C:\\Program Files\\brevok\\qvtray.exe\"");
    EXPECT_EQ(os.registry.openHandles, 0);
}

TEST_F(Sequence, RemoveModeStartsNoTrayAndWritesNoRunValueButCompletesAlike) {
    setupState.removeMode = true;
    RegistrarEndsWith(0);
    Tick(42);
    ASSERT_TRUE(setupState.finished);
    EXPECT_EQ(os.processes.created[0], "load32.exe u");
    EXPECT_FALSE(TrayRunValue());
    EXPECT_EQ(Form1->B.Caption(), "Close");
    EXPECT_EQ(Form1->Caption(), "Installation Complete");
    EXPECT_EQ(Form2->Label1.Caption(), "COMPLETE");
    Tick();
    ASSERT_EQ(os.processes.winExecs.size(), 1u);  // only the control panel
    EXPECT_NE(os.processes.winExecs[0].find("control.exe"), std::string::npos);
}

TEST_F(Sequence, TheTickAfterCompletionIsTheLast) {
    RegistrarEndsWith(0);
    Form2->Show();
    Tick(42);
    ASSERT_TRUE(setupState.finished);
    EXPECT_TRUE(Form2->Visible());
    os.processes.winExecs.clear();
    EXPECT_EQ(Tick(10), 1);  // the timer stops itself
    EXPECT_FALSE(Form1->Timer1.Enabled());
    EXPECT_FALSE(Form2->Visible());
    EXPECT_EQ(setupState.tickCount, 42);
    ASSERT_EQ(os.processes.winExecs.size(), 1u);
    EXPECT_EQ(os.processes.winExecs[0], "\"C:\\windows\\system32\\control.exe\" input.dll");
}

TEST_F(Sequence, ControlPanelComesFromTheRunningSystemsFolder) {
    os.files.systemFolder = "D:\\WINNT\\system32";
    RegistrarEndsWith(0);
    Tick(43);
    ASSERT_EQ(os.processes.winExecs.size(), 2u);
    EXPECT_EQ(os.processes.winExecs[1], "\"D:\\WINNT\\system32\\control.exe\" input.dll");
}

TEST_F(Sequence, MissingRunKeyIsNotCreated) {
    os.registry.keys.erase(fake::Registry::Name(port::RegRoot::CurrentUser, kRunKey));
    RegistrarEndsWith(0);
    Tick(42);
    EXPECT_TRUE(setupState.finished);
    EXPECT_FALSE(os.registry.HasKey(port::RegRoot::CurrentUser, kRunKey));
    EXPECT_TRUE(os.dialogs.boxes.empty());
}

TEST_F(Sequence, FailedRunValueWriteIsShownAndTheNextTickStillFinishes) {
    os.registry.Fail("SetString", "Brevok Russian Keyboard Tray");
    RegistrarEndsWith(0);
    Tick(42);
    ASSERT_EQ(os.dialogs.boxes.size(), 1u);
    EXPECT_EQ(os.dialogs.boxes[0].text, "Failed to set data for 'Brevok Russian Keyboard Tray'");
    EXPECT_EQ(os.registry.openHandles, 0);
    Tick();
    EXPECT_FALSE(Form1->Timer1.Enabled());
    EXPECT_EQ(os.processes.Count("WinExec \"C:\\windows\\system32\\control.exe\""), 1);
}

TEST_F(Sequence, FailureBoxOnTick10LetsTheSequenceRunOnAndCompletesAgainAfterwards) {
    // While the box is open the timer keeps firing: the sequence completes and
    // opens the control panel; the resumed Tick 10 then completes once more.
    os.processes.Fail("CreateProcess");
    os.dialogs.whileOpen = [this] {
        for (int i = 0; i < 60 && Form1->Timer1.Enabled(); ++i) Form1->Timer1.Fire();
    };
    Tick(10);
    EXPECT_TRUE(setupState.finished);
    EXPECT_FALSE(Form1->Timer1.Enabled());
    EXPECT_EQ(os.processes.Count("WinExec \"C:\\windows\\system32\\control.exe\""), 1);
    EXPECT_EQ(os.registry.Count("SetString"), 2);  // the logon entry, written twice
    EXPECT_EQ(setupState.closeWaitTick, setupState.tickCount + 5);
}

TEST_F(Sequence, ClickWhileRunningKeepsTheCount) {
    RegistrarEndsWith(0);
    Tick(20);
    Form1->B.Click();
    EXPECT_EQ(setupState.tickCount, 20);
    EXPECT_TRUE(Form1->Timer1.Enabled());
}

TEST(PleaseWaitWindow, ShowHandlerTruncates) {
    struct Case { int labelWidth, labelHeight, width, left, height, top; };
    const Case cases[] = {
        {320, 31, 480, 80, 93, 11},
        {321, 31, 481, 80, 93, 11},
        {326, 31, 489, 81, 93, 11},
        {327, 30, 490, 81, 90, 10},
    };
    ui::App().DestroyForms();
    for (const Case& c : cases) {
        TForm2 form;
        form.Label1.SetWidth(c.labelWidth);
        form.Label1.SetHeight(c.labelHeight);
        form.FormShow();
        EXPECT_EQ(form.Width(), c.width) << c.labelWidth;
        EXPECT_EQ(form.Label1.Left(), c.left) << c.labelWidth;
        EXPECT_EQ(form.Height(), c.height) << c.labelWidth;
        EXPECT_EQ(form.Label1.Top(), c.top) << c.labelWidth;
    }
}

TEST(PleaseWaitWindow, StaysOnTopAndSizesItselfWhenShownWithALongerCaption) {
    ui::App().DestroyForms();
    TForm2 form;
    EXPECT_TRUE(form.StayOnTop());
    EXPECT_EQ(form.Label1.Font().name, "Arial Unicode MS");
    EXPECT_EQ(form.Label1.Font().height, -23);
    EXPECT_TRUE(form.Label1.Font().bold);
    form.Label1.measure = [](const std::string& text, int* w, int* h) {
        *w = static_cast<int>(text.size()) * 14;
        *h = 31;
    };
    form.Label1.SetCaption("Removing previouse version of Brevok keyboard");
    form.Show();
    EXPECT_EQ(form.Width(), 45 * 14 * 3 / 2);
    // Not sized again when the caption changes while shown.
    form.Label1.SetCaption("COMPLETE");
    EXPECT_EQ(form.Width(), 45 * 14 * 3 / 2);
}

}  // namespace
