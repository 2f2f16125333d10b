// Widgets the tray program's window needs beyond core/ui.h: a tab control,
// link labels, a check box, radio buttons, a pop-up menu, and a form that sees
// its raw window messages before the standard handling.
//
// Events follow one rule: they report what the user did. Setting a property
// from code (SetTabIndex, SetChecked) changes the state silently; the
// platform's peer reports a user's action through the User* methods, which
// change the state and then raise the event through the application's
// dispatch, so an exception from a handler is shown and does not escape.
//
// Picture area of a tab control: the tab control has no children in this
// layer. A picture shown "in" a tab is an ordinary child of the form, placed
// over the tab control's display area and listed in its PageControls. The
// Win32 side stacks as the class library does: windowed controls on top, then
// a tab control's page controls, then the tab control, then the pictures
// drawn on the form's own surface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui.h"

namespace ui {

class TabControl : public Control {
public:
    using Control::Control;

    const std::vector<std::string>& Tabs() const { return tabs_; }
    // Replaces the tab list; the index is kept when it still names a tab,
    // otherwise no tab is selected (-1).
    void SetTabs(const std::vector<std::string>& tabs);
    // -1 when no tab is selected.
    int TabIndex() const { return tabIndex_; }
    // From code: selects a tab (or none with -1) without raising OnChange.
    // An index that names no tab is ignored.
    void SetTabIndex(int index);
    // The user chose tab `index`: selects it and raises OnChange when the
    // selection changed. An index that names no tab is ignored.
    void UserSelect(int index);
    std::function<void()> OnChange;

    const ui::Font& Font() const { return font_; }
    void SetFont(const ui::Font& f) { font_ = f; Changed(); }
    bool TabsAtBottom() const { return tabsAtBottom_; }
    void SetTabsAtBottom(bool v) { tabsAtBottom_ = v; Changed(); }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v) { multiLine_ = v; Changed(); }

    // Controls shown in the display area (children of the tab control in the
    // stored form). They remain children of the form and keep form
    // coordinates; the platform stacks them just above the tab control.
    const std::vector<Control*>& PageControls() const { return pageControls_; }
    void AddPageControl(Control* c) { pageControls_.push_back(c); }

private:
    std::vector<Control*> pageControls_;
    std::vector<std::string> tabs_;
    int tabIndex_ = -1;
    ui::Font font_;
    bool tabsAtBottom_ = false;
    bool multiLine_ = false;
};

// Text that opens something when clicked (OnClick, raised through Click()).
// Like every label it sizes itself to its caption when its size can be
// measured (on the platform; in host tests only with a measurer), so that
// its neighbours can be placed by its width.
class LinkLabel : public Label {
public:
    explicit LinkLabel(Form* parent);
    unsigned ActiveColor() const { return activeColor_; }  // 0x00BBGGRR
    void SetActiveColor(unsigned c) { activeColor_ = c; Changed(); }
    static constexpr unsigned kBlue = 0x00FF0000u;

private:
    unsigned activeColor_ = kBlue;
};

class CheckBox : public Control {
public:
    using Control::Control;
    bool Checked() const { return checked_; }
    // From code: no OnClick.
    void SetChecked(bool v) { checked_ = v; Changed(); }
    // The user put the box into state `v`: raises OnClick when that changed it.
    void UserSetChecked(bool v);
    // The user clicked the box: it toggles and raises OnClick.
    void UserClick() { UserSetChecked(!checked_); }

private:
    bool checked_ = false;
};

// The radio buttons of one form form one exclusive group.
class RadioButton : public Control {
public:
    using Control::Control;
    bool Checked() const { return checked_; }
    // From code: checking one unchecks the form's other radio buttons; no
    // OnClick. Unchecking touches only this button.
    void SetChecked(bool v);
    // The user clicked the button: when it was not checked it becomes the
    // group's checked button and OnClick runs; a click on the checked button
    // changes nothing and raises nothing.
    void UserClick();

private:
    bool checked_ = false;
};

class PopupMenu;

// Menu items are numbered per owner form in creation order from
// kFirstMenuCommand; the Win32 side uses the number as the item's command.
constexpr unsigned kFirstMenuCommand = 0x7100;

class MenuItem {
public:
    explicit MenuItem(PopupMenu* menu);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    unsigned Command() const { return command_; }
    // Chosen by the user: runs OnClick through the application's dispatch.
    void Click();
    std::function<void()> OnClick;

private:
    std::string caption_;
    unsigned command_ = 0;
};

class PopupMenu {
public:
    explicit PopupMenu(Form* owner);
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    ~PopupMenu();

    Form* Owner() const { return owner_; }
    const std::vector<MenuItem*>& Items() const { return items_; }
    void Add(MenuItem* item) { items_.push_back(item); }
    // The component the menu was last opened for.
    Control* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(Control* c) { popupComponent_ = c; }
    // Shows the menu at screen point x, y through the platform and returns when
    // it closes. Without a platform presenter nothing is shown.
    void Popup(int x, int y);

private:
    Form* owner_;
    std::vector<MenuItem*> items_;
    Control* popupComponent_ = nullptr;
};

// How the platform shows a pop-up menu (host tests install a recorder).
using PopupPresenter = std::function<void(PopupMenu& menu, int x, int y)>;
void SetPopupPresenter(PopupPresenter presenter);

// The menu a right click on the form opens (the form's PopupMenu setting).
void SetFormPopupMenu(const Form& form, PopupMenu* menu);
PopupMenu* FormPopupMenu(const Form& form);
// The command's item among the menus owned by the form, or null.
MenuItem* FindMenuItem(const Form& form, unsigned command);

// A window message as the form sees it.
struct Message {
    unsigned Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
    // How many times the message was handed to the standard handling.
    int passedOn = 0;
};

// A form that sees every window message of its window before the standard
// handling. The platform calls Dispatch; an override handles what it wants
// and calls DefaultHandler for what the standard handling should see as well.
// A message that is never passed on ends with Result.
class MessageForm : public Form {
public:
    virtual void Dispatch(Message& message) { DefaultHandler(message); }

protected:
    void DefaultHandler(Message& message) { ++message.passedOn; }
};

// The platform's handle of a picture's image (an icon handle for icon
// pictures). The Win32 side installs a getter; without one the image's
// address stands for it, so host tests can tell pictures apart.
using PictureHandleGetter = std::function<std::uintptr_t(const Picture&)>;
void SetPictureHandleGetter(PictureHandleGetter getter);
std::uintptr_t PictureHandle(const Picture& picture);

}  // namespace ui
