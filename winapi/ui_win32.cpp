#include "ui_win32.h"

#include <commctrl.h>

#include <map>
#include <vector>

namespace win32 {

NativeImage::~NativeImage() {
    if (bitmap) DeleteObject(bitmap);
    if (icon) DestroyIcon(icon);
}

ui::Picture PictureFromBitmap(HBITMAP bitmap, int width, int height) {
    auto native = std::make_shared<NativeImage>();
    native->bitmap = bitmap;
    ui::Picture p;
    p.width = width;
    p.height = height;
    p.image = native;
    return p;
}

ui::Picture PictureFromIcon(HICON icon, int width, int height) {
    auto native = std::make_shared<NativeImage>();
    native->icon = icon;
    ui::Picture p;
    p.width = width;
    p.height = height;
    p.image = native;
    return p;
}

const NativeImage* NativeOf(const ui::Picture& p) {
    return static_cast<const NativeImage*>(p.image.get());
}

namespace {

constexpr char kFormClass[] = "BrevokForm";
constexpr char kImageClass[] = "BrevokImage";

HINSTANCE g_instance = nullptr;
std::vector<PeerFactory>& Factories() {
    static std::vector<PeerFactory> factories;
    return factories;
}
std::map<const ui::Control*, HWND>& Handles() {
    static std::map<const ui::Control*, HWND> handles;
    return handles;
}
std::map<const ui::Form*, FormHook>& Hooks() {
    static std::map<const ui::Form*, FormHook> hooks;
    return hooks;
}

ui::Control* ControlOf(HWND hwnd) {
    return reinterpret_cast<ui::Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

LPCSTR CursorId(ui::Cursor c) {
    switch (c) {
        case ui::Cursor::HourGlass: return IDC_WAIT;
        case ui::Cursor::HandPoint: return IDC_HAND;
        case ui::Cursor::Default: break;
    }
    return IDC_ARROW;
}

int CALLBACK NoteFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether a font family with Cyrillic glyphs of this name is installed.
bool HasCyrillicFont(const std::string& name) {
    LOGFONTA lf = {};
    lf.lfCharSet = RUSSIAN_CHARSET;
    lstrcpynA(lf.lfFaceName, name.c_str(), LF_FACESIZE);
    HDC dc = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExA(dc, &lf, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

HFONT MakeFont(const ui::Font& f) {
    std::string face = f.name;
    if (face == "Default") return nullptr;
    if (!HasCyrillicFont(face)) {
        for (const char* fallback : {"Arial", "Tahoma", "DejaVu Sans", "Liberation Sans"}) {
            if (HasCyrillicFont(fallback)) {
                face = fallback;
                break;
            }
        }
    }
    return CreateFontA(f.height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, f.underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, face.c_str());
}

// Common behaviour of a child control's peer: bounds, caption, visibility.
class ChildPeer : public ui::Peer {
public:
    ChildPeer(ui::Control& c, HWND hwnd) : control_(c), hwnd_(hwnd) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control_));
        Handles()[&control_] = hwnd_;
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    }
    ~ChildPeer() override { Handles().erase(&control_); }
    void Sync() override {
        SetWindowPos(hwnd_, nullptr, control_.Left(), control_.Top(), control_.Width(),
                     control_.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        char text[512] = {};
        GetWindowTextA(hwnd_, text, sizeof text);
        if (control_.Caption() != text) SetWindowTextA(hwnd_, control_.Caption().c_str());
        bool shown = IsWindowVisible(hwnd_) || (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE);
        if (shown != control_.Visible()) ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

protected:
    ui::Control& control_;
    HWND hwnd_;
};

class GaugePeer : public ChildPeer {
public:
    GaugePeer(ui::Gauge& g, HWND hwnd) : ChildPeer(g, hwnd), gauge_(g) {}
    void Sync() override {
        ChildPeer::Sync();
        SendMessageA(hwnd_, PBM_SETRANGE32, gauge_.MinValue(), gauge_.MaxValue());
        SendMessageA(hwnd_, PBM_SETPOS, gauge_.Value(), 0);
    }

private:
    ui::Gauge& gauge_;
};

class LabelPeer : public ChildPeer {
public:
    LabelPeer(ui::Label& l, HWND hwnd) : ChildPeer(l, hwnd), label_(l) {}
    ~LabelPeer() override {
        if (font_) DeleteObject(font_);
    }
    void Sync() override {
        if (font_ == nullptr || applied_.name != label_.Font().name ||
            applied_.height != label_.Font().height || applied_.bold != label_.Font().bold ||
            applied_.underline != label_.Font().underline) {
            HFONT f = MakeFont(label_.Font());
            SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f ? f : GuiFont()), FALSE);
            if (font_) DeleteObject(font_);
            font_ = f;
            applied_ = label_.Font();
        }
        ChildPeer::Sync();
    }
    bool Measure(const std::string& text, int* width, int* height) override {
        MeasureText(hwnd_, font_ ? font_ : GuiFont(), text, width, height);
        return true;
    }

private:
    ui::Label& label_;
    HFONT font_ = nullptr;
    ui::Font applied_;
};

class ImagePeer : public ChildPeer {
public:
    ImagePeer(ui::Image& i, HWND hwnd) : ChildPeer(i, hwnd) {}
};

LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* image = dynamic_cast<ui::Image*>(ControlOf(hwnd));
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            // The parent's background shows where the picture does not reach.
            auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
                GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                reinterpret_cast<LPARAM>(hwnd)));
            FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
            if (image) {
                const ui::Picture& p = image->Picture();
                int x = 0, y = 0;
                if (image->Center()) {
                    x = (rc.right - p.width) / 2;
                    y = (rc.bottom - p.height) / 2;
                }
                if (const NativeImage* n = NativeOf(p)) {
                    if (n->bitmap) {
                        HDC mem = CreateCompatibleDC(dc);
                        HGDIOBJ old = SelectObject(mem, n->bitmap);
                        BitBlt(dc, x, y, p.width, p.height, mem, 0, 0, SRCCOPY);
                        SelectObject(mem, old);
                        DeleteDC(mem);
                    } else if (n->icon) {
                        DrawIconEx(dc, x, y, n->icon, p.width, p.height, 0, nullptr, DI_NORMAL);
                    }
                }
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONUP:
            if (image) image->Click();
            return 0;
        case WM_SETCURSOR:
            if (image) {
                SetCursor(LoadCursor(nullptr, CursorId(image->Cursor())));
                return TRUE;
            }
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class TimerPeer : public ui::Peer {
public:
    TimerPeer(ui::Timer& t, HWND form) : timer_(t), form_(form) {}
    ~TimerPeer() override { KillTimer(form_, Id()); }
    void Sync() override {
        if (timer_.Enabled() && timer_.Interval() > 0 && timer_.OnTimer) {
            SetTimer(form_, Id(), timer_.Interval(), nullptr);
        } else {
            KillTimer(form_, Id());
        }
    }
    UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(&timer_); }

private:
    ui::Timer& timer_;
    HWND form_;
};

class FormPeer : public ui::Peer {
public:
    FormPeer(ui::Form& f, HWND hwnd) : form_(f), hwnd_(hwnd) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(static_cast<ui::Control*>(&form_)));
        Handles()[&form_] = hwnd_;
    }
    ~FormPeer() override {
        Handles().erase(&form_);
        if (brush_) DeleteObject(brush_);
    }
    void Sync() override {
        char text[512] = {};
        GetWindowTextA(hwnd_, text, sizeof text);
        if (form_.Caption() != text) SetWindowTextA(hwnd_, form_.Caption().c_str());
        bool visible = IsWindowVisible(hwnd_);
        UINT flags = SWP_NOACTIVATE | SWP_NOMOVE;
        int x = 0, y = 0;
        if (form_.Visible() && !visible && !placed_) {
            // Centred the first time it appears, then left where the user puts it.
            placed_ = true;
            RECT work;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            x = work.left + (work.right - work.left - form_.Width()) / 2;
            y = work.top + (work.bottom - work.top - form_.Height()) / 2;
            flags &= ~SWP_NOMOVE;
        }
        HWND after = form_.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST;
        SetWindowPos(hwnd_, after, x, y, form_.Width(), form_.Height(), flags);
        if (form_.Visible() && !visible) {
            ShowWindow(hwnd_, SW_SHOW);
            SetForegroundWindow(hwnd_);
        } else if (!form_.Visible() && visible) {
            ShowWindow(hwnd_, SW_HIDE);
        }
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    HBRUSH Brush() {
        if (form_.Color() == ui::Form::kBtnFace) return GetSysColorBrush(COLOR_BTNFACE);
        if (!brush_ || brushColor_ != form_.Color()) {
            if (brush_) DeleteObject(brush_);
            brush_ = CreateSolidBrush(form_.Color());
            brushColor_ = form_.Color();
        }
        return brush_;
    }

private:
    ui::Form& form_;
    HWND hwnd_;
    HBRUSH brush_ = nullptr;
    unsigned brushColor_ = 0;
    bool placed_ = false;
};

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* form = static_cast<ui::Form*>(ControlOf(hwnd));
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    auto hook = Hooks().find(form);
    if (hook != Hooks().end()) {
        LRESULT result = 0;
        if (hook->second(*form, msg, wp, lp, &result)) return result;
    }
    switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && lp) {
                if (ui::Control* c = ControlOf(reinterpret_cast<HWND>(lp))) c->Click();
                return 0;
            }
            break;
        case WM_TIMER:
            for (ui::Timer* t : form->Timers()) {
                if (reinterpret_cast<UINT_PTR>(t) == wp) {
                    t->Fire();
                    return 0;
                }
            }
            break;
        case WM_CLOSE:
            form->Close();
            return 0;
        case WM_ERASEBKGND: {
            RECT rc;
            GetClientRect(hwnd, &rc);
            auto* peer = static_cast<FormPeer*>(form->GetPeer());
            if (!peer) break;
            FillRect(reinterpret_cast<HDC>(wp), &rc, peer->Brush());
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            auto* peer = static_cast<FormPeer*>(form->GetPeer());
            if (!peer) break;
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(peer->Brush());
        }
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && form->Cursor() != ui::Cursor::Default) {
                SetCursor(LoadCursor(nullptr, CursorId(form->Cursor())));
                return TRUE;
            }
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void MeasureText(HWND window, HFONT font, const std::string& text, int* width, int* height) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    *width = size.cx;
    *height = tm.tmHeight;
}

void RegisterPeerFactory(PeerFactory factory) { Factories().push_back(std::move(factory)); }

HWND HandleOf(const ui::Control& control) {
    auto it = Handles().find(&control);
    return it == Handles().end() ? nullptr : it->second;
}

void SetFormHook(ui::Form& form, FormHook hook) { Hooks()[&form] = std::move(hook); }

Platform::Platform(HINSTANCE instance) : instance_(instance) {
    g_instance = instance;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES |
                                                ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(instance, "MAINICON");
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);

    WNDCLASSEXA ic = {};
    ic.cbSize = sizeof ic;
    ic.lpfnWndProc = ImageProc;
    ic.hInstance = instance;
    ic.hCursor = LoadCursor(nullptr, IDC_ARROW);
    ic.lpszClassName = kImageClass;
    RegisterClassExA(&ic);
}

void Platform::Realise(ui::Form& form) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    DWORD exStyle = form.Border() == ui::BorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
    if (form.StayOnTop()) exStyle |= WS_EX_TOPMOST;
    HWND hwnd = CreateWindowExA(exStyle, kFormClass, form.Caption().c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, form.Width(), form.Height(), nullptr, nullptr,
                                instance_, nullptr);
    form.AttachPeer(std::make_unique<FormPeer>(form, hwnd));

    for (ui::Control* c : form.Controls()) {
        std::unique_ptr<ui::Peer> peer;
        for (const PeerFactory& factory : Factories()) {
            peer = factory(*c, hwnd);
            if (peer) break;
        }
        if (!peer) {
            DWORD visible = c->Visible() ? WS_VISIBLE : 0;
            auto make = [&](const char* cls, DWORD s) {
                return CreateWindowExA(0, cls, c->Caption().c_str(), WS_CHILD | visible | s, c->Left(),
                                       c->Top(), c->Width(), c->Height(), hwnd, nullptr, instance_,
                                       nullptr);
            };
            if (auto* g = dynamic_cast<ui::Gauge*>(c)) {
                peer = std::make_unique<GaugePeer>(*g, make(PROGRESS_CLASSA, 0));
            } else if (auto* l = dynamic_cast<ui::Label*>(c)) {
                peer = std::make_unique<LabelPeer>(*l, make("STATIC", SS_LEFT | SS_NOPREFIX));
            } else if (auto* i = dynamic_cast<ui::Image*>(c)) {
                peer = std::make_unique<ImagePeer>(*i, make(kImageClass, 0));
            } else if (dynamic_cast<ui::Button*>(c)) {
                peer = std::make_unique<ChildPeer>(*c, make("BUTTON", BS_PUSHBUTTON | WS_TABSTOP));
            }
        }
        if (peer) c->AttachPeer(std::move(peer));
        if (auto* l = dynamic_cast<ui::Label*>(c)) l->Resize();
    }
    for (ui::Timer* t : form.Timers()) t->AttachPeer(std::make_unique<TimerPeer>(*t, hwnd));
}

void Platform::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && IsDialogMessageA(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Platform::Quit() { PostQuitMessage(0); }

void Platform::Destroy(ui::Form& form) {
    HWND hwnd = HandleOf(form);
    for (ui::Timer* t : form.Timers()) t->AttachPeer(nullptr);
    for (ui::Control* c : form.Controls()) c->AttachPeer(nullptr);
    Hooks().erase(&form);
    form.AttachPeer(nullptr);
    if (hwnd) DestroyWindow(hwnd);
}

}  // namespace win32
