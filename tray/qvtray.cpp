// Entry point of the tray program.
#include "winapi/windows_clean.h"

#include "core/os.h"
#include "tray/traymain.h"
#include "winapi/pictures_win32.h"
#include "winapi/ports_win32.h"
#include "winapi/tray_win32.h"
#include "winapi/ui_tray_win32.h"
#include "winapi/ui_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static win32::CommonPorts common;
    static win32::TrayShell tray;
    port::Ports ports = common.Ports();
    ports.tray = &tray;
    port::Install(ports);

    win32::Platform platform(instance);
    win32::RegisterTrayWidgets();
    ui::SetPictureLoader(win32::DrawPicture);
    windowHandleOf = [](const ui::Form& form) { return reinterpret_cast<port::Handle>(win32::HandleOf(form)); };
    return TrayMain(reinterpret_cast<port::Handle>(instance), &platform);
}
