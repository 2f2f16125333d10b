// Ending a process by image name, on the in-memory process table.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/fake/fake_ports.h"
#include "core/fake/fake_processcontrol.h"
#include "setup/Killprocess.h"

namespace {

class KillProcessTest : public ::testing::Test {
protected:
    void SetUp() override { port::Os().processControl = &pc; }
    void TearDown() override { port::Os().processControl = nullptr; }

    // Takes Toolhelp away, so the native list is used.
    void UseNativeList() { pc.exports["kernel32"].erase("Process32Next"); }

    // The id of the process whose handle FindProcess returned, or 0 for none;
    // the handle is closed again.
    std::uint32_t Find(const char* name) {
        CKillProcessHelper helper;
        std::uint32_t id = 0xDEAD;
        port::Handle h = helper.FindProcess(name, id);
        if (!h) return 0;
        pc.CloseHandle(h);
        return id;
    }

    fake::Platform platform;
    fake::ProcessControl pc;
};

// ---- both finders ----

enum class Finder { Toolhelp, Native };

struct FindCase {
    const char* what;
    std::vector<std::pair<std::uint32_t, const char*>> processes;  // id, name
    std::vector<std::uint32_t> unopenable;
    const char* wanted;
    std::uint32_t found;    // 0: none
    int opens;              // OpenProcess calls
};

const FindCase kFindCases[] = {
    {"letter case ignored", {{4, "System"}, {42, "QVTRAY.EXE"}}, {}, "qvtray.exe", 42, 1},
    {"mixed case wanted", {{42, "qvtray.exe"}}, {}, "QvTray.Exe", 42, 1},
    {"no such process", {{4, "System"}, {9, "explorer.exe"}}, {}, "qvtray.exe", 0, 0},
    {"longer or shorter names differ",
     {{5, "qvtray.exe.bak"}, {6, "qvtray.ex"}, {7, "xqvtray.exe"}}, {}, "qvtray.exe", 0, 0},
    {"only the first of two", {{10, "qvtray.exe"}, {11, "qvtray.exe"}}, {}, "qvtray.exe", 10, 1},
    {"first match unopenable ends the search",
     {{10, "qvtray.exe"}, {11, "qvtray.exe"}}, {10}, "qvtray.exe", 0, 1},
    {"later match found after others", {{1, "a.exe"}, {2, "b.exe"}, {3, "qvtray.exe"}}, {},
     "qvtray.exe", 3, 1},
};

class FinderTest : public KillProcessTest,
                   public ::testing::WithParamInterface<std::tuple<Finder, FindCase>> {};

TEST_P(FinderTest, FindsFirstMatchOnly) {
    auto [finder, c] = GetParam();
    if (finder == Finder::Native) UseNativeList();
    for (auto [id, name] : c.processes) pc.AddProcess(id, name);
    for (auto id : c.unopenable) pc.Find(id)->canOpen = false;

    EXPECT_EQ(Find(c.wanted), c.found) << c.what;
    EXPECT_EQ(pc.Count("OpenProcess"), c.opens) << c.what;
    // Inheritable, SYNCHRONIZE | PROCESS_TERMINATE.
    EXPECT_EQ(pc.Count("OpenProcess 1048577 1 "), c.opens) << c.what;
    EXPECT_EQ(pc.OpenHandles(), 0) << c.what;  // snapshot closed
    EXPECT_EQ(pc.LiveBlocks(), 0) << c.what;   // list buffer freed
    // The finder that was meant to run is the one that ran.
    EXPECT_EQ(pc.Count("CreateToolhelp32Snapshot 2 0"), finder == Finder::Toolhelp ? 1 : 0);
    EXPECT_EQ(pc.Count("ZwQuerySystemInformation 5 32768 nolength"), finder == Finder::Native ? 1 : 0);
    EXPECT_EQ(pc.Count("WRONG FUNCTION"), 0);
}

INSTANTIATE_TEST_SUITE_P(BothFinders, FinderTest,
                         ::testing::Combine(::testing::Values(Finder::Toolhelp, Finder::Native),
                                            ::testing::ValuesIn(kFindCases)));

// ---- Toolhelp only ----

struct ExeFileCase {
    const char* exeFile;
    bool matches;
};

const ExeFileCase kExeFileCases[] = {
    {"C:\\Program Files\\Brevok\\qvtray.exe", true},
    {"C:\\PROGRAM FILES\\BREVOK\\QVTRAY.EXE", true},
    {"\\qvtray.exe", true},
    {"C:\\qvtray.exe\\other.exe", false},   // only the last component counts
    {"C:\\Brevok\\qvtray.exe.old", false},
    {"C:\\Brevok\\", false},
};

TEST_F(KillProcessTest, ToolhelpMatchesLastPathComponent) {
    for (const auto& c : kExeFileCases) {
        pc.processes.clear();
        pc.AddProcess(77, c.exeFile);
        EXPECT_EQ(Find("qvtray.exe"), c.matches ? 77u : 0u) << c.exeFile;
    }
}

TEST_F(KillProcessTest, ToolhelpSnapshotRefusedFindsNothing) {
    pc.AddProcess(42, "qvtray.exe");
    pc.Fail("CreateToolhelp32Snapshot");
    EXPECT_EQ(Find("qvtray.exe"), 0u);
    EXPECT_EQ(pc.Count("Process32First"), 0);
    EXPECT_EQ(pc.Count("OpenProcess"), 0);
    EXPECT_EQ(pc.Count("CloseHandle"), 0);  // nothing to close
}

// ---- native list only ----

TEST_F(KillProcessTest, NativeNullNameIsIdle) {
    UseNativeList();
    pc.AddProcess(0, "").imageName.reset();
    pc.AddProcess(42, "qvtray.exe");
    CKillProcessHelper helper;
    std::uint32_t id = 0xDEAD;
    port::Handle h = helper.FindProcess("idle", id);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(pc.Count("WideCharToMultiByte Idle 260"), 1);
    pc.CloseHandle(h);
    EXPECT_EQ(Find("qvtray.exe"), 42u);  // the null name did not stop the walk
}

TEST_F(KillProcessTest, NativeComparesWholeNameWithoutStrippingFolders) {
    UseNativeList();
    pc.AddProcess(42, "qvtray.exe").imageName = u"C:\\Brevok\\qvtray.exe";
    EXPECT_EQ(Find("qvtray.exe"), 0u);
}

TEST_F(KillProcessTest, NativeNameTooLongForItsBufferIsSkipped) {
    UseNativeList();
    // The cut, unterminated conversion of a 300-character name must not be read
    // as a name; the walk goes on to the real one.
    pc.AddProcess(5, "x").imageName = std::u16string(300, u'q');
    pc.AddProcess(42, "qvtray.exe");
    EXPECT_EQ(Find("qvtray.exe"), 42u);
    ASSERT_EQ(pc.conversionBufferSizes.size(), 2u);
    for (int size : pc.conversionBufferSizes) EXPECT_EQ(size, 260);
}

TEST_F(KillProcessTest, NativeFailedConversionIsNoMatch) {
    UseNativeList();
    pc.AddProcess(42, "qvtray.exe");
    pc.AddProcess(43, "other.exe");
    pc.Fail("WideCharToMultiByte", "qvtray.exe");
    EXPECT_EQ(Find("qvtray.exe"), 0u);
    EXPECT_EQ(pc.Count("OpenProcess"), 0);
}

TEST_F(KillProcessTest, NativeWalkStopsAtAnEntryOutsideTheBuffer) {
    UseNativeList();
    pc.AddProcess(5, "a.exe").nextEntryOffset = 0x7FFFFFF0;  // corrupt: points far past the list
    pc.AddProcess(42, "qvtray.exe");
    EXPECT_EQ(Find("qvtray.exe"), 0u);
    EXPECT_EQ(pc.LiveBlocks(), 0);
}

struct NativeBufferCase {
    const char* what;
    std::function<void(fake::ProcessControl&)> arrange;
    std::vector<std::size_t> allocations;
    bool found;
    std::uint32_t lastError;  // 0: not set
};

const NativeBufferCase kBufferCases[] = {
    {"first buffer fits", [](fake::ProcessControl&) {}, {0x8000}, true, 0},
    {"too small doubles", [](fake::ProcessControl& f) { f.queryMinimumSize = 0x20000; },
     {0x8000, 0x10000, 0x20000}, true, 0},
    {"allocation fails at once", [](fake::ProcessControl& f) { f.Fail("HeapAlloc"); },
     {0x8000}, false, 8},
    {"allocation fails while growing",
     [](fake::ProcessControl& f) { f.queryMinimumSize = 0x40000; f.allocationLimit = 0x20000; },
     {0x8000, 0x10000, 0x20000}, false, 8},
    {"access denied", [](fake::ProcessControl& f) { f.queryStatus = 0xC0000022u; },
     {0x8000}, false, 0xC0000022u},
    {"warning status is a failure too", [](fake::ProcessControl& f) { f.queryStatus = 0x80000005u; },
     {0x8000}, false, 0x80000005u},
};

TEST_F(KillProcessTest, NativeListBuffer) {
    for (const auto& c : kBufferCases) {
        fake::ProcessControl fresh;
        port::Os().processControl = &fresh;
        fresh.exports["kernel32"].erase("CreateToolhelp32Snapshot");
        fresh.AddProcess(4, "System");
        fresh.AddProcess(42, "qvtray.exe");
        c.arrange(fresh);

        CKillProcessHelper helper;
        std::uint32_t id = 0;
        port::Handle h = helper.FindProcess("qvtray.exe", id);
        EXPECT_EQ(h != 0, c.found) << c.what;
        if (h) fresh.CloseHandle(h);
        EXPECT_EQ(fresh.allocations, c.allocations) << c.what;
        EXPECT_EQ(fresh.lastError, c.lastError) << c.what;
        EXPECT_EQ(fresh.LiveBlocks(), 0) << c.what;
        EXPECT_EQ(fresh.Count("HeapFree of an unknown block"), 0) << c.what;
        // Every block was freed once: as many frees as allocations that succeeded.
        int failedAllocations = c.lastError == 8 ? 1 : 0;
        EXPECT_EQ(fresh.Count("HeapFree"), static_cast<int>(c.allocations.size()) - failedAllocations)
            << c.what;
    }
}

TEST_F(KillProcessTest, NativeGrowthStopsBeforeTheSizeOverflows) {
    UseNativeList();
    pc.AddProcess(42, "qvtray.exe");
    pc.queryMinimumSize = UINT32_MAX;  // never large enough
    EXPECT_EQ(Find("qvtray.exe"), 0u);
    ASSERT_EQ(pc.allocations.size(), 17u);
    EXPECT_EQ(pc.allocations.front(), 0x8000u);
    EXPECT_EQ(pc.allocations.back(), 0x80000000u);
    EXPECT_EQ(pc.lastError, 8u);
    EXPECT_EQ(pc.Count("HeapFree"), 17);
    EXPECT_EQ(pc.LiveBlocks(), 0);
}

// ---- binding ----

struct BindCase {
    const char* what;
    std::function<void(fake::ProcessControl&)> arrange;
    bool toolhelp;   // the three Toolhelp functions bound
    bool triesNtdll; // ntdll asked for
    bool ntdll;      // ntdll loaded
    bool native;     // the four native functions bound
    bool finds;      // a running qvtray.exe is found
};

const BindCase kBindCases[] = {
    {"all present: Toolhelp, ntdll untouched", [](fake::ProcessControl&) {}, true, false, false, false, true},
    {"Toolhelp missing: native list",
     [](fake::ProcessControl& f) { f.exports["kernel32"].erase("Process32First"); }, false, true, true, true, true},
    {"no Kernel32", [](fake::ProcessControl& f) { f.Fail("LoadLibrary", "Kernel32"); },
     false, false, false, false, false},
    {"Toolhelp missing, no ntdll",
     [](fake::ProcessControl& f) { f.exports["kernel32"].erase("CreateToolhelp32Snapshot"); f.exports.erase("ntdll"); },
     false, true, false, false, false},
    {"neither set complete",
     [](fake::ProcessControl& f) { f.exports["kernel32"].erase("Process32Next"); f.exports["kernel32"].erase("HeapFree"); },
     false, true, true, false, false},
    {"Toolhelp missing, no ZwQuerySystemInformation",
     [](fake::ProcessControl& f) { f.exports["kernel32"].erase("Process32Next"); f.exports["ntdll"].clear(); },
     false, true, true, false, false},
};

TEST_F(KillProcessTest, Binding) {
    for (const auto& c : kBindCases) {
        fake::ProcessControl fresh;
        port::Os().processControl = &fresh;
        fresh.AddProcess(42, "qvtray.exe");
        c.arrange(fresh);
        {
            CKillProcessHelper helper;
            bool toolhelp = helper.m_CreateToolhelp32Snapshot && helper.m_Process32First &&
                            helper.m_Process32Next;
            bool native = helper.m_ZwQuerySystemInformation && helper.m_GetProcessHeap &&
                          helper.m_HeapAlloc && helper.m_HeapFree;
            EXPECT_EQ(toolhelp, c.toolhelp) << c.what;
            EXPECT_EQ(helper.m_hNtdll != 0, c.ntdll) << c.what;
            EXPECT_EQ(fresh.Count("LoadLibrary ntdll.dll"), c.triesNtdll ? 1 : 0) << c.what;
            EXPECT_EQ(native, c.native) << c.what;
            std::uint32_t id = 0;
            port::Handle h = helper.FindProcess("qvtray.exe", id);
            EXPECT_EQ(h != 0, c.finds) << c.what;
            if (h) fresh.CloseHandle(h);
        }
        EXPECT_TRUE(fresh.loaded.empty()) << c.what << ": modules released";
        EXPECT_EQ(fresh.Count("FreeLibrary ?"), 0) << c.what;
    }
}

TEST_F(KillProcessTest, NoKernel32MeansNoFurtherLoadsOrLookups) {
    pc.Fail("LoadLibrary", "Kernel32");
    pc.AddProcess(42, "qvtray.exe");
    EXPECT_FALSE(KillProcessByName("qvtray.exe"));
    EXPECT_EQ(pc.calls, std::vector<std::string>{"LoadLibrary Kernel32"});
}

TEST_F(KillProcessTest, DestructorReleasesKernel32ThenNtdll) {
    UseNativeList();
    { CKillProcessHelper helper; }
    std::vector<std::string> frees;
    for (const auto& c : pc.calls)
        if (c.rfind("FreeLibrary", 0) == 0) frees.push_back(c);
    EXPECT_EQ(frees, (std::vector<std::string>{"FreeLibrary kernel32", "FreeLibrary ntdll"}));
}

// ---- closing sequence ----

struct CloseCase {
    const char* what;
    bool running;
    bool closesOnClose;
    bool canOpen;
    bool waitFails;
    bool terminateFails;
    bool result;
    bool terminated;
    bool asked;  // its windows got WM_CLOSE
};

const CloseCase kCloseCases[] = {
    {"ends within the wait", true, true, true, false, false, true, false, true},
    {"time-out: terminated", true, false, true, false, false, true, true, true},
    {"time-out, termination refused", true, false, true, false, true, false, false, true},
    {"wait fails: terminated", true, false, true, true, false, true, true, true},
    {"not running", false, true, true, false, false, false, false, false},
    {"cannot be opened", true, false, false, false, false, false, false, false},
};

TEST_F(KillProcessTest, ClosingSequence) {
    for (const auto& c : kCloseCases) {
        fake::ProcessControl fresh;
        port::Os().processControl = &fresh;
        fresh.AddProcess(8, "explorer.exe");
        if (c.running) {
            auto& p = fresh.AddProcess(42, "qvtray.exe");
            p.closesOnClose = c.closesOnClose;
            p.canOpen = c.canOpen;
        }
        port::Handle other = fresh.AddWindow(8);
        port::Handle first = c.running ? fresh.AddWindow(42) : 0;
        port::Handle hidden = c.running ? fresh.AddWindow(42) : 0;
        port::Handle last = fresh.AddWindow(8);
        if (c.waitFails) fresh.Fail("WaitForSingleObject");
        if (c.terminateFails) fresh.Fail("TerminateProcess");

        EXPECT_EQ(KillProcessByName("qvtray.exe"), c.result) << c.what;

        auto* p = fresh.Find(42);
        bool found = c.running && c.canOpen;
        if (c.running) {
            EXPECT_EQ(p->terminated, c.terminated) << c.what;
            if (c.terminated) {
                EXPECT_EQ(p->exitCode, 0u) << c.what;
            }
            EXPECT_EQ(p->closeRequests, c.asked ? 2 : 0) << c.what;
            if (c.result && !c.terminated) {
                EXPECT_EQ(p->exitCode, p->ownExitCode) << c.what;  // ended by itself
            }
        }
        if (c.asked) {
            // Every window looked at, only the process's own asked, with WM_CLOSE 0 0.
            EXPECT_EQ(fresh.Count("GetWindowThreadProcessId"), 4) << c.what;
            EXPECT_EQ(fresh.Count("EnumWindows stopped"), 0) << c.what;
            EXPECT_EQ(fresh.Count("PostMessage " + std::to_string(first) + " 16 0 0"), 1) << c.what;
            EXPECT_EQ(fresh.Count("PostMessage " + std::to_string(hidden) + " 16 0 0"), 1) << c.what;
            EXPECT_EQ(fresh.Count("PostMessage " + std::to_string(other)), 0) << c.what;
            EXPECT_EQ(fresh.Count("PostMessage " + std::to_string(last)), 0) << c.what;
        } else {
            EXPECT_EQ(fresh.Count("EnumWindows"), 0) << c.what;
            EXPECT_EQ(fresh.Count("PostMessage"), 0) << c.what;
        }
        EXPECT_EQ(fresh.Count("WaitForSingleObject 42 5000"), found ? 1 : 0) << c.what;
        EXPECT_EQ(fresh.Count("WaitForSingleObject"), found ? 1 : 0) << c.what;
        EXPECT_EQ(fresh.Count("TerminateProcess 42 0"),
                  found && (!c.closesOnClose || c.waitFails) ? 1 : 0) << c.what;
        EXPECT_EQ(fresh.Count("CloseHandle process 42"), found ? 1 : 0) << c.what;
        EXPECT_EQ(fresh.OpenHandles(), 0) << c.what;
        EXPECT_TRUE(fresh.loaded.empty()) << c.what;
        // The unrelated process is never touched.
        EXPECT_FALSE(fresh.Find(8)->terminated) << c.what;
        EXPECT_EQ(fresh.Find(8)->closeRequests, 0) << c.what;
    }
}

TEST_F(KillProcessTest, OnlyTheFirstOfTwoIsClosed) {
    pc.AddProcess(10, "qvtray.exe").closesOnClose = false;
    pc.AddProcess(11, "qvtray.exe").closesOnClose = false;
    pc.AddWindow(11);
    pc.AddWindow(10);
    EXPECT_TRUE(KillProcessByName("qvtray.exe"));
    EXPECT_TRUE(pc.Find(10)->terminated);
    EXPECT_EQ(pc.Find(10)->closeRequests, 1);
    EXPECT_TRUE(pc.Find(11)->running);
    EXPECT_EQ(pc.Find(11)->closeRequests, 0);
}

TEST_F(KillProcessTest, CloseWindowProcAlwaysGoesOn) {
    pc.AddProcess(42, "qvtray.exe");
    port::Handle own = pc.AddWindow(42);
    port::Handle foreign = pc.AddWindow(9);
    EXPECT_EQ(CloseWindowProc(foreign, 42), 1);
    EXPECT_EQ(pc.Count("PostMessage"), 0);
    EXPECT_EQ(CloseWindowProc(own, 42), 1);
    EXPECT_EQ(pc.Count("PostMessage " + std::to_string(own) + " 16 0 0"), 1);
}

}  // namespace
