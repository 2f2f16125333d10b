// Win32 adapter of the process-control port: one plain Windows call per method.
#pragma once

#include "core/killprocess_port.h"

namespace win32 {

class ProcessControl : public port::ProcessControl {
public:
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
};

}  // namespace win32
