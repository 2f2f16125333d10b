// The platform calls that ending a process by its image name needs: binding of
// optional functions by name, the two ways of listing processes (Toolhelp
// snapshot, native system process list), the process heap, and asking a
// process's windows to close, waiting for it and terminating it.
//
// Functions bound by name are called through the reference GetProcAddress
// returned: the first argument of each Call... method. The records that the
// listing calls fill are laid out here exactly as Windows lays them out for
// the running architecture, so the walks over them stay portable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ports.h"

namespace port {

// PROCESSENTRY32 (byte-string form). 296 bytes on i686, 304 on x86_64.
struct ProcessEntry32 {
    std::uint32_t dwSize;
    std::uint32_t cntUsage;
    std::uint32_t th32ProcessID;
    std::uintptr_t th32DefaultHeapID;
    std::uint32_t th32ModuleID;
    std::uint32_t cntThreads;
    std::uint32_t th32ParentProcessID;
    std::int32_t pcPriClassBase;
    std::uint32_t dwFlags;
    char szExeFile[260];
};

// UNICODE_STRING: Length and MaximumLength in bytes, then the text pointer.
struct UnicodeString {
    std::uint16_t Length;
    std::uint16_t MaximumLength;
    const char16_t* Buffer;
};

// The head of one SYSTEM_PROCESS_INFORMATION entry, up to the fields that
// are read. Entries vary in length (thread records follow), so a walk moves
// by NextEntryOffset, never by the size of this head.
struct SystemProcessInformation {
    std::uint32_t NextEntryOffset;
    std::uint32_t NumberOfThreads;
    std::int64_t Reserved[3];
    std::int64_t CreateTime;
    std::int64_t UserTime;
    std::int64_t KernelTime;
    UnicodeString ImageName;
    std::int32_t BasePriority;
    std::uintptr_t UniqueProcessId;  // HANDLE
};

// Byte offsets inside an entry of the native list, read with memcpy from
// the raw buffer (the buffer gives no alignment promise to the compiler).
constexpr std::size_t kSpiNextEntryOffset = offsetof(SystemProcessInformation, NextEntryOffset);
constexpr std::size_t kSpiImageNameLength =
    offsetof(SystemProcessInformation, ImageName) + offsetof(UnicodeString, Length);
constexpr std::size_t kSpiImageNameMaximumLength =
    offsetof(SystemProcessInformation, ImageName) + offsetof(UnicodeString, MaximumLength);
constexpr std::size_t kSpiImageNameBuffer =
    offsetof(SystemProcessInformation, ImageName) + offsetof(UnicodeString, Buffer);
constexpr std::size_t kSpiUniqueProcessId = offsetof(SystemProcessInformation, UniqueProcessId);

static_assert(sizeof(ProcessEntry32) == (sizeof(void*) == 4 ? 296 : 304),
              "PROCESSENTRY32 layout");
static_assert(kSpiImageNameBuffer == (sizeof(void*) == 4 ? 60 : 64), "UNICODE_STRING layout");
static_assert(kSpiUniqueProcessId == (sizeof(void*) == 4 ? 68 : 80),
              "SYSTEM_PROCESS_INFORMATION layout");

constexpr Handle kInvalidHandleValue = static_cast<Handle>(-1);  // INVALID_HANDLE_VALUE
constexpr std::uint32_t kTh32csSnapProcess = 2;
constexpr std::uint32_t kSystemProcessInformation = 5;
constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004u;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kSynchronize = 0x100000;
constexpr std::uint32_t kProcessTerminate = 0x1;
constexpr std::uint32_t kWmClose = 16;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// EnumWindows' callback: a top-level window and the value given to the
// enumeration; non-zero goes on.
using WindowCallback = int (*)(Handle window, std::intptr_t param);

class ProcessControl {
public:
    virtual ~ProcessControl() = default;

    // Binding by name. Methods bear the "A" names: the plain ones are macros
    // of <windows.h>.
    virtual Handle LoadLibraryA(const char* name) = 0;
    virtual Handle GetProcAddress(Handle module, const char* name) = 0;     // 0 when missing
    virtual void FreeLibrary(Handle module) = 0;

    // Through bound kernel32 functions.
    virtual Handle CallCreateToolhelp32Snapshot(Handle function, std::uint32_t flags,
                                                std::uint32_t processId) = 0;
    // entry->dwSize must hold sizeof(ProcessEntry32). Non-zero while an entry came.
    virtual int CallProcess32First(Handle function, Handle snapshot, ProcessEntry32* entry) = 0;
    virtual int CallProcess32Next(Handle function, Handle snapshot, ProcessEntry32* entry) = 0;
    virtual Handle CallGetProcessHeap(Handle function) = 0;
    virtual void* CallHeapAlloc(Handle function, Handle heap, std::uint32_t flags,
                                std::size_t bytes) = 0;
    virtual int CallHeapFree(Handle function, Handle heap, std::uint32_t flags, void* block) = 0;

    // Through the bound ntdll function. Returns the NTSTATUS bits.
    virtual std::uint32_t CallZwQuerySystemInformation(Handle function, std::uint32_t infoClass,
                                                       void* buffer, std::uint32_t bytes,
                                                       std::uint32_t* returnedBytes) = 0;

    // WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, bufferBytes, NULL, NULL):
    // the bytes written including the zero, 0 when it does not fit (the buffer
    // may then hold a cut, unterminated prefix).
    virtual int WideCharToMultiByte(const char16_t* text, char* buffer, int bufferBytes) = 0;
    virtual void SetLastError(std::uint32_t code) = 0;
    virtual Handle OpenProcess(std::uint32_t access, bool inheritHandle,
                               std::uint32_t processId) = 0;
    virtual int CloseHandle(Handle handle) = 0;
    virtual int EnumWindows(WindowCallback callback, std::intptr_t param) = 0;
    // Returns the owning thread's id; *processId gets the owning process's.
    virtual std::uint32_t GetWindowThreadProcessId(Handle window, std::uint32_t* processId) = 0;
    virtual int PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
    virtual std::uint32_t WaitForSingleObject(Handle handle, std::uint32_t milliseconds) = 0;
    virtual int TerminateProcess(Handle process, std::uint32_t exitCode) = 0;
};

}  // namespace port
