#include "Killprocess.h"

#include <cctype>
#include <cstring>

#include "core/os.h"

namespace {

port::ProcessControl& Pc() { return *port::Os().processControl; }

// Same length, and every byte equal once folded to upper case by the
// run-time library (the locale's idea of case, as Windows file names have it).
bool SameNameIgnoringCase(const char* name, std::size_t length, const char* wanted) {
    if (std::strlen(wanted) != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) !=
            std::toupper(static_cast<unsigned char>(wanted[i])))
            return false;
    }
    return true;
}

// Length of a zero-terminated text in a fixed buffer, never past its end.
std::size_t BoundedLength(const char* text, std::size_t capacity) {
    const void* zero = std::memchr(text, 0, capacity);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : capacity;
}

// Older systems put a full path into a snapshot entry: only its last
// component is the image name.
bool ExeFileMatches(const char (&exeFile)[260], const char* wanted) {
    std::size_t length = BoundedLength(exeFile, sizeof exeFile);
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i)
        if (exeFile[i] == '\\') start = i + 1;
    return SameNameIgnoringCase(exeFile + start, length - start, wanted);
}

template <class T>
T ReadAt(const unsigned char* entry, std::size_t offset) {
    T value;
    std::memcpy(&value, entry + offset, sizeof value);
    return value;
}

}  // namespace

int CloseWindowProc(port::Handle window, std::intptr_t processId) {
    std::uint32_t owner = 0;
    Pc().GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<std::uint32_t>(processId)) Pc().PostMessageA(window, port::kWmClose, 0, 0);
    return 1;  // every window is looked at
}

CKillProcessHelper::CKillProcessHelper() {
    // Without the platform's process calls nothing can be listed: the helper
    // stays unbound, as when Kernel32 cannot be loaded.
    if (!port::Os().processControl) return;
    port::ProcessControl& pc = Pc();
    m_hKernel32 = pc.LoadLibraryA("Kernel32");
    if (m_hKernel32) {
        m_CreateToolhelp32Snapshot = pc.GetProcAddress(m_hKernel32, "CreateToolhelp32Snapshot");
        m_Process32First = pc.GetProcAddress(m_hKernel32, "Process32First");
        m_Process32Next = pc.GetProcAddress(m_hKernel32, "Process32Next");
    }
    if (m_CreateToolhelp32Snapshot && m_Process32First && m_Process32Next) return;
    if (!m_hKernel32) return;
    // No Toolhelp: fall back on the native process list.
    m_hNtdll = pc.LoadLibraryA("ntdll.dll");
    if (!m_hNtdll) return;
    m_ZwQuerySystemInformation = pc.GetProcAddress(m_hNtdll, "ZwQuerySystemInformation");
    m_GetProcessHeap = pc.GetProcAddress(m_hKernel32, "GetProcessHeap");
    m_HeapAlloc = pc.GetProcAddress(m_hKernel32, "HeapAlloc");
    m_HeapFree = pc.GetProcAddress(m_hKernel32, "HeapFree");
}

CKillProcessHelper::~CKillProcessHelper() {
    if (m_hKernel32) Pc().FreeLibrary(m_hKernel32);
    if (m_hNtdll) Pc().FreeLibrary(m_hNtdll);
}

port::Handle CKillProcessHelper::FindProcess(const char* imageName, std::uint32_t& processId) {
    if (!m_hKernel32) return 0;
    if (m_CreateToolhelp32Snapshot && m_Process32First && m_Process32Next)
        return FindProcessToolhelp(imageName, processId);
    if (m_ZwQuerySystemInformation && m_HeapAlloc && m_GetProcessHeap && m_HeapFree)
        return FindProcessNative(imageName, processId);
    return 0;
}

port::Handle CKillProcessHelper::FindProcessToolhelp(const char* imageName,
                                                     std::uint32_t& processId) {
    port::ProcessControl& pc = Pc();
    port::ProcessEntry32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;

    port::Handle snapshot =
        pc.CallCreateToolhelp32Snapshot(m_CreateToolhelp32Snapshot, port::kTh32csSnapProcess, 0);
    if (snapshot == port::kInvalidHandleValue) return 0;

    port::Handle process = 0;
    for (int more = pc.CallProcess32First(m_Process32First, snapshot, &entry); more;
         more = pc.CallProcess32Next(m_Process32Next, snapshot, &entry)) {
        if (!ExeFileMatches(entry.szExeFile, imageName)) continue;
        // The first of that name is the one; later ones are not tried even
        // when this one cannot be opened.
        process = pc.OpenProcess(kKillAccess, true, entry.th32ProcessID);
        processId = entry.th32ProcessID;
        break;
    }
    pc.CloseHandle(snapshot);
    return process;
}

port::Handle CKillProcessHelper::FindProcessNative(const char* imageName,
                                                   std::uint32_t& processId) {
    port::ProcessControl& pc = Pc();
    port::Handle heap = pc.CallGetProcessHeap(m_GetProcessHeap);

    // The list's size is unknown beforehand: grow the buffer until it fits.
    std::uint32_t size = kFirstListBufferSize;
    unsigned char* buffer = nullptr;
    for (;;) {
        buffer = static_cast<unsigned char*>(pc.CallHeapAlloc(m_HeapAlloc, heap, 0, size));
        if (!buffer) {
            pc.SetLastError(port::kErrorNotEnoughMemory);
            return 0;
        }
        std::uint32_t status = pc.CallZwQuerySystemInformation(
            m_ZwQuerySystemInformation, port::kSystemProcessInformation, buffer, size, nullptr);
        if (status == port::kStatusInfoLengthMismatch) {
            pc.CallHeapFree(m_HeapFree, heap, 0, buffer);
            if (size > UINT32_MAX / 2) {  // the query's size is 32-bit: nothing bigger to ask for
                pc.SetLastError(port::kErrorNotEnoughMemory);
                return 0;
            }
            size *= 2;
            continue;
        }
        if (status & 0x80000000u) {
            pc.CallHeapFree(m_HeapFree, heap, 0, buffer);
            pc.SetLastError(status);
            return 0;
        }
        break;
    }

    port::Handle process = 0;
    std::size_t offset = 0;
    // An entry whose head would not lie wholly inside the buffer ends the walk.
    while (offset + sizeof(port::SystemProcessInformation) <= size) {
        const unsigned char* entry = buffer + offset;
        auto text = ReadAt<const char16_t*>(entry, port::kSpiImageNameBuffer);
        if (!text) text = u"Idle";  // the idle process has no name
        char name[260];
        // A name that does not fit cannot be the one wanted; its buffer is
        // then not terminated and is not looked at.
        int converted = pc.WideCharToMultiByte(text, name, sizeof name);
        if (converted > 0 && SameNameIgnoringCase(name, BoundedLength(name, sizeof name), imageName)) {
            auto id = static_cast<std::uint32_t>(ReadAt<std::uintptr_t>(entry, port::kSpiUniqueProcessId));
            process = pc.OpenProcess(kKillAccess, true, id);
            processId = id;
            break;
        }
        auto next = ReadAt<std::uint32_t>(entry, port::kSpiNextEntryOffset);
        if (next == 0) break;
        offset += next;
    }
    pc.CallHeapFree(m_HeapFree, heap, 0, buffer);
    return process;
}

bool CKillProcessHelper::KillProcess(const char* imageName) {
    std::uint32_t processId = 0;
    port::Handle process = FindProcess(imageName, processId);
    if (!process) return false;

    port::ProcessControl& pc = Pc();
    pc.EnumWindows(CloseWindowProc, static_cast<std::intptr_t>(processId));
    bool ended;
    if (pc.WaitForSingleObject(process, kCloseWaitMs) == port::kWaitObject0)
        ended = true;
    else
        ended = pc.TerminateProcess(process, 0) != 0;
    pc.CloseHandle(process);
    return ended;
}

bool KillProcessByName(const char* imageName) {
    CKillProcessHelper helper;
    return helper.KillProcess(imageName);
}
