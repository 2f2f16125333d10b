// Win32 side of the widget layer: windows for forms, standard controls for
// their children, and the message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/ui.h"

namespace win32 {

// What a ui::Picture's `image` holds in the Win32 build. Owns its handles.
struct NativeImage {
    HBITMAP bitmap = nullptr;  // 32-bit top-down DIB section, or null
    HICON icon = nullptr;      // or an icon
    ~NativeImage();
};

// Wraps a bitmap (taking ownership) as a picture of its size.
ui::Picture PictureFromBitmap(HBITMAP bitmap, int width, int height);
// Wraps an icon (taking ownership).
ui::Picture PictureFromIcon(HICON icon, int width, int height);
// The native image of a picture, or null.
const NativeImage* NativeOf(const ui::Picture& p);

// Creates peers for control kinds that the base layer does not know (tray
// widgets); returns null for kinds it does not handle either.
using PeerFactory = std::function<std::unique_ptr<ui::Peer>(ui::Control& control, HWND parent)>;
void RegisterPeerFactory(PeerFactory factory);

// Size of a one-line text in a font, as a label sized to its caption needs it.
void MeasureText(HWND window, HFONT font, const std::string& text, int* width, int* height);

// The window handle of a realised form or control (null before).
HWND HandleOf(const ui::Control& control);

// Messages a form passes to its owner before default handling; returns true
// when handled (the tray form's notification callback and owner-draw).
using FormHook = std::function<bool(ui::Form& form, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)>;
void SetFormHook(ui::Form& form, FormHook hook);

class Platform : public ui::Platform {
public:
    explicit Platform(HINSTANCE instance);
    void Realise(ui::Form& form) override;
    void Run() override;
    void Quit() override;
    void Destroy(ui::Form& form) override;

private:
    HINSTANCE instance_;
};

}  // namespace win32
