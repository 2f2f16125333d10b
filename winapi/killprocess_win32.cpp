#include "killprocess_win32.h"

#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>

// The portable walks read these records through the port's own layout.
static_assert(sizeof(PROCESSENTRY32) == sizeof(port::ProcessEntry32), "PROCESSENTRY32 size");
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 4 ? 296 : 304), "PROCESSENTRY32 size");
static_assert(offsetof(PROCESSENTRY32, dwSize) == offsetof(port::ProcessEntry32, dwSize), "dwSize");
static_assert(offsetof(PROCESSENTRY32, th32ProcessID) == offsetof(port::ProcessEntry32, th32ProcessID),
              "th32ProcessID");
static_assert(offsetof(PROCESSENTRY32, szExeFile) == offsetof(port::ProcessEntry32, szExeFile),
              "szExeFile");
static_assert(sizeof(((PROCESSENTRY32*)nullptr)->szExeFile) == 260, "szExeFile size");
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, NextEntryOffset) == port::kSpiNextEntryOffset,
              "NextEntryOffset");
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) + offsetof(UNICODE_STRING, Length) ==
                  port::kSpiImageNameLength,
              "ImageName.Length");
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) +
                      offsetof(UNICODE_STRING, MaximumLength) ==
                  port::kSpiImageNameMaximumLength,
              "ImageName.MaximumLength");
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) + offsetof(UNICODE_STRING, Buffer) ==
                  port::kSpiImageNameBuffer,
              "ImageName.Buffer");
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) == port::kSpiUniqueProcessId,
              "UniqueProcessId");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text");

namespace win32 {

namespace {

using CreateToolhelp32SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using Process32Fn = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32);
using GetProcessHeapFn = HANDLE(WINAPI*)();
using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapFreeFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID);
using ZwQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

template <class F>
F As(port::Handle function) {
    return reinterpret_cast<F>(function);
}

HANDLE H(port::Handle h) { return reinterpret_cast<HANDLE>(h); }
port::Handle P(HANDLE h) { return reinterpret_cast<port::Handle>(h); }

// EnumWindows hands one LPARAM to its callback: it carries the portable
// callback and its own value.
struct Enumeration {
    port::WindowCallback callback;
    std::intptr_t param;
};

BOOL CALLBACK EnumThunk(HWND window, LPARAM lParam) {
    auto* e = reinterpret_cast<Enumeration*>(lParam);
    return e->callback(reinterpret_cast<port::Handle>(window), e->param);
}

}  // namespace

port::Handle ProcessControl::LoadLibraryA(const char* name) { return P(::LoadLibraryA(name)); }

port::Handle ProcessControl::GetProcAddress(port::Handle module, const char* name) {
    return reinterpret_cast<port::Handle>(::GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

void ProcessControl::FreeLibrary(port::Handle module) {
    ::FreeLibrary(reinterpret_cast<HMODULE>(module));
}

port::Handle ProcessControl::CallCreateToolhelp32Snapshot(port::Handle function, std::uint32_t flags,
                                                          std::uint32_t processId) {
    return P(As<CreateToolhelp32SnapshotFn>(function)(flags, processId));
}

int ProcessControl::CallProcess32First(port::Handle function, port::Handle snapshot,
                                       port::ProcessEntry32* entry) {
    return As<Process32Fn>(function)(H(snapshot), reinterpret_cast<LPPROCESSENTRY32>(entry));
}

int ProcessControl::CallProcess32Next(port::Handle function, port::Handle snapshot,
                                      port::ProcessEntry32* entry) {
    return As<Process32Fn>(function)(H(snapshot), reinterpret_cast<LPPROCESSENTRY32>(entry));
}

port::Handle ProcessControl::CallGetProcessHeap(port::Handle function) {
    return P(As<GetProcessHeapFn>(function)());
}

void* ProcessControl::CallHeapAlloc(port::Handle function, port::Handle heap, std::uint32_t flags,
                                    std::size_t bytes) {
    return As<HeapAllocFn>(function)(H(heap), flags, bytes);
}

int ProcessControl::CallHeapFree(port::Handle function, port::Handle heap, std::uint32_t flags,
                                 void* block) {
    return As<HeapFreeFn>(function)(H(heap), flags, block);
}

std::uint32_t ProcessControl::CallZwQuerySystemInformation(port::Handle function,
                                                           std::uint32_t infoClass, void* buffer,
                                                           std::uint32_t bytes,
                                                           std::uint32_t* returnedBytes) {
    ULONG returned = 0;
    LONG status = As<ZwQuerySystemInformationFn>(function)(infoClass, buffer, bytes,
                                                           returnedBytes ? &returned : nullptr);
    if (returnedBytes) *returnedBytes = returned;
    return static_cast<std::uint32_t>(status);
}

int ProcessControl::WideCharToMultiByte(const char16_t* text, char* buffer, int bufferBytes) {
    return ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWCH>(text), -1, buffer, bufferBytes,
                                 nullptr, nullptr);
}

void ProcessControl::SetLastError(std::uint32_t code) { ::SetLastError(code); }

port::Handle ProcessControl::OpenProcess(std::uint32_t access, bool inheritHandle,
                                         std::uint32_t processId) {
    return P(::OpenProcess(access, inheritHandle ? TRUE : FALSE, processId));
}

int ProcessControl::CloseHandle(port::Handle handle) { return ::CloseHandle(H(handle)); }

int ProcessControl::EnumWindows(port::WindowCallback callback, std::intptr_t param) {
    Enumeration e{callback, param};
    return ::EnumWindows(EnumThunk, reinterpret_cast<LPARAM>(&e));
}

std::uint32_t ProcessControl::GetWindowThreadProcessId(port::Handle window,
                                                       std::uint32_t* processId) {
    DWORD id = 0;
    DWORD thread = ::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &id);
    if (processId) *processId = id;
    return thread;
}

int ProcessControl::PostMessageA(port::Handle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

std::uint32_t ProcessControl::WaitForSingleObject(port::Handle handle, std::uint32_t milliseconds) {
    return ::WaitForSingleObject(H(handle), milliseconds);
}

int ProcessControl::TerminateProcess(port::Handle process, std::uint32_t exitCode) {
    return ::TerminateProcess(H(process), exitCode);
}

}  // namespace win32
