// Win32 side of the tray widgets (core/ui_tray.h): a SysTabControl32 with its
// tabs at the bottom, STATIC link labels, BUTTON check boxes and radio
// buttons, pop-up menus through TrackPopupMenu, and the raw-message pass of
// ui::MessageForm.
//
// A menu item's command is its ui::MenuItem::Command(); a chosen item arrives
// as WM_COMMAND (LParam 0) at the owner form, and a WM_COMMAND with that
// number posted from outside chooses the item just the same.
#pragma once

namespace win32 {

// Registers the peers, the menu presenter and the picture handles. Call once,
// after the win32::Platform is made and before any form is created.
void RegisterTrayWidgets();

}  // namespace win32
