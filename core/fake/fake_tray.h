// In-memory stand-in for port::TrayShell. Acts as the notification area: an
// icon exists from an accepted add until an accepted delete, and a modify or
// delete of an icon that does not exist is refused, as the shell does. Every
// record sent is kept in `sent`, accepted or not. Fail("NotifyIcon") refuses
// every command, Fail("NotifyIcon", "1") only modifies; Fail("CursorPos")
// makes the cursor position unreadable.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../tray_port.h"
#include "fake_ports.h"

namespace fake {

class TrayShell : public port::TrayShell, public Faults {
public:
    struct Sent {
        std::uint32_t command;
        port::NotifyIconRecord record;
        bool accepted;
    };
    std::vector<Sent> sent;
    // Icons in the notification area: (window, id) -> the icon handle and tip shown.
    struct Shown {
        port::Handle icon = 0;
        std::string tip;
    };
    std::map<std::pair<port::Handle, std::uint32_t>, Shown> icons;

    int cursorX = 640, cursorY = 1000;
    std::vector<port::Handle> foreground;  // windows brought to the front, in order
    // Icon resources by (module, id); handles handed out by LoadIcon16.
    std::map<std::pair<port::Handle, std::uint16_t>, port::Handle> iconResources;
    struct Drawn {
        port::Handle dc;
        int x, y;
        port::Handle icon;
    };
    std::vector<Drawn> drawn;
    // DRAWITEMSTRUCTs by the LParam that points to them.
    std::map<std::intptr_t, port::DrawItemRecord> drawItems;

    // Installs this fake as the process's tray port (the rest stays as it is).
    void Install();

    bool NotifyIcon(std::uint32_t command, const port::NotifyIconRecord& record) override;
    bool CursorPos(int* x, int* y) override;
    void SetForeground(port::Handle window) override;
    port::Handle LoadIcon16(port::Handle module, std::uint16_t id) override;
    bool DrawIcon16(port::Handle dc, int x, int y, port::Handle icon) override;
    bool ReadDrawItem(std::intptr_t lParam, port::DrawItemRecord* item) override;
};

}  // namespace fake
