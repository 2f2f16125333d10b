// Stand-in for a program of the tray program's name that ignores requests to
// close: only a termination ends it.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;  // ignored
    if (message == WM_DESTROY) {
        PostQuitMessage(9);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "IgnoresCloseTest";
    RegisterClassA(&wc);
    CreateWindowA(wc.lpszClassName, "ignores close", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                  100, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
