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
    static win32::Environment env;
    static win32::FileSystem files;
    static win32::Registry registry;
    static win32::Shell shell;
    static win32::Dialogs dialogs;
    static win32::Processes processes;
    static win32::Modules modules;
    static win32::ShellLinks links;
    static win32::SystemFacts facts;
    static win32::ProcessControl processControl;
    port::Ports ports;
    ports.env = &env;
    ports.files = &files;
    ports.registry = &registry;
    ports.shell = &shell;
    ports.dialogs = &dialogs;
    ports.processes = &processes;
    ports.modules = &modules;
    ports.links = &links;
    ports.facts = &facts;
    ports.processControl = &processControl;
    port::Install(ports);

    ui::SetPictureLoader(win32::DrawPicture);
    win32::Platform platform(instance);
    return SetupMain(ArgumentsOf(GetCommandLineA()), &platform);
}
