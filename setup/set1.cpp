#include "set1.h"

#include <cstring>

#include "Mess.h"
#include "core/os.h"
#include "core/product.h"

SetupState setupState;
TForm1* Form1 = nullptr;

namespace {

constexpr int kSwShowNormal = 1;
constexpr int kRegistrarTick = 10;
constexpr int kTrayTick = 30;       // judged before the Tick's increment
constexpr int kPollingAfter = 40;
constexpr int kGaugeHoldAfter = 80;
constexpr int kGaugeHold = 80;
constexpr int kCloseWaitOffset = 5;
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kTrayRunValue[] = "Brevok Russian Keyboard Tray";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TForm1::TForm1() {
    SetBorder(ui::BorderStyle::Single);
    SetColor(ui::Form::kWhite);
    SetCaption("Form1");
    SetWidth(600);   // stored client size 594 x 276; replaced at creation
    SetHeight(305);

    foot.SetAutoSize(true);
    foot.SetCursor(ui::Cursor::HandPoint);
    foot.SetPicture(ui::LoadPicture(setup_pictures::kFoot, 730, 359));
    foot.OnClick = [this] { footClick(); };

    Timer1.SetEnabled(false);
    Timer1.SetInterval(200);
    Timer1.OnTimer = [this] { Timer1Timer(); };

    B.SetBounds(20, 0, 690, 20);
    B.SetCaption(setup_text::kStoredButton);
    B.OnClick = [this] { BClick(); };

    Bar.SetBounds(20, 0, 690, 2);
    Bar.SetRange(0, 100);
    Bar.SetValue(2);

    head.SetAutoSize(true);
    head.SetCursor(ui::Cursor::HandPoint);
    head.SetPicture(ui::LoadPicture(setup_pictures::kHead, 730, 101));
    head.OnClick = [this] { footClick(); };

    head_rem.SetVisible(false);
    head_rem.SetAutoSize(true);
    head_rem.SetPicture(ui::LoadPicture(setup_pictures::kHeadRemove, 782, 93));
    head_rem.OnClick = [this] { footClick(); };

    foot_rem.SetVisible(false);
    foot_rem.SetAutoSize(true);
    foot_rem.SetPicture(ui::LoadPicture(setup_pictures::kFootRemove, 807, 125));
    foot_rem.OnClick = [this] { footClick(); };

    eb.SetBounds(20, 0, 690, 20);
    eb.SetCaption(setup_text::kExit);
    eb.OnClick = [this] { ebClick(); };

    OnCreate = [this] { FormCreate(); };
}

void TForm1::FormCreate() {
    // Only whether the key opens with full access matters: a key the user
    // cannot write counts as absent.
    port::Registry& registry = *port::Os().registry;
    port::Handle key = 0;
    bool opened = registry.OpenKey(port::RegRoot::LocalMachine, setup_text::kLayoutKey,
                                   port::kKeyAllAccess, &key) == port::kErrorSuccess;
    if (opened) registry.CloseKey(key);

    if (opened) {
        setupState.removeMode = true;
        head.SetPicture(head_rem.Picture());
        foot.SetPicture(foot_rem.Picture());
    } else {
        SetCaption(setup_text::kInstallCaption);
    }

    head.SetTop(0);
    head.SetLeft(0);
    foot.SetLeft(0);
    Bar.SetLeft(head.Left() + 20);
    Bar.SetWidth(head.Width() - 40);
    Bar.SetTop(head.Top() + head.Height() + 10);
    B.SetTop(Bar.Height() + Bar.Top() + 10);
    B.SetLeft(20);
    B.SetWidth(head.Width() - 40);
    foot.SetTop(B.Top() + B.Height() + 10);
    SetWidth(foot.Width() + 30);
    SetHeight(foot.Top() + foot.Height() + 50);
    eb.SetTop(foot.Top() + foot.Height() + 10);
    eb.SetLeft(B.Left());
    eb.SetWidth(B.Width());
    SetHeight(eb.Top() + eb.Height() + 50);

    if (setupState.removeMode) {
        UninstallPackage();
    } else {
        B.SetCaption(setup_text::kInstallButton);
    }
}

void TForm1::BClick() {
    if (setupState.removeMode) {
        Form2->Label1.SetCaption(setup_text::kRemovingLabel);
        UninstallPackage();
    } else {
        InstallPackage();
    }
    Form2->SetCaption(setupState.windowsDescription);
    Form2->Show();
    Timer1.SetEnabled(true);
    if (setupState.finished) Close();
}

void TForm1::footClick() { port::Os().shell->Open(product::kWebAddress); }

void TForm1::ebClick() { Close(); }

std::string RegistrarCommandLine(bool removeMode, bool wordPathAssumed, bool is64BitWindows) {
    std::string command = is64BitWindows ? "load64.exe" : "load32.exe";
    if (removeMode) {
        command += " u";
    } else if (wordPathAssumed) {
        command = "load64.exe c";
    }
    return command;
}

void TForm1::Timer1Timer() {
    SetupState& s = setupState;
    port::Processes& processes = *port::Os().processes;

    if (s.tickCount < s.closeWaitTick) Form2->Close();

    // Quoted: the path holds blanks, and unquoted a planted "C:\Program.exe"
    // would be started instead.
    if (s.tickCount == kTrayTick && !s.removeMode) processes.WinExec(Quoted(s.trayPath), kSwShowNormal);

    if (s.finished) {
        Timer1.SetEnabled(false);
        // From the running Windows' own system folder, wherever it is installed.
        processes.WinExec(Quoted(port::Os().files->SystemFolder() + "\\control.exe") + " input.dll",
                          kSwShowNormal);
        return;
    }

    ++s.tickCount;
    Bar.SetValue(s.tickCount / 2);

    if (s.tickCount == kRegistrarTick) {
        std::string command = RegistrarCommandLine(s.removeMode, s.wordPathAssumed, s.is64BitWindows);
        StartProcess(nullptr, command);
    }

    if (s.tickCount <= kPollingAfter) return;

    if (s.registrarExitCode == port::kStillActive) {
        processes.GetExitCode(s.registrarProcess, &s.registrarExitCode);
        if (s.tickCount > kGaugeHoldAfter) Bar.SetValue(kGaugeHold);
        SetCursor(ui::Cursor::HourGlass);
        return;
    }

    Bar.SetValue(100);
    B.SetCaption(setup_text::kClose);
    SetCaption(setup_text::kComplete);
    s.finished = true;
    SetCursor(ui::Cursor::Default);
    Form2->Label1.SetCaption(mess_text::kComplete);
    s.closeWaitTick = s.tickCount + kCloseWaitOffset;
    if (s.removeMode) return;

    port::Registry& registry = *port::Os().registry;
    port::Handle key = 0;
    if (registry.OpenKey(port::RegRoot::CurrentUser, kRunKey, port::kKeyAllAccess, &key) !=
        port::kErrorSuccess)
        return;
    std::string data = Quoted(port::GetEnvOrEmpty("PROGRAMFILES") + "\\brevok\\qvtray.exe");
    try {
        WriteRegistryString(key, kTrayRunValue, data);
    } catch (...) {
        registry.CloseKey(key);
        throw;
    }
    registry.CloseKey(key);
}

std::string ArgumentsOf(const std::string& commandLine) {
    size_t i = 0;
    auto blank = [&](size_t k) { return commandLine[k] == ' ' || commandLine[k] == '\t'; };
    while (i < commandLine.size() && blank(i)) ++i;
    if (i < commandLine.size() && commandLine[i] == '"') {
        ++i;
        while (i < commandLine.size() && commandLine[i] != '"') ++i;
        if (i < commandLine.size()) ++i;  // closing quote
    }
    while (i < commandLine.size() && !blank(i)) ++i;
    while (i < commandLine.size() && blank(i)) ++i;
    return commandLine.substr(i);
}

int SetupMain(const std::string& arguments, ui::Platform* platform) {
    port::Ports& os = port::Os();
    if (arguments.find("-u") != std::string::npos) setupState.removeMode = true;

    // Taken as it is, whatever its length; empty when unset.
    setupState.systemDrive = port::GetEnvOrEmpty("SYSTEMDRIVE");
    if (os.files->FolderExists(setupState.systemDrive + "\\windows\\sysWOW64"))
        setupState.is64BitWindows = true;

    ui::Application& app = ui::App();
    app.Initialize(platform, os.dialogs, "Setupqv");
    try {
        app.CreateForm(Form1);
        app.CreateForm(Form2);
        app.Run();
    } catch (const ui::Exception& e) {
        app.ShowException(e);
    } catch (...) {
        app.ShowException(ui::Exception(""));
    }
    app.DestroyForms();
    Form1 = nullptr;
    Form2 = nullptr;
    return 0;
}
