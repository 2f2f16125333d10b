// Starting the registrar and switching off file-system redirection.
#include <gtest/gtest.h>

#include "core/fake/fake_ports.h"
#include "setup/set1.h"

namespace {

class RegistrarLaunch : public ::testing::Test {
protected:
    fake::Platform os;
    void SetUp() override { setupState = SetupState{}; }
};

TEST_F(RegistrarLaunch, SuccessfulStartRecordsTheProcessAndPassesTheCommandUnchanged) {
    std::string command = "load64.exe c";
    StartProcess(nullptr, command);
    EXPECT_EQ(os.processes.created, std::vector<std::string>{"load64.exe c"});
    EXPECT_NE(setupState.registrarProcess, 0u);
    EXPECT_EQ(setupState.registrarExitCode, 259u);
    EXPECT_TRUE(os.dialogs.boxes.empty());
    // Redirection is switched off just before the start and never back on.
    EXPECT_LT(os.modules.Count("Wow64Disable"), 2);
    EXPECT_EQ(os.modules.redirectionDisabled, 1);
    EXPECT_EQ(os.modules.redirectionReverted, 0);
}

TEST_F(RegistrarLaunch, FailedStartShowsTheSystemTextAndLeavesTheState) {
    struct Case { std::optional<std::string> systemText; std::string shown; };
    const Case cases[] = {
        {std::string("The system cannot find the file specified.\r\n"),
         "The system cannot find the file specified.\r\n"},
        {std::nullopt, "The program \"load32.exe\" could not be started (error 2)."},
    };
    for (const Case& c : cases) {
        os.dialogs.boxes.clear();
        os.processes.messages.clear();
        if (c.systemText) os.processes.messages[2] = *c.systemText;
        os.processes.Fail("CreateProcess");
        setupState.registrarExitCode = 7;
        std::string command = "load32.exe";
        StartProcess(nullptr, command);
        ASSERT_EQ(os.dialogs.boxes.size(), 1u);
        EXPECT_EQ(os.dialogs.boxes[0].title, "GetLastError");
        EXPECT_EQ(os.dialogs.boxes[0].text, c.shown);
        EXPECT_EQ(os.dialogs.boxes[0].style, 0x40u);
        EXPECT_EQ(setupState.registrarExitCode, 7u);
        EXPECT_EQ(setupState.registrarProcess, 0u);
    }
}

TEST_F(RegistrarLaunch, RedirectionSwitchReleasesTheModuleOnEveryPath) {
    struct Case { const char* name; std::function<void(fake::Modules&)> arrange; int disabled; };
    const Case cases[] = {
        {"function present", [](fake::Modules&) {}, 1},
        {"function absent", [](fake::Modules& m) { m.available["kernel32.dll"].clear(); }, 0},
        {"call fails", [](fake::Modules& m) { m.Fail("Wow64DisableWow64FsRedirection"); }, 0},
        {"no kernel32", [](fake::Modules& m) { m.available.erase("kernel32.dll"); }, 0},
    };
    for (const Case& c : cases) {
        fake::Platform fresh;
        c.arrange(fresh.modules);
        std::string command = "load32.exe";
        StartProcess(nullptr, command);
        EXPECT_EQ(fresh.modules.loads, fresh.modules.frees) << c.name;
        EXPECT_TRUE(fresh.modules.loaded.empty()) << c.name;
        EXPECT_EQ(fresh.modules.redirectionDisabled, c.disabled) << c.name;
        EXPECT_EQ(fresh.processes.created.size(), 1u) << c.name;  // the start goes ahead
    }
}

}  // namespace
