// In-memory process table for the process-control port: processes with their
// snapshot names, native names and top-level windows, modules with the exports
// they offer, the process heap and the native list query, each with failures
// that a test can switch on. Every call is logged ("Op arg arg ...").
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../killprocess_port.h"
#include "fake_ports.h"

namespace fake {

class ProcessControl : public port::ProcessControl, public Faults {
public:
    struct Process {
        std::uint32_t id = 0;
        std::string exeFile;                       // the snapshot's szExeFile (name or full path)
        std::optional<std::u16string> imageName;   // the native list's name; none = null pointer
        bool closesOnClose = true;                 // ends when its window gets WM_CLOSE
        bool canOpen = true;                       // OpenProcess succeeds
        std::uint32_t ownExitCode = 7;             // exit code when it ends by itself
        // Overrides the native entry's NextEntryOffset (to feed a broken list).
        std::optional<std::uint32_t> nextEntryOffset;
        // State.
        bool running = true;
        bool terminated = false;
        std::uint32_t exitCode = port::kStillActive;
        int closeRequests = 0;
    };
    struct Window {
        port::Handle hwnd;
        std::uint32_t ownerId;
    };

    ProcessControl();

    // A running process; its native name is the last component of exeFile.
    Process& AddProcess(std::uint32_t id, const std::string& exeFile);
    // A top-level window of process ownerId, after those that exist.
    port::Handle AddWindow(std::uint32_t ownerId);
    Process* Find(std::uint32_t id);

    std::vector<Process> processes;  // in the platform's list order
    std::vector<Window> windows;     // in enumeration order

    // Module name (lower-cased) -> exports. Both modules start complete.
    std::map<std::string, std::set<std::string>> exports;
    // The native query answers "too small" below this many bytes (and always
    // when the entries do not fit).
    std::uint32_t queryMinimumSize = 0x8000;
    // Status the native query returns instead of the list, when set.
    std::optional<std::uint32_t> queryStatus;
    // HeapAlloc fails for requests of at least this many bytes.
    std::size_t allocationLimit = SIZE_MAX;
    // Requests above this many bytes get a token block without storage: only
    // for runs in which the query never writes into them.
    std::size_t realAllocationLimit = 0x1000000;
    // What the wait reports for a process that has not ended (WAIT_TIMEOUT by default).
    std::uint32_t waitResultWhenRunning = port::kWaitTimeout;
    // Every Fail("Op") of Faults works too: LoadLibrary (by name), GetProcAddress
    // (by export), CreateToolhelp32Snapshot, HeapAlloc, OpenProcess,
    // WaitForSingleObject, TerminateProcess, WideCharToMultiByte (by text: the
    // text is written, and 0 returned).

    // Observations.
    std::uint32_t lastError = 0;
    std::vector<std::size_t> allocations;        // sizes requested, in order
    std::vector<int> conversionBufferSizes;      // bufferBytes of each WideCharToMultiByte
    std::map<port::Handle, std::string> loaded;  // modules not yet freed
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int LiveBlocks() const { return static_cast<int>(blocks_.size()); }

    port::Handle LoadLibraryA(const char* name) override;
    port::Handle GetProcAddress(port::Handle module, const char* name) override;
    void FreeLibrary(port::Handle module) override;
    port::Handle CallCreateToolhelp32Snapshot(port::Handle function, std::uint32_t flags,
                                              std::uint32_t processId) override;
    int CallProcess32First(port::Handle function, port::Handle snapshot,
                           port::ProcessEntry32* entry) override;
    int CallProcess32Next(port::Handle function, port::Handle snapshot,
                          port::ProcessEntry32* entry) override;
    port::Handle CallGetProcessHeap(port::Handle function) override;
    void* CallHeapAlloc(port::Handle function, port::Handle heap, std::uint32_t flags,
                        std::size_t bytes) override;
    int CallHeapFree(port::Handle function, port::Handle heap, std::uint32_t flags,
                     void* block) override;
    std::uint32_t CallZwQuerySystemInformation(port::Handle function, std::uint32_t infoClass,
                                               void* buffer, std::uint32_t bytes,
                                               std::uint32_t* returnedBytes) override;
    int WideCharToMultiByte(const char16_t* text, char* buffer, int bufferBytes) override;
    void SetLastError(std::uint32_t code) override;
    port::Handle OpenProcess(std::uint32_t access, bool inheritHandle,
                             std::uint32_t processId) override;
    int CloseHandle(port::Handle handle) override;
    int EnumWindows(port::WindowCallback callback, std::intptr_t param) override;
    std::uint32_t GetWindowThreadProcessId(port::Handle window, std::uint32_t* processId) override;
    int PostMessageA(port::Handle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
    std::uint32_t WaitForSingleObject(port::Handle handle, std::uint32_t milliseconds) override;
    int TerminateProcess(port::Handle process, std::uint32_t exitCode) override;

private:
    // A function reference is good only for the export it was looked up as.
    bool Is(port::Handle function, const char* exportName);
    int Deliver(port::Handle snapshot, port::ProcessEntry32* entry);

    port::Handle next_ = 0x4000;
    std::map<port::Handle, std::string> functions_;  // bound function -> export name
    struct Snapshot { std::vector<std::uint32_t> ids; std::size_t next = 0; };
    std::map<port::Handle, Snapshot> snapshots_;
    std::map<port::Handle, std::int64_t> handles_;  // open handles -> process id (-1: snapshot)
    std::map<void*, std::vector<unsigned char>> blocks_;  // live heap blocks
    std::set<void*> tokenBlocks_;
    unsigned char token_[16] = {};
    port::Handle heap_ = 0x3000;
};

}  // namespace fake
