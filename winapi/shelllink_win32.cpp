// Win32 adapter of port::ShellLinks.
#include "winapi/windows_clean.h"

#include "winapi/shelllink_win32.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

static_assert(sizeof(port::WideChar) == sizeof(WCHAR), "wide characters are 16-bit");

namespace win32 {

namespace {
IShellLinkA* LinkOf(port::Handle link) { return reinterpret_cast<IShellLinkA*>(link); }
IPersistFile* FileOf(port::Handle file) { return reinterpret_cast<IPersistFile*>(file); }
}  // namespace

long ShellLinks::CoInitialize() { return ::CoInitialize(nullptr); }

void ShellLinks::CoUninitialize() { ::CoUninitialize(); }

long ShellLinks::CreateShellLink(port::Handle* link) {
    IShellLinkA* object = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&object));
    if (SUCCEEDED(hr)) *link = reinterpret_cast<port::Handle>(object);
    return hr;
}

long ShellLinks::SetPath(port::Handle link, const char* path) { return LinkOf(link)->SetPath(path); }

long ShellLinks::SetArguments(port::Handle link, const char* arguments) {
    return LinkOf(link)->SetArguments(arguments);
}

long ShellLinks::SetDescription(port::Handle link, const char* description) {
    return LinkOf(link)->SetDescription(description);
}

long ShellLinks::SetShowCmd(port::Handle link, int showCommand) {
    return LinkOf(link)->SetShowCmd(showCommand);
}

long ShellLinks::SetWorkingDirectory(port::Handle link, const char* folder) {
    return LinkOf(link)->SetWorkingDirectory(folder);
}

long ShellLinks::SetIconLocation(port::Handle link, const char* file, int index) {
    return LinkOf(link)->SetIconLocation(file, index);
}

long ShellLinks::QueryPersistFile(port::Handle link, port::Handle* file) {
    IPersistFile* object = nullptr;
    HRESULT hr = LinkOf(link)->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&object));
    if (SUCCEEDED(hr)) *file = reinterpret_cast<port::Handle>(object);
    return hr;
}

int ShellLinks::AnsiToWide(const char* text, port::WideChar* buffer, int capacity) {
    return ::MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(buffer), capacity);
}

long ShellLinks::Save(port::Handle file, const port::WideChar* path, bool remember) {
    return FileOf(file)->Save(reinterpret_cast<LPCOLESTR>(path), remember ? TRUE : FALSE);
}

void ShellLinks::ReleasePersistFile(port::Handle file) { FileOf(file)->Release(); }

void ShellLinks::ReleaseLink(port::Handle link) { LinkOf(link)->Release(); }

}  // namespace win32
