// Unit traymain: the tray program's window, its notification-area icon, and
// the layout pictures and links it shows. Portable: the platform is reached
// through port::Os() and the widget layer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/ports.h"
#include "core/tray_port.h"
#include "core/ui.h"
#include "core/ui_tray.h"

class TFormMain : public ui::MessageForm {
public:
    TFormMain();

    ui::CheckBox CheckBox1{this};
    ui::RadioButton RadioButton1{this};
    ui::RadioButton RadioButton2{this};
    ui::Image Image2{this};
    ui::Image Image1{this};
    ui::PopupMenu PopupMenu1{this};
    ui::MenuItem Properties1{&PopupMenu1};
    ui::MenuItem Shutdown1{&PopupMenu1};
    ui::TabControl Tabs{this};
    ui::Image spSkinLinkImage1{this};
    ui::Image TheImage{this};
    ui::Image Image4{this};
    ui::Image Image5{this};
    ui::Image Image6{this};
    ui::Image Image7{this};
    ui::LinkLabel l1{this};
    ui::Button spSkinButton1{this};
    ui::Button spSkinButton2{this};
    ui::LinkLabel l2{this};
    ui::Timer Timer1{this};
    ui::Image Image3{this};
    ui::Image Image8{this};
    ui::Button OW{this};

    void FormCreate();
    void FormClose();
    void FormDestroy();
    void Timer1Timer();
    void Button1Click();

    void CheckBox1Click();
    void RadioButtonClick();
    void Properties1Click();
    void Shutdown1Click();
    void TabsChange();
    void l1Click();
    void OWClick();

    // command: port::kNimAdd, kNimModify or kNimDelete; true when the shell accepted it.
    bool SendTrayCommand(std::uint32_t command);
    port::Handle CurrentStateIcon();
    std::string TrayTipText();

    void Dispatch(ui::Message& message) override;
    void TrayCallback(ui::Message& message);
    void OwnerDrawItem(ui::Message& message);
    // `item` is the LParam of a WM_DRAWITEM: the address of its DRAWITEMSTRUCT.
    bool DrawItemIcon(std::intptr_t item);

private:
    void ShowGeneral();
};

extern TFormMain* FormMain;
// The program's own module instance, stored by the entry point.
extern port::Handle moduleInstance;
// Where "Open Text in Word" last looked for the About document.
extern std::string aboutFolder;
// The platform's window handle of a form (0 before it has one), provided by
// the entry point; unset, every form counts as having none.
extern std::function<port::Handle(const ui::Form&)> windowHandleOf;

// Window messages the form handles itself.
namespace tray_message {
constexpr unsigned kDrawItem = 43;            // WM_DRAWITEM
constexpr unsigned kTrayCallback = 32868;     // WM_APP + 100
constexpr std::intptr_t kLButtonDblClk = 515;  // WM_LBUTTONDBLCLK
constexpr std::intptr_t kRButtonUp = 517;      // WM_RBUTTONUP
}  // namespace tray_message

namespace tray_text {
constexpr char kCaption[] = "BRevok Cyrillic Keyboard Layout";
constexpr char kTip[] = "Brevok Cyrillic Keyboard";
constexpr char kPlaceOnTray[] = "&Place on tray";
constexpr char kState1[] = "State &1";
constexpr char kState2[] = "State &2";
constexpr char kHide[] = "Hide";
constexpr char kOpenText[] = "Open Text in Word";
constexpr char kShowLayout[] = "&Show Layout";
constexpr char kShutdown[] = "&Shutdown";
constexpr char kAboutDocument[] = "About.doc";
constexpr char kFolderSuffix[] = "\\brevok";
}  // namespace tray_text

constexpr std::uint32_t kTrayIconId = 1006;

// Stored pictures of the window, by name.
namespace tray_pictures {
constexpr char kState1[] = "tray.state1";          // 16 x 16 icon
constexpr char kState2[] = "tray.state2";          // 16 x 16 icon
constexpr char kGeneral[] = "tray.general";        // 950 x 308
constexpr char kBase[] = "tray.base";              // 950 x 308
constexpr char kShift[] = "tray.shift";            // 950 x 308
constexpr char kAltCtrl[] = "tray.altctrl";        // 950 x 308
constexpr char kShiftAltCtrl[] = "tray.shiftaltctrl";  // 950 x 308
constexpr char kAbout[] = "tray.about";            // 731 x 340
}  // namespace tray_pictures

// Copies `text` into a tip field: at most kTipSize - 1 characters, always
// followed by a zero.
void CopyTrayTip(char (&tip)[port::kTipSize], const std::string& text);

// Start-up: stores the module instance, creates the window and runs the loop
// until the window closes; destroys the window and returns 0.
int TrayMain(port::Handle instance, ui::Platform* platform);
