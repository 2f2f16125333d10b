// Unit Killprocess: ends a running program known only by its image name. Its
// top-level windows are asked to close first; if it has not ended after
// 5000 ms it is terminated.
#pragma once

#include <cstdint>

#include "core/killprocess_port.h"

// Closes, or else terminates, the first running process whose image name is
// imageName (a bare file name in the ANSI code page, letter case ignored).
// True when it ended within the wait or its termination succeeded.
bool KillProcessByName(const char* imageName);

// EnumWindows callback: posts WM_CLOSE to the window when the process whose id
// is `processId` owns it. Always goes on with the enumeration.
int CloseWindowProc(port::Handle window, std::intptr_t processId);

// Binds the process-listing functions at run time and ends one process. One
// helper serves one call of KillProcessByName.
class CKillProcessHelper {
public:
    CKillProcessHelper();
    ~CKillProcessHelper();
    CKillProcessHelper(const CKillProcessHelper&) = delete;
    CKillProcessHelper& operator=(const CKillProcessHelper&) = delete;

    bool KillProcess(const char* imageName);
    // Each returns an opened process handle (0 for none); with a handle,
    // processId holds the found process's id.
    port::Handle FindProcess(const char* imageName, std::uint32_t& processId);
    port::Handle FindProcessToolhelp(const char* imageName, std::uint32_t& processId);
    port::Handle FindProcessNative(const char* imageName, std::uint32_t& processId);

    // Module references and bound functions (0 when absent).
    port::Handle m_hNtdll = 0;
    port::Handle m_hKernel32 = 0;
    port::Handle m_CreateToolhelp32Snapshot = 0;
    port::Handle m_Process32First = 0;
    port::Handle m_Process32Next = 0;
    port::Handle m_ZwQuerySystemInformation = 0;
    port::Handle m_GetProcessHeap = 0;
    port::Handle m_HeapAlloc = 0;
    port::Handle m_HeapFree = 0;
};

// Access wanted on the found process: wait for it, and terminate it.
constexpr std::uint32_t kKillAccess = port::kSynchronize | port::kProcessTerminate;
// How long a process gets to end after its windows were asked to close.
constexpr std::uint32_t kCloseWaitMs = 5000;
// First size tried for the native process list.
constexpr std::uint32_t kFirstListBufferSize = 0x8000;
