// Entry point of the setup program.
#include "winapi/windows_clean.h"

#include "Mess.h"
#include "set1.h"
#include "winapi/pictures_win32.h"
#include "winapi/killprocess_win32.h"
#include "winapi/ports_win32.h"
#include "winapi/shelllink_win32.h"
#include "winapi/winver_win32.h"
#include "winapi/ui_win32.h"
#include "core/os.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static win32::CommonPorts common;
    static win32::ShellLinks links;
    static win32::SystemFacts facts;
    static win32::ProcessControl processControl;
    port::Ports ports = common.Ports();
    ports.links = &links;
    ports.facts = &facts;
    ports.processControl = &processControl;
    port::Install(ports);

    ui::SetPictureLoader(win32::DrawPicture);
    win32::Platform platform(instance);
    return SetupMain(ArgumentsOf(GetCommandLineA()), &platform);
}
