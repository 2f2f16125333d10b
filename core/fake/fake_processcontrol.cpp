#include "fake_processcontrol.h"

#include <algorithm>
#include <cstring>

namespace fake {

namespace {

std::string ModuleKey(const std::string& name) {
    std::string key = Lower(name);
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".dll") == 0) key.resize(key.size() - 4);
    return key;
}

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

std::string BaseName(const std::string& path) {
    auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

template <class T>
void WriteAt(unsigned char* entry, std::size_t offset, T value) {
    std::memcpy(entry + offset, &value, sizeof value);
}

}  // namespace

ProcessControl::ProcessControl() {
    exports["kernel32"] = {"CreateToolhelp32Snapshot", "Process32First", "Process32Next",
                           "GetProcessHeap", "HeapAlloc", "HeapFree"};
    exports["ntdll"] = {"ZwQuerySystemInformation"};
}

ProcessControl::Process& ProcessControl::AddProcess(std::uint32_t id, const std::string& exeFile) {
    Process p;
    p.id = id;
    p.exeFile = exeFile;
    std::string base = BaseName(exeFile);
    p.imageName = std::u16string(base.begin(), base.end());
    processes.push_back(p);
    return processes.back();
}

port::Handle ProcessControl::AddWindow(std::uint32_t ownerId) {
    port::Handle hwnd = 0x10000 + windows.size() * 0x10;
    windows.push_back({hwnd, ownerId});
    return hwnd;
}

ProcessControl::Process* ProcessControl::Find(std::uint32_t id) {
    for (auto& p : processes)
        if (p.id == id) return &p;
    return nullptr;
}

bool ProcessControl::Is(port::Handle function, const char* exportName) {
    auto it = functions_.find(function);
    if (it != functions_.end() && it->second == exportName) return true;
    Log(std::string("WRONG FUNCTION for ") + exportName);
    return false;
}

// ---- binding ----

port::Handle ProcessControl::LoadLibraryA(const char* name) {
    Log(std::string("LoadLibrary ") + name);
    if (ShouldFail("LoadLibrary", name) || !exports.count(ModuleKey(name))) return 0;
    port::Handle h = next_++;
    loaded[h] = ModuleKey(name);
    return h;
}

port::Handle ProcessControl::GetProcAddress(port::Handle module, const char* name) {
    auto m = loaded.find(module);
    Log("GetProcAddress " + (m == loaded.end() ? std::string("?") : m->second) + " " + name);
    if (m == loaded.end() || ShouldFail("GetProcAddress", name)) return 0;
    if (!exports[m->second].count(name)) return 0;
    port::Handle h = next_++;
    functions_[h] = name;
    return h;
}

void ProcessControl::FreeLibrary(port::Handle module) {
    auto m = loaded.find(module);
    Log("FreeLibrary " + (m == loaded.end() ? std::string("?") : m->second));
    if (m != loaded.end()) loaded.erase(m);
}

// ---- Toolhelp ----

port::Handle ProcessControl::CallCreateToolhelp32Snapshot(port::Handle function,
                                                          std::uint32_t flags,
                                                          std::uint32_t processId) {
    Log("CreateToolhelp32Snapshot " + std::to_string(flags) + " " + std::to_string(processId));
    if (!Is(function, "CreateToolhelp32Snapshot") || ShouldFail("CreateToolhelp32Snapshot"))
        return port::kInvalidHandleValue;
    port::Handle h = next_++;
    Snapshot s;
    for (const auto& p : processes)
        if (p.running) s.ids.push_back(p.id);
    snapshots_[h] = s;
    handles_[h] = -1;
    return h;
}

int ProcessControl::Deliver(port::Handle snapshot, port::ProcessEntry32* entry) {
    auto s = snapshots_.find(snapshot);
    if (s == snapshots_.end() || entry->dwSize != sizeof(port::ProcessEntry32)) return 0;
    if (s->second.next >= s->second.ids.size()) return 0;
    const Process* p = Find(s->second.ids[s->second.next++]);
    if (!p) return 0;
    entry->th32ProcessID = p->id;
    entry->cntThreads = 1;
    // What lies past the terminating zero is not part of the name.
    std::memset(entry->szExeFile, 'Z', sizeof entry->szExeFile);
    std::size_t n = std::min(p->exeFile.size(), sizeof entry->szExeFile - 1);
    std::memcpy(entry->szExeFile, p->exeFile.data(), n);
    entry->szExeFile[n] = '\0';
    return 1;
}

int ProcessControl::CallProcess32First(port::Handle function, port::Handle snapshot,
                                       port::ProcessEntry32* entry) {
    Log("Process32First");
    if (!Is(function, "Process32First")) return 0;
    auto s = snapshots_.find(snapshot);
    if (s != snapshots_.end()) s->second.next = 0;
    return Deliver(snapshot, entry);
}

int ProcessControl::CallProcess32Next(port::Handle function, port::Handle snapshot,
                                      port::ProcessEntry32* entry) {
    Log("Process32Next");
    if (!Is(function, "Process32Next")) return 0;
    return Deliver(snapshot, entry);
}

// ---- heap and native list ----

port::Handle ProcessControl::CallGetProcessHeap(port::Handle function) {
    Log("GetProcessHeap");
    if (!Is(function, "GetProcessHeap")) return 0;
    return heap_;
}

void* ProcessControl::CallHeapAlloc(port::Handle function, port::Handle heap,
                                    std::uint32_t flags, std::size_t bytes) {
    Log("HeapAlloc " + std::to_string(flags) + " " + std::to_string(bytes));
    allocations.push_back(bytes);
    if (!Is(function, "HeapAlloc") || heap != heap_ || ShouldFail("HeapAlloc") ||
        bytes >= allocationLimit)
        return nullptr;
    if (bytes > realAllocationLimit) {
        void* token = token_ + tokenBlocks_.size() % sizeof token_;
        tokenBlocks_.insert(token);
        return token;
    }
    std::vector<unsigned char> block(bytes, 0xCD);
    void* p = block.data();
    blocks_[p] = std::move(block);
    return p;
}

int ProcessControl::CallHeapFree(port::Handle function, port::Handle heap, std::uint32_t flags,
                                 void* block) {
    auto b = blocks_.find(block);
    std::size_t size = b != blocks_.end() ? b->second.size() : 0;
    Log("HeapFree " + std::to_string(flags) + " " +
        (tokenBlocks_.count(block) ? std::string("token") : std::to_string(size)));
    if (!Is(function, "HeapFree") || heap != heap_) return 0;
    if (tokenBlocks_.erase(block)) return 1;
    if (b == blocks_.end()) {
        Log("HeapFree of an unknown block");
        return 0;
    }
    blocks_.erase(b);
    return 1;
}

std::uint32_t ProcessControl::CallZwQuerySystemInformation(port::Handle function,
                                                           std::uint32_t infoClass, void* buffer,
                                                           std::uint32_t bytes,
                                                           std::uint32_t* returnedBytes) {
    Log("ZwQuerySystemInformation " + std::to_string(infoClass) + " " + std::to_string(bytes) +
        (returnedBytes ? " length" : " nolength"));
    if (!Is(function, "ZwQuerySystemInformation")) return 0xC0000002u;  // STATUS_NOT_IMPLEMENTED
    if (infoClass != port::kSystemProcessInformation) return 0xC0000003u;  // STATUS_INVALID_INFO_CLASS
    if (queryStatus) return *queryStatus;

    // Entries differ in length (thread records follow the head).
    std::vector<std::size_t> sizes;
    std::size_t total = 0;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        std::size_t size = (sizeof(port::SystemProcessInformation) + 8 * (i + 1) + 7) / 8 * 8;
        sizes.push_back(size);
        total += size;
    }
    if (returnedBytes) *returnedBytes = static_cast<std::uint32_t>(total);
    auto b = blocks_.find(buffer);
    if (b == blocks_.end() || b->second.size() < bytes || bytes < total || bytes < queryMinimumSize)
        return port::kStatusInfoLengthMismatch;

    auto* out = static_cast<unsigned char*>(buffer);
    std::memset(out, 0, total);
    std::size_t offset = 0;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        const Process& p = processes[i];
        unsigned char* entry = out + offset;
        bool last = i + 1 == processes.size();
        WriteAt<std::uint32_t>(entry, port::kSpiNextEntryOffset,
                               p.nextEntryOffset ? *p.nextEntryOffset
                                                 : last ? 0u : static_cast<std::uint32_t>(sizes[i]));
        const char16_t* text = p.imageName ? p.imageName->c_str() : nullptr;
        auto length = static_cast<std::uint16_t>(p.imageName ? p.imageName->size() * 2 : 0);
        WriteAt<std::uint16_t>(entry, port::kSpiImageNameLength, length);
        WriteAt<std::uint16_t>(entry, port::kSpiImageNameMaximumLength,
                               static_cast<std::uint16_t>(text ? length + 2 : 0));
        WriteAt<const char16_t*>(entry, port::kSpiImageNameBuffer, text);
        WriteAt<std::uintptr_t>(entry, port::kSpiUniqueProcessId, p.id);
        offset += sizes[i];
    }
    return 0;
}

// ---- the rest ----

int ProcessControl::WideCharToMultiByte(const char16_t* text, char* buffer, int bufferBytes) {
    std::string narrow = Narrow(text);
    Log("WideCharToMultiByte " + narrow + " " + std::to_string(bufferBytes));
    conversionBufferSizes.push_back(bufferBytes);
    auto needed = static_cast<int>(narrow.size() + 1);
    if (ShouldFail("WideCharToMultiByte", narrow)) {
        // The harshest failure: the text is there, but the call says it is not.
        if (needed <= bufferBytes) std::memcpy(buffer, narrow.c_str(), static_cast<std::size_t>(needed));
        return 0;
    }
    if (needed > bufferBytes) {
        // As Windows does: the buffer is filled, cut and unterminated.
        std::memcpy(buffer, narrow.data(), static_cast<std::size_t>(bufferBytes));
        return 0;
    }
    std::memcpy(buffer, narrow.c_str(), static_cast<std::size_t>(needed));
    return needed;
}

void ProcessControl::SetLastError(std::uint32_t code) {
    Log("SetLastError " + std::to_string(code));
    lastError = code;
}

port::Handle ProcessControl::OpenProcess(std::uint32_t access, bool inheritHandle,
                                         std::uint32_t processId) {
    Log("OpenProcess " + std::to_string(access) + " " + (inheritHandle ? "1" : "0") + " " +
        std::to_string(processId));
    Process* p = Find(processId);
    if (!p || !p->running || !p->canOpen || ShouldFail("OpenProcess")) return 0;
    port::Handle h = next_++;
    handles_[h] = processId;
    return h;
}

int ProcessControl::CloseHandle(port::Handle handle) {
    auto h = handles_.find(handle);
    if (h == handles_.end()) {
        Log("CloseHandle ?");
        return 0;
    }
    Log(h->second >= 0 ? "CloseHandle process " + std::to_string(h->second) : "CloseHandle snapshot");
    snapshots_.erase(handle);
    handles_.erase(h);
    return 1;
}

int ProcessControl::EnumWindows(port::WindowCallback callback, std::intptr_t param) {
    Log("EnumWindows " + std::to_string(param));
    auto all = windows;
    for (const auto& w : all) {
        if (!callback(w.hwnd, param)) {
            Log("EnumWindows stopped");
            return 0;
        }
    }
    return 1;
}

std::uint32_t ProcessControl::GetWindowThreadProcessId(port::Handle window,
                                                       std::uint32_t* processId) {
    Log("GetWindowThreadProcessId " + std::to_string(window));
    for (const auto& w : windows) {
        if (w.hwnd != window) continue;
        if (processId) *processId = w.ownerId;
        return w.ownerId + 1000;
    }
    return 0;
}

int ProcessControl::PostMessageA(port::Handle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    Log("PostMessage " + std::to_string(window) + " " + std::to_string(message) + " " +
        std::to_string(wParam) + " " + std::to_string(lParam));
    for (const auto& w : windows) {
        if (w.hwnd != window) continue;
        Process* p = Find(w.ownerId);
        if (p && message == port::kWmClose) {
            ++p->closeRequests;
            if (p->closesOnClose && p->running) {
                p->running = false;
                p->exitCode = p->ownExitCode;
            }
        }
        return 1;
    }
    return 0;
}

std::uint32_t ProcessControl::WaitForSingleObject(port::Handle handle, std::uint32_t milliseconds) {
    auto h = handles_.find(handle);
    bool isProcess = h != handles_.end() && h->second >= 0;
    auto id = isProcess ? static_cast<std::uint32_t>(h->second) : 0u;
    Log("WaitForSingleObject " + std::to_string(id) + " " + std::to_string(milliseconds));
    Process* p = isProcess ? Find(id) : nullptr;
    if (!p || ShouldFail("WaitForSingleObject")) return port::kWaitFailed;
    return p->running ? waitResultWhenRunning : port::kWaitObject0;
}

int ProcessControl::TerminateProcess(port::Handle process, std::uint32_t exitCode) {
    auto h = handles_.find(process);
    bool isProcess = h != handles_.end() && h->second >= 0;
    auto id = isProcess ? static_cast<std::uint32_t>(h->second) : 0u;
    Log("TerminateProcess " + std::to_string(id) + " " + std::to_string(exitCode));
    Process* p = isProcess ? Find(id) : nullptr;
    if (!p || !p->running || ShouldFail("TerminateProcess")) return 0;
    p->running = false;
    p->terminated = true;
    p->exitCode = exitCode;
    return 1;
}

}  // namespace fake
