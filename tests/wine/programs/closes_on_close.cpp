// Stand-in for the tray program that ends when its window is asked to close.
// It ends with its own exit code, so a test can tell it from a termination.
#include <windows.h>

namespace {

constexpr UINT kOwnExitCode = 7;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(kOwnExitCode);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "ClosesOnCloseTest";
    RegisterClassA(&wc);
    // Hidden, as the tray program's window is: it must be asked all the same.
    CreateWindowA(wc.lpszClassName, "closes on close", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                  nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
