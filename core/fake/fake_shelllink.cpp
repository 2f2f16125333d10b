#include "fake_shelllink.h"

namespace fake {

std::u16string ShellLinks::Widen(const std::string& text) {
    std::u16string wide;
    for (unsigned char c : text) wide.push_back(static_cast<char16_t>(c));
    return wide;
}

std::string ShellLinks::Narrow(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text) narrow.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return narrow;
}

std::optional<ShellLinks::Link> ShellLinks::Saved(const std::string& path) const {
    for (const auto& [wide, link] : saved)
        if (Lower(Narrow(wide)) == Lower(path)) return link;
    return std::nullopt;
}

ShellLinks::Link* ShellLinks::Object(port::Handle link) {
    auto it = links_.find(link);
    return it == links_.end() ? nullptr : &it->second;
}

long ShellLinks::CoInitialize() {
    Log("CoInitialize");
    ++initializations;
    return ShouldFail("CoInitialize") ? failStatus : port::kSOk;
}

void ShellLinks::CoUninitialize() {
    Log("CoUninitialize");
    ++uninitializations;
}

long ShellLinks::CreateShellLink(port::Handle* link) {
    Log("CreateShellLink");
    if (ShouldFail("CreateShellLink")) return failStatus;
    *link = next_++;
    links_[*link] = Link{};
    ++liveLinks;
    return port::kSOk;
}

long ShellLinks::SetPath(port::Handle link, const char* path) {
    Log(std::string("SetPath ") + path);
    Link* l = Object(link);
    if (!l || ShouldFail("SetPath", path)) return failStatus;
    l->target = path;
    return port::kSOk;
}

long ShellLinks::SetArguments(port::Handle link, const char* arguments) {
    Log(std::string("SetArguments ") + arguments);
    Link* l = Object(link);
    if (!l || ShouldFail("SetArguments", arguments)) return failStatus;
    l->arguments = arguments;
    return port::kSOk;
}

long ShellLinks::SetDescription(port::Handle link, const char* description) {
    Log(std::string("SetDescription ") + description);
    Link* l = Object(link);
    if (!l || ShouldFail("SetDescription", description)) return failStatus;
    l->description = description;
    return port::kSOk;
}

long ShellLinks::SetShowCmd(port::Handle link, int showCommand) {
    Log("SetShowCmd " + std::to_string(showCommand));
    Link* l = Object(link);
    if (!l || ShouldFail("SetShowCmd", std::to_string(showCommand))) return failStatus;
    l->showCommand = showCommand;
    return port::kSOk;
}

long ShellLinks::SetWorkingDirectory(port::Handle link, const char* folder) {
    Log(std::string("SetWorkingDirectory ") + folder);
    Link* l = Object(link);
    if (!l || ShouldFail("SetWorkingDirectory", folder)) return failStatus;
    l->workingFolder = folder;
    return port::kSOk;
}

long ShellLinks::SetIconLocation(port::Handle link, const char* file, int index) {
    Log(std::string("SetIconLocation ") + file + " " + std::to_string(index));
    Link* l = Object(link);
    if (!l || ShouldFail("SetIconLocation", file)) return failStatus;
    l->iconFile = file;
    l->iconIndex = index;
    return port::kSOk;
}

long ShellLinks::QueryPersistFile(port::Handle link, port::Handle* file) {
    Log("QueryPersistFile");
    if (!Object(link) || ShouldFail("QueryPersistFile")) return failStatus;
    *file = next_++;
    persistFiles_[*file] = link;
    ++livePersistFiles;
    return port::kSOk;
}

int ShellLinks::AnsiToWide(const char* text, port::WideChar* buffer, int capacity) {
    const std::string s = text;
    Log("AnsiToWide " + s);
    if (ShouldFail("AnsiToWide", s)) return 0;
    const std::u16string wide = Widen(s);
    if (static_cast<int>(wide.size()) + 1 > capacity) return 0;  // ERROR_INSUFFICIENT_BUFFER
    for (std::size_t i = 0; i < wide.size(); ++i) buffer[i] = wide[i];
    buffer[wide.size()] = u'\0';
    return static_cast<int>(wide.size()) + 1;
}

long ShellLinks::Save(port::Handle file, const port::WideChar* path, bool remember) {
    const std::u16string wide(path);
    const std::string narrow = Narrow(wide);
    Log("Save " + narrow + (remember ? " remember" : ""));
    auto it = persistFiles_.find(file);
    if (it == persistFiles_.end() || ShouldFail("Save", narrow)) return failStatus;
    const Link* l = Object(it->second);
    if (!l) return failStatus;
    if (files) {
        const std::string resolved = files->Resolve(narrow);
        const std::string::size_type slash = resolved.find_last_of('\\');
        const std::string parent = slash == std::string::npos ? "" : resolved.substr(0, slash);
        const bool root = parent.size() <= 2;
        if (!root && !files->HasFolder(parent)) return pathNotFound;
        if (files->HasFolder(resolved)) return port::HResult(0x80070005u);  // access denied
        files->files[resolved] = "lnk " + l->target + " " + l->arguments;
    }
    saved[wide] = *l;
    return port::kSOk;
}

void ShellLinks::ReleasePersistFile(port::Handle file) {
    Log("ReleasePersistFile");
    if (persistFiles_.erase(file)) --livePersistFiles;
}

void ShellLinks::ReleaseLink(port::Handle link) {
    Log("ReleaseLink");
    if (links_.erase(link)) --liveLinks;
}

}  // namespace fake
