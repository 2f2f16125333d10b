// Start-up: the argument scan, the platform facts and the windows it creates.
#include "setup_fixture.h"

namespace {

TEST(ArgumentsOf, SkipsTheProgramNameQuotedOrNot) {
    struct Case { const char* commandLine; const char* arguments; };
    const Case cases[] = {
        {"setupqv.exe -u", "-u"},
        {"  \t setupqv.exe \t  -u x", "-u x"},
        {"\"C:\\Program Files\\Brevok\\setupqv.exe\" u", "u"},
        {"\"C:\\a-u dir\\setupqv.exe\"", ""},
        {"C:\\x-u\\setupqv.exe", ""},
        {"setupqv.exe", ""},
        {"", ""},
        {"\"unterminated -u", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << c.commandLine;
}

class StartUp : public SetupWindows {};

TEST_F(StartUp, MinusUAnywhereInTheArgumentsSelectsRemoveMode) {
    struct Case { const char* arguments; bool removeMode; };
    const Case cases[] = {
        {"-u", true},         {"/q -u", true},  {"x-unicode", true}, {"a b-u", true},
        {"-U", false},        {"/u", false},    {"u", false},        {"", false},
        {"- u", false},
    };
    for (const Case& c : cases) {
        setupState = SetupState{};
        SetupMain(c.arguments, nullptr);
        EXPECT_EQ(setupState.removeMode, c.removeMode) << c.arguments;
    }
}

TEST_F(StartUp, WithoutLayoutKeyOrMinusUTheWindowStartsInInstallMode) {
    // The windows are destroyed when the loop ends; watch them from the dialogs.
    SetupMain("/u", nullptr);
    EXPECT_FALSE(setupState.removeMode);
    EXPECT_TRUE(os.dialogs.boxes.empty());
}

TEST_F(StartUp, SysWow64FolderMarksA64BitSystem) {
    os.env.Set("SYSTEMDRIVE", "D:");
    os.files.AddFolder("D:\\windows\\sysWOW64");
    SetupMain("", nullptr);
    EXPECT_EQ(setupState.systemDrive, "D:");
    EXPECT_TRUE(setupState.is64BitWindows);

    setupState = SetupState{};
    os.env.Set("SYSTEMDRIVE", "C:");
    SetupMain("", nullptr);
    EXPECT_FALSE(setupState.is64BitWindows);
}

TEST_F(StartUp, SystemDriveIsTakenAsItIsWhateverItsLength) {
    // Unset gives an empty drive; a long value is kept whole, not cut or overrun.
    os.env.Unset("SYSTEMDRIVE");
    SetupMain("", nullptr);
    EXPECT_EQ(setupState.systemDrive, "");
    EXPECT_EQ(os.files.Count("FolderExists \\windows\\sysWOW64"), 1);

    setupState = SetupState{};
    const std::string longDrive = "\\\\server\\share\\very\\long\\path";
    os.env.Set("SYSTEMDRIVE", longDrive);
    SetupMain("", nullptr);
    EXPECT_EQ(setupState.systemDrive, longDrive);
}

TEST_F(StartUp, StateStartsWithItsInitialValues) {
    SetupState s;
    EXPECT_FALSE(s.is64BitWindows);
    EXPECT_FALSE(s.finished);
    EXPECT_EQ(s.tickCount, 0);
    EXPECT_EQ(s.closeWaitTick, -1);
    EXPECT_EQ(s.registrarExitCode, 0u);
    EXPECT_EQ(s.registrarProcess, 0u);
    EXPECT_EQ(s.windowsDescriptionBuffer[0], '\0');
}

TEST_F(StartUp, ExceptionFromCreationHandlerIsShownAndTheWindowStillComes) {
    struct Form : ui::Form {
        bool after = false;
        Form() {
            OnCreate = [this] {
                throw ui::Exception("handler failed");
                after = true;  // NOLINT: never reached
            };
        }
    };
    Form* f = nullptr;
    ui::App().CreateForm(f);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ui::App().MainForm(), f);
    ASSERT_EQ(os.dialogs.boxes.size(), 1u);
    EXPECT_EQ(os.dialogs.boxes[0].text, "handler failed");
    EXPECT_FALSE(f->after);
}

TEST_F(StartUp, ExceptionFromAnotherCreationStepIsShownOnceAndEndsWithZero) {
    // A picture that cannot be made fails the window's creation itself.
    struct Case { std::function<void()> raise; const char* shown; };
    const Case cases[] = {
        {[] { throw ui::Exception("no picture"); }, "no picture"},
        {[] { throw std::runtime_error("not the library's own"); }, ""},
    };
    for (const Case& c : cases) {
        os.dialogs.boxes.clear();
        ui::SetPictureLoader([&c](const std::string&, int, int) -> ui::Picture {
            c.raise();
            return {};
        });
        EXPECT_EQ(SetupMain("", nullptr), 0);
        ui::SetPictureLoader(nullptr);
        ASSERT_EQ(os.dialogs.boxes.size(), 1u);
        EXPECT_EQ(os.dialogs.boxes[0].text, c.shown);
    }
}

}  // namespace
