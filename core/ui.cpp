#include "ui.h"

#include <algorithm>

#include "ports.h"

namespace ui {

Control::Control(Form* parent) : parent_(parent) {
    if (parent_) parent_->Register(this);
}

void Control::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

void Control::Click() {
    if (OnClick) App().Dispatch(OnClick);
}

void Control::AttachPeer(std::unique_ptr<Peer> peer) {
    peer_ = std::move(peer);
    Changed();
}

void Image::SetPicture(const ui::Picture& p) {
    picture_ = p;
    if (autoSize_) {
        width_ = p.width;
        height_ = p.height;
    }
    Changed();
}

void Image::SetAutoSize(bool v) {
    autoSize_ = v;
    if (autoSize_ && !picture_.Empty()) {
        width_ = picture_.width;
        height_ = picture_.height;
    }
    Changed();
}

void Gauge::SetValue(int v) {
    value_ = std::clamp(v, min_, max_);
    Changed();
}

void Gauge::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    value_ = std::clamp(value_, min_, max_);
    Changed();
}

void Label::SetCaption(const std::string& text) {
    Control::SetCaption(text);
    Resize();
}

void Label::SetFont(const ui::Font& f) {
    font_ = f;
    Changed();
    Resize();
}

void Label::Resize() {
    int w = width_, h = height_;
    bool measured = false;
    if (measure) {
        measure(Caption(), &w, &h);
        measured = true;
    } else if (GetPeer()) {
        measured = GetPeer()->Measure(Caption(), &w, &h);
    }
    if (measured) {
        width_ = w;
        height_ = h;
        Changed();
    }
}

Timer::Timer(Form* parent) {
    if (parent) parent->Register(this);
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (peer_) peer_->Sync();
}

void Timer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    if (peer_) peer_->Sync();
}

void Timer::Fire() {
    if (enabled_ && OnTimer) App().Dispatch(OnTimer);
}

Form::Form() : Control(nullptr) {
    SetVisible(false);
}

Form::~Form() = default;

void Form::Show() {
    if (!Visible()) {
        if (OnShow) App().Dispatch(OnShow);
        SetVisible(true);
    } else {
        Changed();  // brings it to the front
    }
}

void Form::Hide() {
    SetVisible(false);
}

void Form::Close() {
    if (OnClose) App().Dispatch(OnClose);
    if (App().MainForm() == this) {
        App().Terminate();
    } else {
        Hide();
    }
}

void Application::Initialize(Platform* platform, port::Dialogs* dialogs, const std::string& title) {
    platform_ = platform;
    dialogs_ = dialogs;
    title_ = title;
    terminated_ = false;
}

void Application::Adopt(std::unique_ptr<Form> form) {
    Form& f = *form;
    forms_.push_back(std::move(form));
    if (!mainForm_) mainForm_ = &f;
    if (platform_) platform_->Realise(f);
    if (f.OnCreate) Dispatch(f.OnCreate);
}

void Application::Run() {
    if (terminated_) return;
    if (mainForm_ && !mainForm_->StartMinimized()) mainForm_->Show();
    if (platform_) platform_->Run();
}

void Application::Terminate() {
    terminated_ = true;
    if (platform_) platform_->Quit();
}

void Application::ShowException(const std::exception& e) {
    std::string text = e.what();
    if (dialogs_) dialogs_->MessageBox(text, title_, port::kMbOk | port::kMbIconError);
}

void Application::Dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(""));
    }
}

void Application::DestroyForms() {
    while (!forms_.empty()) {
        std::unique_ptr<Form> f = std::move(forms_.back());
        forms_.pop_back();
        if (f->OnDestroy) Dispatch(f->OnDestroy);
        if (platform_) platform_->Destroy(*f);
        if (mainForm_ == f.get()) mainForm_ = nullptr;
    }
}

Application::~Application() {
    // At process exit the platform objects may already be gone.
    platform_ = nullptr;
    dialogs_ = nullptr;
    DestroyForms();
}

namespace {
PictureLoader& Loader() {
    static PictureLoader loader;
    return loader;
}
}  // namespace

void SetPictureLoader(PictureLoader loader) { Loader() = std::move(loader); }

Picture LoadPicture(const std::string& name, int width, int height) {
    if (Loader()) return Loader()(name, width, height);
    Picture p;
    p.width = width;
    p.height = height;
    return p;
}

Application& App() {
    static Application app;
    return app;
}

}  // namespace ui
