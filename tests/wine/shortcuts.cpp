#include "shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace e2e {

Shortcut ReadShortcut(const std::string& path) {
    Shortcut result;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[1024] = {};
                // The stored path as it is, without resolving or expanding it.
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) result.target = text;
                text[0] = '\0';
                if (SUCCEEDED(link->GetArguments(text, sizeof text))) result.arguments = text;
                LPITEMIDLIST items = nullptr;
                if (SUCCEEDED(link->GetIDList(&items)) && items) {
                    text[0] = '\0';
                    if (SHGetPathFromIDListA(items, text)) result.itemPath = text;
                    CoTaskMemFree(items);
                }
                result.loaded = true;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

}  // namespace e2e
