// Ending a process by image name with the real Windows calls: stand-in
// programs copied as "qvtray.exe" are started and then closed or terminated.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/os.h"
#include "setup/Killprocess.h"
#include "winapi/killprocess_win32.h"

namespace {

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1);
}

struct FindWindowOf {
    DWORD processId;
    bool found;
};

BOOL CALLBACK LookForWindow(HWND window, LPARAM lParam) {
    auto* f = reinterpret_cast<FindWindowOf*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == f->processId) f->found = true;
    return TRUE;
}

// Process32First/Next reported missing, so that the native list is walked.
class WithoutToolhelp : public win32::ProcessControl {
public:
    port::Handle GetProcAddress(port::Handle module, const char* name) override {
        if (std::strcmp(name, "Process32Next") == 0) return 0;
        return win32::ProcessControl::GetProcAddress(module, name);
    }
};

class KillProcessWine : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = port::Os().processControl;
        port::Os().processControl = &control_;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "brevok-kill-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        target_ = folder_ + "\\qvtray.exe";
    }

    void TearDown() override {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        DeleteFileA(target_.c_str());
        RemoveDirectoryA(folder_.c_str());
        port::Os().processControl = saved_;
    }

    // Copies the stand-in as qvtray.exe, starts it and waits for its window.
    void Start(const char* program) {
        std::string source = OwnFolder() + program;
        ASSERT_TRUE(CopyFileA(source.c_str(), target_.c_str(), FALSE)) << source;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(target_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   folder_.c_str(), &si, &pi_));
        FindWindowOf f{pi_.dwProcessId, false};
        for (int i = 0; i < 200 && !f.found; ++i) {
            Sleep(50);
            EnumWindows(LookForWindow, reinterpret_cast<LPARAM>(&f));
        }
        ASSERT_TRUE(f.found) << program << " made no window";
    }

    DWORD ExitCode() {
        EXPECT_EQ(WaitForSingleObject(pi_.hProcess, 2000), WAIT_OBJECT_0) << "still running";
        DWORD code = 12345;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    // KillProcessByName("qvtray.exe") and how long it took, in ms.
    bool Kill(ULONGLONG* elapsed) {
        ULONGLONG start = GetTickCount64();
        bool result = KillProcessByName("qvtray.exe");
        *elapsed = GetTickCount64() - start;
        RecordProperty("kill_ms", std::to_string(*elapsed));
        return result;
    }

    win32::ProcessControl control_;
    port::ProcessControl* saved_ = nullptr;
    std::string folder_, target_;
    PROCESS_INFORMATION pi_ = {};
};

TEST_F(KillProcessWine, NothingRunningIsFalseAtOnce) {
    ULONGLONG elapsed = 0;
    EXPECT_FALSE(Kill(&elapsed));
    EXPECT_LT(elapsed, 1000u);
}

TEST_F(KillProcessWine, ProgramThatClosesEndsByItself) {
    Start("closes_on_close.exe");
    ULONGLONG elapsed = 0;
    EXPECT_TRUE(Kill(&elapsed));
    EXPECT_LT(elapsed, 2500u);
    EXPECT_EQ(ExitCode(), 7u);  // its own code: not terminated
}

TEST_F(KillProcessWine, ProgramThatIgnoresCloseIsTerminatedAfterTheWait) {
    Start("ignores_close.exe");
    ULONGLONG elapsed = 0;
    EXPECT_TRUE(Kill(&elapsed));
    EXPECT_GE(elapsed, 4900u);
    EXPECT_LT(elapsed, 8000u);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(KillProcessWine, NativeListFindsTheRunningProgram) {
    Start("ignores_close.exe");
    WithoutToolhelp native;
    port::Os().processControl = &native;
    CKillProcessHelper helper;
    ASSERT_EQ(helper.m_Process32Next, 0u);
    ASSERT_NE(helper.m_ZwQuerySystemInformation, 0u);
    std::uint32_t id = 0;
    port::Handle process = helper.FindProcess("QVTRAY.EXE", id);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(id, pi_.dwProcessId);
    CloseHandle(reinterpret_cast<HANDLE>(process));
    EXPECT_EQ(helper.FindProcess("qvtray.ex", id), 0u);
}

}  // namespace
