// The yardstick for the tray program: a plain window program that makes a
// hidden window, adds one notification icon while the window is created, and
// waits for messages until it is closed. Nothing else, so that what the tray
// program costs beyond this is its own.
#include <windows.h>
#include <shellapi.h>

namespace {

const char kClass[] = "BrevokBenchMinimalWindow";
const char kTitle[] = "Brevok Bench Minimal Window";
constexpr UINT kIconMessage = WM_APP + 100;
constexpr UINT kIconId = 1;

void Icon(HWND window, DWORD command) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;  // the layout the tray program uses
    data.hWnd = window;
    data.uID = kIconId;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    lstrcpynA(data.szTip, kTitle, sizeof data.szTip);
    Shell_NotifyIconA(command, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Icon(window, NIM_ADD);
            return 0;
        case WM_DESTROY:
            Icon(window, NIM_DELETE);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(0, kClass, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
