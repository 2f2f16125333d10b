#include "fake_tray.h"

#include <cstring>

#include "../os.h"

namespace fake {

void TrayShell::Install() { port::Os().tray = this; }

bool TrayShell::NotifyIcon(std::uint32_t command, const port::NotifyIconRecord& record) {
    Log("NotifyIcon " + std::to_string(command));
    auto key = std::make_pair(record.hWnd, record.uID);
    bool exists = icons.count(key) > 0;
    bool accepted = !ShouldFail("NotifyIcon", std::to_string(command));
    if (accepted) {
        switch (command) {
            case port::kNimAdd:
                accepted = !exists;
                break;
            case port::kNimModify:
            case port::kNimDelete:
                accepted = exists;
                break;
            default:
                accepted = false;
        }
    }
    if (accepted) {
        if (command == port::kNimDelete) {
            icons.erase(key);
        } else {
            Shown& shown = icons[key];
            if (record.uFlags & port::kNifIcon) shown.icon = record.hIcon;
            if (record.uFlags & port::kNifTip) {
                // The shell reads at most the record's 128 bytes.
                shown.tip.assign(record.szTip, strnlen(record.szTip, port::kTipSize));
            }
        }
    }
    sent.push_back({command, record, accepted});
    return accepted;
}

bool TrayShell::CursorPos(int* x, int* y) {
    Log("CursorPos");
    if (ShouldFail("CursorPos")) return false;
    *x = cursorX;
    *y = cursorY;
    return true;
}

void TrayShell::SetForeground(port::Handle window) {
    Log("SetForeground");
    foreground.push_back(window);
}

port::Handle TrayShell::LoadIcon16(port::Handle module, std::uint16_t id) {
    Log("LoadIcon16 " + std::to_string(id));
    auto it = iconResources.find({module, id});
    return it == iconResources.end() ? 0 : it->second;
}

bool TrayShell::DrawIcon16(port::Handle dc, int x, int y, port::Handle icon) {
    Log("DrawIcon16");
    drawn.push_back({dc, x, y, icon});
    return true;
}

bool TrayShell::ReadDrawItem(std::intptr_t lParam, port::DrawItemRecord* item) {
    auto it = drawItems.find(lParam);
    if (it == drawItems.end()) return false;
    *item = it->second;
    return true;
}

}  // namespace fake
