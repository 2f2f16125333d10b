// Shared fixture for tests of the setup program's windows: fresh state, a
// fake platform and the two windows created as start-up creates them.
#pragma once

#include <gtest/gtest.h>

#include "core/fake/fake_ports.h"
#include "core/ui.h"
#include "setup/Mess.h"
#include "setup/set1.h"

class SetupWindows : public ::testing::Test {
protected:
    fake::Platform os;

    void SetUp() override {
        setupState = SetupState{};
        ui::App().DestroyForms();
        ui::App().Initialize(nullptr, &os.dialogs, "Setupqv");
        os.shell.folders[kCommonStartMenu] = kStartMenu;
        os.files.AddFolder(kStartMenu);
    }
    static constexpr int kCommonStartMenu = 0x8016;
    static constexpr const char* kStartMenu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    void TearDown() override {
        ui::App().DestroyForms();
        Form1 = nullptr;
        Form2 = nullptr;
    }
    void InstallLayoutKey() {
        os.registry.AddKey(port::RegRoot::LocalMachine, setup_text::kLayoutKey);
    }
    void CreateWindows() {
        ui::App().CreateForm(Form1);
        ui::App().CreateForm(Form2);
    }
};
