#include "ui_tray.h"

#include <algorithm>
#include <map>

namespace ui {

namespace {

bool Names(const std::vector<std::string>& tabs, int index) {
    return index >= 0 && index < static_cast<int>(tabs.size());
}

std::map<const Form*, std::vector<PopupMenu*>>& Menus() {
    static std::map<const Form*, std::vector<PopupMenu*>> menus;
    return menus;
}

std::map<const Form*, PopupMenu*>& FormMenus() {
    static std::map<const Form*, PopupMenu*> menus;
    return menus;
}

PopupPresenter& Presenter() {
    static PopupPresenter presenter;
    return presenter;
}

PictureHandleGetter& HandleGetter() {
    static PictureHandleGetter getter;
    return getter;
}

}  // namespace

// ---- TabControl ----

void TabControl::SetTabs(const std::vector<std::string>& tabs) {
    tabs_ = tabs;
    if (!Names(tabs_, tabIndex_)) tabIndex_ = -1;
    Changed();
}

void TabControl::SetTabIndex(int index) {
    if (index != -1 && !Names(tabs_, index)) return;
    tabIndex_ = index;
    Changed();
}

void TabControl::UserSelect(int index) {
    if (!Names(tabs_, index) || index == tabIndex_) return;
    tabIndex_ = index;
    Changed();
    if (OnChange) App().Dispatch(OnChange);
}

// ---- LinkLabel ----

LinkLabel::LinkLabel(Form* parent) : Label(parent) {
    ui::Font f;
    f.name = "Arial";
    f.underline = true;
    SetFont(f);
    SetCursor(ui::Cursor::HandPoint);
}

// ---- CheckBox ----

void CheckBox::UserSetChecked(bool v) {
    if (v == checked_) {
        Changed();  // the peer may show another state; put it back in line
        return;
    }
    checked_ = v;
    Changed();
    Click();
}

// ---- RadioButton ----

void RadioButton::SetChecked(bool v) {
    if (v && Parent()) {
        for (Control* c : Parent()->Controls()) {
            auto* other = dynamic_cast<RadioButton*>(c);
            if (other && other != this && other->checked_) {
                other->checked_ = false;
                other->Changed();
            }
        }
    }
    checked_ = v;
    Changed();
}

void RadioButton::UserClick() {
    if (checked_) {
        Changed();
        return;
    }
    SetChecked(true);
    Click();
}

// ---- menus ----

MenuItem::MenuItem(PopupMenu* menu) {
    if (!menu) return;
    unsigned used = 0;
    for (PopupMenu* m : Menus()[menu->Owner()]) used += static_cast<unsigned>(m->Items().size());
    command_ = kFirstMenuCommand + used;
    menu->Add(this);
}

void MenuItem::Click() {
    if (OnClick) App().Dispatch(OnClick);
}

PopupMenu::PopupMenu(Form* owner) : owner_(owner) { Menus()[owner_].push_back(this); }

PopupMenu::~PopupMenu() {
    auto& list = Menus()[owner_];
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (list.empty()) Menus().erase(owner_);
    auto it = FormMenus().find(owner_);
    if (it != FormMenus().end() && it->second == this) FormMenus().erase(it);
}

void PopupMenu::Popup(int x, int y) {
    if (Presenter()) Presenter()(*this, x, y);
}

void SetPopupPresenter(PopupPresenter presenter) { Presenter() = std::move(presenter); }

void SetFormPopupMenu(const Form& form, PopupMenu* menu) {
    if (menu) {
        FormMenus()[&form] = menu;
    } else {
        FormMenus().erase(&form);
    }
}

PopupMenu* FormPopupMenu(const Form& form) {
    auto it = FormMenus().find(&form);
    return it == FormMenus().end() ? nullptr : it->second;
}

MenuItem* FindMenuItem(const Form& form, unsigned command) {
    auto it = Menus().find(&form);
    if (it == Menus().end()) return nullptr;
    for (PopupMenu* m : it->second)
        for (MenuItem* item : m->Items())
            if (item->Command() == command) return item;
    return nullptr;
}

// ---- picture handles ----

void SetPictureHandleGetter(PictureHandleGetter getter) { HandleGetter() = std::move(getter); }

std::uintptr_t PictureHandle(const Picture& picture) {
    if (HandleGetter()) return HandleGetter()(picture);
    return reinterpret_cast<std::uintptr_t>(picture.image.get());
}

}  // namespace ui
