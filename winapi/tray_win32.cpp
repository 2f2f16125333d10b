#include "winapi/tray_win32.h"

#include "winapi/windows_clean.h"

#include <shellapi.h>

namespace win32 {

bool TrayShell::NotifyIcon(std::uint32_t command, const port::NotifyIconRecord& record) {
    // The shell-5.0 layout, which every supported Windows accepts.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    lstrcpynA(data.szTip, record.szTip, sizeof data.szTip);
    return Shell_NotifyIconA(command, &data) != FALSE;
}

bool TrayShell::CursorPos(int* x, int* y) {
    POINT p = {};
    if (!GetCursorPos(&p)) return false;
    *x = p.x;
    *y = p.y;
    return true;
}

void TrayShell::SetForeground(port::Handle window) { SetForegroundWindow(reinterpret_cast<HWND>(window)); }

port::Handle TrayShell::LoadIcon16(port::Handle module, std::uint16_t id) {
    return reinterpret_cast<port::Handle>(LoadImageA(reinterpret_cast<HINSTANCE>(module), MAKEINTRESOURCEA(id),
                                                     IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

bool TrayShell::DrawIcon16(port::Handle dc, int x, int y, port::Handle icon) {
    return DrawIconEx(reinterpret_cast<HDC>(dc), x, y, reinterpret_cast<HICON>(icon), 16, 16, 0, nullptr,
                      DI_NORMAL) != FALSE;
}

bool TrayShell::ReadDrawItem(std::intptr_t lParam, port::DrawItemRecord* item) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!d) return false;
    item->CtlID = d->CtlID;
    item->hDC = reinterpret_cast<port::Handle>(d->hDC);
    item->left = d->rcItem.left;
    item->top = d->rcItem.top;
    return true;
}

}  // namespace win32
