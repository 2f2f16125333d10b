// The shell and window calls of the tray program: the notification-area icon,
// the cursor and the foreground window for its pop-up menu, and drawing icon
// resources into owner-drawn items.
#pragma once

#include <cstdint>

#include "ports.h"

namespace port {

constexpr std::uint32_t kNimAdd = 0;     // NIM_ADD
constexpr std::uint32_t kNimModify = 1;  // NIM_MODIFY
constexpr std::uint32_t kNimDelete = 2;  // NIM_DELETE

constexpr std::uint32_t kNifMessage = 1;  // NIF_MESSAGE
constexpr std::uint32_t kNifIcon = 2;     // NIF_ICON
constexpr std::uint32_t kNifTip = 4;      // NIF_TIP

constexpr int kTipSize = 128;

// The fields of NOTIFYICONDATAA the program fills. The adapter supplies the
// record's size and leaves the fields after szTip zero.
struct NotifyIconRecord {
    Handle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    Handle hIcon = 0;
    char szTip[kTipSize] = {};
};

// The fields of DRAWITEMSTRUCT the program reads.
struct DrawItemRecord {
    std::uint32_t CtlID = 0;
    Handle hDC = 0;
    int left = 0;  // rcItem.left
    int top = 0;   // rcItem.top
};

class TrayShell {
public:
    virtual ~TrayShell() = default;
    // Shell_NotifyIconA(command, record); true when the shell accepted it.
    virtual bool NotifyIcon(std::uint32_t command, const NotifyIconRecord& record) = 0;
    // GetCursorPos, in screen coordinates; false when it fails.
    virtual bool CursorPos(int* x, int* y) = 0;
    // SetForegroundWindow; the result is of no use to the program.
    virtual void SetForeground(Handle window) = 0;
    // LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR); 0 when none.
    virtual Handle LoadIcon16(Handle module, std::uint16_t id) = 0;
    // DrawIconEx(dc, x, y, icon, 16, 16, 0, NULL, DI_NORMAL).
    virtual bool DrawIcon16(Handle dc, int x, int y, Handle icon) = 0;
    // The DRAWITEMSTRUCT that a WM_DRAWITEM's LParam points to; false for a
    // null pointer.
    virtual bool ReadDrawItem(std::intptr_t lParam, DrawItemRecord* item) = 0;
};

}  // namespace port
