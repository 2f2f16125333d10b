// Win32 adapter of the tray program's shell and window calls.
#pragma once

#include "core/tray_port.h"

namespace win32 {

class TrayShell : public port::TrayShell {
public:
    bool NotifyIcon(std::uint32_t command, const port::NotifyIconRecord& record) override;
    bool CursorPos(int* x, int* y) override;
    void SetForeground(port::Handle window) override;
    port::Handle LoadIcon16(port::Handle module, std::uint16_t id) override;
    bool DrawIcon16(port::Handle dc, int x, int y, port::Handle icon) override;
    bool ReadDrawItem(std::intptr_t lParam, port::DrawItemRecord* item) override;
};

}  // namespace win32
