#include "traymain.h"

#include <cstring>

#include "core/os.h"
#include "core/product.h"
#include "core/tray_port.h"

TFormMain* FormMain = nullptr;
port::Handle moduleInstance = 0;
std::string aboutFolder;
std::function<port::Handle(const ui::Form&)> windowHandleOf;

namespace {

// The window's fonts were chosen at 120 pixels per inch; drawn at 96.
ui::Font ArialFont(bool underline) {
    ui::Font f;
    f.name = "Arial";
    f.height = -11;
    f.underline = underline;
    return f;
}

port::Handle HandleOf(const ui::Form& form) { return windowHandleOf ? windowHandleOf(form) : 0; }

}  // namespace

void CopyTrayTip(char (&tip)[port::kTipSize], const std::string& text) {
    std::size_t n = text.size() < port::kTipSize - 1 ? text.size() : port::kTipSize - 1;
    std::memcpy(tip, text.data(), n);
    tip[n] = '\0';
}

TFormMain::TFormMain() {
    SetCaption(tray_text::kCaption);
    SetBorder(ui::BorderStyle::Dialog);
    SetStartMinimized(true);
    SetColor(ui::Form::kBtnFace);
    SetWidth(1009);  // stored client size 1003 x 362; replaced at creation
    SetHeight(391);
    ui::SetFormPopupMenu(*this, &PopupMenu1);

    // Stored creation order.
    Image2.SetBounds(101, 148, 41, 50);
    Image2.SetPicture(ui::LoadPicture(tray_pictures::kState2, 16, 16));

    Image1.SetBounds(101, 79, 41, 50);
    Image1.SetPicture(ui::LoadPicture(tray_pictures::kState1, 16, 16));

    // No picture and no address: shows nothing and does nothing.
    spSkinLinkImage1.SetBounds(440, 56, 105, 105);
    spSkinLinkImage1.SetAutoSize(true);
    spSkinLinkImage1.SetCursor(ui::Cursor::HandPoint);

    Image4.SetBounds(32, 216, 950, 308);
    Image4.SetAutoSize(true);
    Image4.SetPicture(ui::LoadPicture(tray_pictures::kBase, 950, 308));

    Image5.SetBounds(112, 224, 105, 105);
    Image5.SetPicture(ui::LoadPicture(tray_pictures::kShift, 950, 308));

    Image6.SetBounds(16, 208, 105, 105);
    Image6.SetPicture(ui::LoadPicture(tray_pictures::kAltCtrl, 950, 308));

    Image7.SetBounds(0, 192, 105, 105);
    Image7.SetPicture(ui::LoadPicture(tray_pictures::kShiftAltCtrl, 950, 308));

    l1.SetBounds(480, 224, 78, 14);
    l1.SetCaption(product::kWebHost);
    l1.SetFont(ArialFont(true));
    l1.OnClick = [this] { l1Click(); };

    l2.SetBounds(488, 232, 78, 14);
    l2.SetCaption(product::kWebHost);
    l2.SetFont(ArialFont(true));
    l2.OnClick = [this] { l1Click(); };

    Image3.SetBounds(680, 184, 950, 308);
    Image3.SetAutoSize(true);
    Image3.SetVisible(false);
    Image3.SetPicture(ui::LoadPicture(tray_pictures::kGeneral, 950, 308));

    Image8.SetBounds(32, 54, 731, 340);
    Image8.SetAutoSize(true);
    Image8.SetCenter(true);
    Image8.SetVisible(false);
    Image8.SetPicture(ui::LoadPicture(tray_pictures::kAbout, 731, 340));

    CheckBox1.SetBounds(10, 20, 129, 21);
    CheckBox1.SetCaption(tray_text::kPlaceOnTray);
    CheckBox1.SetChecked(false);
    CheckBox1.OnClick = [this] { CheckBox1Click(); };

    RadioButton1.SetBounds(10, 89, 80, 21);
    RadioButton1.SetCaption(tray_text::kState1);
    RadioButton1.SetChecked(true);
    RadioButton1.OnClick = [this] { RadioButtonClick(); };

    RadioButton2.SetBounds(10, 158, 80, 20);
    RadioButton2.SetCaption(tray_text::kState2);
    RadioButton2.SetChecked(false);
    RadioButton2.OnClick = [this] { RadioButtonClick(); };

    Tabs.SetBounds(200, -8, 657, 225);
    Tabs.SetTabs({"General", "Base", "Shift", "Alt Ctrl", "Shift Alt Ctrl", "About"});
    Tabs.SetTabIndex(0);
    Tabs.SetTabsAtBottom(true);
    Tabs.SetMultiLine(true);
    Tabs.SetFont(ArialFont(false));
    Tabs.OnChange = [this] { TabsChange(); };

    TheImage.SetBounds(0, 104, 794, 195);
    TheImage.SetAutoSize(true);
    Tabs.AddPageControl(&TheImage);

    spSkinButton1.SetBounds(400, 232, 75, 25);
    spSkinButton1.SetCaption(tray_text::kHide);
    spSkinButton1.OnClick = [this] { Button1Click(); };

    spSkinButton2.SetBounds(568, 233, 75, 25);
    spSkinButton2.SetCaption(tray_text::kHide);
    spSkinButton2.OnClick = [this] { Button1Click(); };

    OW.SetBounds(864, 56, 137, 25);
    OW.SetCaption(tray_text::kOpenText);
    OW.SetVisible(false);
    OW.OnClick = [this] { OWClick(); };

    Properties1.SetCaption(tray_text::kShowLayout);
    Properties1.OnClick = [this] { Properties1Click(); };
    Shutdown1.SetCaption(tray_text::kShutdown);
    Shutdown1.OnClick = [this] { Shutdown1Click(); };

    // Interval 1000 ms and enabled, as the timer comes.
    Timer1.OnTimer = [this] { Timer1Timer(); };

    OnCreate = [this] { FormCreate(); };
    OnClose = [this] { FormClose(); };
    OnDestroy = [this] { FormDestroy(); };
}

void TFormMain::FormCreate() {
    Image5.SetVisible(false);
    Image6.SetVisible(false);
    Image7.SetVisible(false);
    Image4.SetVisible(false);
    Image3.SetVisible(false);
    Tabs.SetLeft(0);
    Tabs.SetTop(0);
    Tabs.SetHeight(Image3.Height() + 30);
    Tabs.SetWidth(Image3.Width() + 20);
    TheImage.SetLeft(0);
    TheImage.SetTop(0);
    TheImage.SetPicture(Image3.Picture());
    SetWidth(Tabs.Width() + 10);
    SendTrayCommand(port::kNimAdd);
    SendTrayCommand(port::kNimModify);
    spSkinButton1.SetLeft(Tabs.Left() + 10);
    spSkinButton2.SetLeft(Tabs.Width() - spSkinButton2.Width() - 20);
    spSkinButton1.SetTop(Tabs.Height() + 5);
    spSkinButton2.SetTop(Tabs.Height() + 5);
    l2.SetTop(spSkinButton2.Top());
    l1.SetTop(spSkinButton1.Top());
    l1.SetLeft(spSkinButton1.Left() + spSkinButton1.Width() + 10);
    l2.SetLeft(spSkinButton2.Left() - l2.Width() - 10);
    SetHeight(spSkinButton1.Top() + spSkinButton1.Height() + 50);
}

void TFormMain::FormClose() { Hide(); }

void TFormMain::FormDestroy() { SendTrayCommand(port::kNimDelete); }

void TFormMain::Timer1Timer() {
    Hide();
    Timer1.SetEnabled(false);
}

void TFormMain::Button1Click() { Hide(); }

// ---- notification-area icon ----

bool TFormMain::SendTrayCommand(std::uint32_t command) {
    std::string tip = TrayTipText();
    port::NotifyIconRecord record;
    record.hWnd = HandleOf(*this);
    record.uID = kTrayIconId;
    record.uFlags = port::kNifMessage | port::kNifIcon | port::kNifTip;
    record.uCallbackMessage = tray_message::kTrayCallback;
    if (command == port::kNimModify) {
        record.hIcon = CurrentStateIcon();
        CopyTrayTip(record.szTip, tip);
    } else {
        record.hIcon = 0;
        record.szTip[0] = '\0';
    }
    return port::Os().tray->NotifyIcon(command, record);
}

port::Handle TFormMain::CurrentStateIcon() {
    return RadioButton1.Checked() ? ui::PictureHandle(Image1.Picture()) : ui::PictureHandle(Image2.Picture());
}

std::string TFormMain::TrayTipText() { return tray_text::kTip; }

void TFormMain::Dispatch(ui::Message& message) {
    switch (message.Msg) {
        case tray_message::kDrawItem:
            OwnerDrawItem(message);
            break;
        case tray_message::kTrayCallback:
            TrayCallback(message);
            break;
        default:
            MessageForm::Dispatch(message);
    }
}

void TFormMain::ShowGeneral() {
    // From code: TabsChange does not run, so the About tab's button and the
    // picture area's sizing stay as they were.
    Tabs.SetTabIndex(0);
    TheImage.SetPicture(Image3.Picture());
    Show();
}

void TFormMain::TrayCallback(ui::Message& message) {
    switch (message.LParam) {
        case tray_message::kLButtonDblClk:
            ShowGeneral();
            break;
        case tray_message::kRButtonUp: {
            int x = 0, y = 0;
            port::TrayShell& tray = *port::Os().tray;
            if (tray.CursorPos(&x, &y)) {
                PopupMenu1.SetPopupComponent(this);
                tray.SetForeground(HandleOf(*this));
                PopupMenu1.Popup(x, y);
            } else {
                ShowGeneral();
            }
            break;
        }
        default:
            break;
    }
    DefaultHandler(message);
}

void TFormMain::OwnerDrawItem(ui::Message& message) {
    DrawItemIcon(message.LParam);
    DefaultHandler(message);
}

bool TFormMain::DrawItemIcon(std::intptr_t item) {
    port::TrayShell& tray = *port::Os().tray;
    port::DrawItemRecord record;
    if (!tray.ReadDrawItem(item, &record)) return false;
    auto id = static_cast<std::uint16_t>(record.CtlID & 0xFFFF);
    port::Handle icon = tray.LoadIcon16(moduleInstance, id);
    if (!icon) return false;
    tray.DrawIcon16(record.hDC, record.left, record.top, icon);
    return true;
}

void TFormMain::CheckBox1Click() {
    if (!CheckBox1.Checked()) SendTrayCommand(port::kNimDelete);
}

void TFormMain::RadioButtonClick() {
    if (CheckBox1.Checked()) SendTrayCommand(port::kNimModify);
}

void TFormMain::Properties1Click() { Show(); }

void TFormMain::Shutdown1Click() { Close(); }

// ---- pictures and links ----

void TFormMain::TabsChange() {
    TheImage.SetAutoSize(true);
    OW.SetVisible(false);
    switch (Tabs.TabIndex()) {
        case 0: TheImage.SetPicture(Image3.Picture()); break;
        case 1: TheImage.SetPicture(Image4.Picture()); break;
        case 2: TheImage.SetPicture(Image5.Picture()); break;
        case 3: TheImage.SetPicture(Image6.Picture()); break;
        case 4: TheImage.SetPicture(Image7.Picture()); break;
        case 5:
            TheImage.SetAutoSize(false);
            TheImage.SetPicture(Image8.Picture());
            OW.SetVisible(true);
            OW.SetLeft(Image8.Width() + 10);
            OW.SetWidth(TheImage.Width() - OW.Left());
            OW.SetTop((Height() - 50) / 2);
            break;
        default:
            break;
    }
}

void TFormMain::l1Click() { port::Os().shell->Open(product::kWebAddress); }

void TFormMain::OWClick() {
    aboutFolder = port::GetEnvOrEmpty("PROGRAMFILES") + tray_text::kFolderSuffix;
    port::Os().files->SetCurrentFolder(aboutFolder);
    port::Os().shell->Open(tray_text::kAboutDocument);
}

// ---- start-up ----

int TrayMain(port::Handle instance, ui::Platform* platform) {
    ui::App().Initialize(platform, port::Os().dialogs, tray_text::kCaption);
    moduleInstance = instance;
    ui::App().CreateForm(FormMain);
    ui::App().Run();
    ui::App().DestroyForms();
    FormMain = nullptr;
    return 0;
}
