#include "winapi/ui_tray_win32.h"

#include "winapi/windows_clean.h"

#include <commctrl.h>
#include <windowsx.h>

#include <map>
#include <string>
#include <vector>

#include "core/ui_tray.h"
#include "winapi/ui_win32.h"

namespace win32 {
namespace {

std::map<HWND, ui::Control*>& Controls() {
    static std::map<HWND, ui::Control*> controls;
    return controls;
}
std::map<const ui::Control*, HWND>& Windows() {
    static std::map<const ui::Control*, HWND> windows;
    return windows;
}

HWND WindowOf(const ui::Control& c) {
    if (HWND h = HandleOf(c)) return h;
    auto it = Windows().find(&c);
    return it == Windows().end() ? nullptr : it->second;
}

ui::Control* TrayControlOf(HWND hwnd) {
    auto it = Controls().find(hwnd);
    return it == Controls().end() ? nullptr : it->second;
}

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HFONT MakeFont(const ui::Font& f) {
    if (f.name == "Default") return nullptr;
    return CreateFontA(f.height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, f.underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, f.name.c_str());
}

bool SameFont(const ui::Font& a, const ui::Font& b) {
    return a.name == b.name && a.height == b.height && a.bold == b.bold && a.underline == b.underline;
}

// Bounds, caption and visibility of a child control; its own font.
class TrayPeer : public ui::Peer {
public:
    TrayPeer(ui::Control& c, HWND hwnd) : control_(c), hwnd_(hwnd) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control_));
        Controls()[hwnd_] = &control_;
        Windows()[&control_] = hwnd_;
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    }
    ~TrayPeer() override {
        Controls().erase(hwnd_);
        Windows().erase(&control_);
        if (font_) DeleteObject(font_);
    }
    void Sync() override {
        SetWindowPos(hwnd_, nullptr, control_.Left(), control_.Top(), control_.Width(), control_.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (syncCaption_) {
            char text[512] = {};
            GetWindowTextA(hwnd_, text, sizeof text);
            if (control_.Caption() != text) SetWindowTextA(hwnd_, control_.Caption().c_str());
        }
        bool shown = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != control_.Visible()) ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

protected:
    void ApplyFont(const ui::Font& f) {
        if (applied_ && SameFont(appliedFont_, f)) return;
        HFONT made = MakeFont(f);
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(made ? made : GuiFont()), FALSE);
        if (font_) DeleteObject(font_);
        font_ = made;
        appliedFont_ = f;
        applied_ = true;
    }
    ui::Control& control_;
    HWND hwnd_;
    bool syncCaption_ = true;

private:
    HFONT font_ = nullptr;
    ui::Font appliedFont_;
    bool applied_ = false;
};

class TabPeer : public TrayPeer {
public:
    TabPeer(ui::TabControl& t, HWND hwnd) : TrayPeer(t, hwnd), tabs_(t) { syncCaption_ = false; }
    void Sync() override {
        ApplyFont(tabs_.Font());
        if (shownTabs_ != tabs_.Tabs()) {
            SendMessageA(hwnd_, TCM_DELETEALLITEMS, 0, 0);
            int i = 0;
            for (const std::string& text : tabs_.Tabs()) {
                TCITEMA item = {};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<char*>(text.c_str());
                SendMessageA(hwnd_, TCM_INSERTITEMA, i++, reinterpret_cast<LPARAM>(&item));
            }
            shownTabs_ = tabs_.Tabs();
        }
        // Selecting from here raises no TCN_SELCHANGE.
        if (SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0) != tabs_.TabIndex())
            SendMessageA(hwnd_, TCM_SETCURSEL, tabs_.TabIndex(), 0);
        TrayPeer::Sync();
    }

private:
    ui::TabControl& tabs_;
    std::vector<std::string> shownTabs_;
};

class LinkPeer : public TrayPeer {
public:
    LinkPeer(ui::LinkLabel& l, HWND hwnd) : TrayPeer(l, hwnd), link_(l) {}
    void Sync() override {
        ApplyFont(link_.Font());
        TrayPeer::Sync();
    }
    bool Measure(const std::string& text, int* width, int* height) override {
        ApplyFont(link_.Font());
        MeasureText(hwnd_, reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)), text, width, height);
        return true;
    }

private:
    ui::LinkLabel& link_;
};

template <class Box>
class CheckPeer : public TrayPeer {
public:
    CheckPeer(Box& b, HWND hwnd) : TrayPeer(b, hwnd), box_(b) {}
    void Sync() override {
        WPARAM state = box_.Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageA(hwnd_, BM_GETCHECK, 0, 0)) != state)
            SendMessageA(hwnd_, BM_SETCHECK, state, 0);
        TrayPeer::Sync();
    }

private:
    Box& box_;
};

HWND MakeChild(ui::Control& c, HWND parent, const char* cls, DWORD style) {
    DWORD visible = c.Visible() ? WS_VISIBLE : 0;
    return CreateWindowExA(0, cls, c.Caption().c_str(), WS_CHILD | visible | style, c.Left(), c.Top(), c.Width(),
                           c.Height(), parent, nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                           nullptr);
}

bool FirstRadioOf(const ui::Control& c) {
    if (!c.Parent()) return true;
    for (ui::Control* other : c.Parent()->Controls())
        if (dynamic_cast<ui::RadioButton*>(other)) return other == &c;
    return true;
}

// Stacks as the class library does: windowed controls on top, then a tab
// control's page controls, the tab control, and at the bottom the pictures
// drawn on the form's own surface. Overlapping siblings clip each other so
// that a lower one never paints over a higher one.
void ArrangeStacking(ui::Form& form) {
    std::vector<ui::Control*> pages, tabs, pictures;
    for (ui::Control* c : form.Controls()) {
        if (auto* t = dynamic_cast<ui::TabControl*>(c)) {
            tabs.push_back(t);
            for (ui::Control* p : t->PageControls()) pages.push_back(p);
        }
    }
    for (ui::Control* c : form.Controls()) {
        bool page = false;
        for (ui::Control* p : pages) page = page || p == c;
        if (!page && dynamic_cast<ui::Image*>(c)) pictures.push_back(c);
    }
    std::vector<ui::Control*> order = pages;
    order.insert(order.end(), tabs.begin(), tabs.end());
    order.insert(order.end(), pictures.begin(), pictures.end());
    for (ui::Control* c : order) {
        HWND h = WindowOf(*c);
        if (!h) continue;
        SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_CLIPSIBLINGS);
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

HBRUSH FormBrush(const ui::Form& form) {
    static HBRUSH brush = nullptr;
    static unsigned color = 0;
    if (form.Color() == ui::Form::kBtnFace) return GetSysColorBrush(COLOR_BTNFACE);
    if (!brush || color != form.Color()) {
        if (brush) DeleteObject(brush);
        brush = CreateSolidBrush(form.Color());
        color = form.Color();
    }
    return brush;
}

bool TrayHook(ui::Form& form, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (auto* messages = dynamic_cast<ui::MessageForm*>(&form)) {
        ui::Message m;
        m.Msg = msg;
        m.WParam = wp;
        m.LParam = lp;
        // A handler that fails has not passed the message on; the standard
        // handling still gets it so that the window keeps working.
        bool completed = false;
        ui::App().Dispatch([&] {
            messages->Dispatch(m);
            completed = true;
        });
        if (completed && m.passedOn == 0) {
            *result = m.Result;
            return true;
        }
    }
    switch (msg) {
        case WM_COMMAND:
            if (lp == 0 && HIWORD(wp) == 0) {
                if (ui::MenuItem* item = ui::FindMenuItem(form, LOWORD(wp))) {
                    item->Click();
                    *result = 0;
                    return true;
                }
            } else if (lp && HIWORD(wp) == BN_CLICKED) {
                HWND child = reinterpret_cast<HWND>(lp);
                ui::Control* c = TrayControlOf(child);
                if (auto* box = dynamic_cast<ui::CheckBox*>(c)) {
                    box->UserSetChecked(SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED);
                    *result = 0;
                    return true;
                }
                if (auto* radio = dynamic_cast<ui::RadioButton*>(c)) {
                    radio->UserClick();
                    *result = 0;
                    return true;
                }
            }
            break;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr && hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
                if (auto* tabs = dynamic_cast<ui::TabControl*>(TrayControlOf(hdr->hwndFrom))) {
                    tabs->UserSelect(static_cast<int>(SendMessageA(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
                    *result = 0;
                    return true;
                }
            }
            break;
        }
        case WM_CONTEXTMENU:
            if (ui::PopupMenu* menu = ui::FormPopupMenu(form)) {
                POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (lp == -1) GetCursorPos(&p);  // from the keyboard
                menu->SetPopupComponent(&form);
                menu->Popup(p.x, p.y);
                *result = 0;
                return true;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (auto* link = dynamic_cast<ui::LinkLabel*>(TrayControlOf(reinterpret_cast<HWND>(lp)))) {
                HDC dc = reinterpret_cast<HDC>(wp);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, link->ActiveColor());
                *result = reinterpret_cast<LRESULT>(FormBrush(form));
                return true;
            }
            break;
        case WM_SETCURSOR:
            if (ui::Control* c = TrayControlOf(reinterpret_cast<HWND>(wp))) {
                if (c->Cursor() == ui::Cursor::HandPoint) {
                    SetCursor(LoadCursor(nullptr, IDC_HAND));
                    *result = TRUE;
                    return true;
                }
            }
            break;
        case WM_SHOWWINDOW:
            if (wp) ArrangeStacking(form);
            break;
    }
    return false;
}

std::unique_ptr<ui::Peer> MakePeer(ui::Control& c, HWND parent) {
    if (c.Parent()) SetFormHook(*c.Parent(), TrayHook);
    if (auto* t = dynamic_cast<ui::TabControl*>(&c)) {
        DWORD style = WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP;
        if (t->TabsAtBottom()) style |= TCS_BOTTOM;
        if (t->MultiLine()) style |= TCS_MULTILINE;
        return std::make_unique<TabPeer>(*t, MakeChild(c, parent, WC_TABCONTROLA, style));
    }
    if (auto* l = dynamic_cast<ui::LinkLabel*>(&c))
        return std::make_unique<LinkPeer>(*l, MakeChild(c, parent, "STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY));
    if (auto* b = dynamic_cast<ui::CheckBox*>(&c)) {
        return std::make_unique<CheckPeer<ui::CheckBox>>(
            *b, MakeChild(c, parent, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP));
    }
    if (auto* r = dynamic_cast<ui::RadioButton*>(&c)) {
        DWORD style = BS_AUTORADIOBUTTON | (FirstRadioOf(c) ? WS_GROUP | WS_TABSTOP : 0);
        return std::make_unique<CheckPeer<ui::RadioButton>>(*r, MakeChild(c, parent, "BUTTON", style));
    }
    return nullptr;
}

void PresentMenu(ui::PopupMenu& menu, int x, int y) {
    HWND owner = menu.Owner() ? WindowOf(*menu.Owner()) : nullptr;
    if (!owner) return;
    HMENU popup = CreatePopupMenu();
    for (ui::MenuItem* item : menu.Items())
        AppendMenuA(popup, MF_STRING, item->Command(), item->Caption().c_str());
    // The choice comes back as WM_COMMAND to the owner.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    // Lets the menu close when the user clicks elsewhere after a tray pop-up.
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(popup);
}

}  // namespace

void RegisterTrayWidgets() {
    RegisterPeerFactory(MakePeer);
    ui::SetPopupPresenter(PresentMenu);
    ui::SetPictureHandleGetter([](const ui::Picture& p) -> std::uintptr_t {
        const NativeImage* n = NativeOf(p);
        if (!n) return 0;
        return n->icon ? reinterpret_cast<std::uintptr_t>(n->icon) : reinterpret_cast<std::uintptr_t>(n->bitmap);
    });
}

}  // namespace win32
