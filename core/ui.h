// A small widget layer in the spirit of the class library the windows were
// designed with: each control keeps its properties (position, size, caption,
// visibility, picture, ...) as plain state and, when a platform peer is
// attached, the peer realises that state on a real window. The forms' layout
// arithmetic and handlers therefore run unchanged in host tests, where no peer
// exists, and the Win32 build shows the same numbers on screen.
//
// Width and Height of a form are its outer size, frame included; positions of
// child controls are in the form's client coordinates.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace port { class Dialogs; }

namespace ui {

// The class library's exception type: what an event handler may raise for the
// user to see.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A picture with its pixel size. `image` is the platform's bitmap or icon
// (null in host tests, where only the size matters).
struct Picture {
    int width = 0;
    int height = 0;
    std::shared_ptr<void> image;
    bool Empty() const { return width == 0 && height == 0 && !image; }
};

enum class Cursor { Default = 0, HourGlass = -11, HandPoint = -21 };

struct Font {
    std::string name = "Default";
    int height = -14;  // negative: character height in pixels
    bool bold = false;
    bool underline = false;
};

class Control;
class Form;

// Platform side of one control. Absent in host tests.
class Peer {
public:
    virtual ~Peer() = default;
    // Apply the control's current state to the real window.
    virtual void Sync() = 0;
    // Size of `text` in the control's font; false when the peer cannot tell.
    virtual bool Measure(const std::string& text, int* width, int* height) {
        (void)text; (void)width; (void)height;
        return false;
    }
};

class Control {
public:
    explicit Control(Form* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Visible() const { return visible_; }
    const std::string& Caption() const { return caption_; }
    ui::Cursor Cursor() const { return cursor_; }

    void SetLeft(int v) { left_ = v; Changed(); }
    void SetTop(int v) { top_ = v; Changed(); }
    virtual void SetWidth(int v) { width_ = v; Changed(); }
    virtual void SetHeight(int v) { height_ = v; Changed(); }
    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool v) { visible_ = v; Changed(); }
    virtual void SetCaption(const std::string& text) { caption_ = text; Changed(); }
    void SetCursor(ui::Cursor c) { cursor_ = c; Changed(); }

    // Click as the user would: runs OnClick through the application's dispatch,
    // so an exception is shown and does not escape.
    void Click();
    std::function<void()> OnClick;

    Form* Parent() const { return parent_; }
    Peer* GetPeer() const { return peer_.get(); }
    void AttachPeer(std::unique_ptr<Peer> peer);

protected:
    void Changed() { if (peer_) peer_->Sync(); }
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    Form* parent_;
    bool visible_ = true;
    std::string caption_;
    ui::Cursor cursor_ = ui::Cursor::Default;
    std::unique_ptr<Peer> peer_;
};

class Image : public Control {
public:
    using Control::Control;
    const ui::Picture& Picture() const { return picture_; }
    // With AutoSize on, the image takes the picture's pixel size.
    void SetPicture(const ui::Picture& p);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v) { center_ = v; Changed(); }

private:
    ui::Picture picture_;
    bool autoSize_ = false;
    bool center_ = false;
};

class Button : public Control {
public:
    using Control::Control;
};

// Thin progress bar; its value is clamped to [MinValue, MaxValue].
class Gauge : public Control {
public:
    using Control::Control;
    int Value() const { return value_; }
    void SetValue(int v);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    void SetRange(int min, int max);

private:
    int value_ = 0, min_ = 0, max_ = 100;
};

// A label that sizes itself to its caption in its own font (when a peer can
// measure; host tests set a measurer of their own).
class Label : public Control {
public:
    using Control::Control;
    void SetCaption(const std::string& text) override;
    const ui::Font& Font() const { return font_; }
    void SetFont(const ui::Font& f);
    // Overrides the peer's measurement (host tests).
    std::function<void(const std::string&, int*, int*)> measure;
    void Resize();

private:
    ui::Font font_;
};

class Timer {
public:
    explicit Timer(Form* parent);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    // Setting the value it already has changes nothing (the running period is kept).
    void SetEnabled(bool v);
    std::function<void()> OnTimer;
    // One firing, as the platform delivers it.
    void Fire();
    Peer* GetPeer() const { return peer_.get(); }
    void AttachPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); if (peer_) peer_->Sync(); }

private:
    unsigned interval_ = 1000;
    bool enabled_ = true;
    std::unique_ptr<Peer> peer_;
};

enum class BorderStyle { Single, Dialog };
enum class Position { ScreenCenter };

class Form : public Control {
public:
    Form();
    ~Form() override;

    // Outer size of the window.
    using Control::SetWidth;
    using Control::SetHeight;

    bool StayOnTop() const { return stayOnTop_; }
    void SetStayOnTop(bool v) { stayOnTop_ = v; Changed(); }
    ui::BorderStyle Border() const { return border_; }
    void SetBorder(ui::BorderStyle b) { border_ = b; Changed(); }
    unsigned Color() const { return color_; }  // 0x00BBGGRR; kBtnFace means the system's face colour
    void SetColor(unsigned c) { color_ = c; Changed(); }
    static constexpr unsigned kBtnFace = 0xFF00000Fu;
    static constexpr unsigned kWhite = 0x00FFFFFFu;
    // Starts hidden; shown by Show() or, for the main form, by the loop.
    bool StartMinimized() const { return startMinimized_; }
    void SetStartMinimized(bool v) { startMinimized_ = v; }

    void Show();
    void Hide();
    // Runs OnClose; the main form then ends the application, another form hides.
    void Close();

    std::function<void()> OnCreate;
    std::function<void()> OnShow;
    std::function<void()> OnClose;
    std::function<void()> OnDestroy;

    const std::vector<Control*>& Controls() const { return controls_; }
    const std::vector<Timer*>& Timers() const { return timers_; }
    void Register(Control* c) { controls_.push_back(c); }
    void Register(Timer* t) { timers_.push_back(t); }

private:
    bool stayOnTop_ = false;
    ui::BorderStyle border_ = ui::BorderStyle::Single;
    unsigned color_ = kBtnFace;
    bool startMinimized_ = false;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
};

// What the application object needs from the platform.
class Platform {
public:
    virtual ~Platform() = default;
    // Create the window of a form and of its controls, attaching peers.
    virtual void Realise(Form& form) = 0;
    // The message loop; returns after Quit().
    virtual void Run() = 0;
    virtual void Quit() = 0;
    virtual void Destroy(Form& form) { (void)form; }
};

class Application {
public:
    // Without a platform (host tests) forms get no window and Run returns at once.
    void Initialize(Platform* platform, port::Dialogs* dialogs, const std::string& title);

    // Creates a form: the reference is assigned before its creation handler
    // runs; an exception from that handler is shown and the form is still made.
    // The first form created is the main form.
    template <class F>
    F* CreateForm(F*& reference) {
        auto form = std::make_unique<F>();
        reference = form.get();
        Adopt(std::move(form));
        return reference;
    }

    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    Form* MainForm() const { return mainForm_; }

    // The message box with an exception's message.
    void ShowException(const std::exception& e);
    // Runs an event handler; an exception that escapes it is shown and the
    // program goes on.
    void Dispatch(const std::function<void()>& handler);

    // Destroys all forms (their OnDestroy runs), in reverse order of creation.
    void DestroyForms();
    ~Application();

private:
    void Adopt(std::unique_ptr<Form> form);
    Platform* platform_ = nullptr;
    port::Dialogs* dialogs_ = nullptr;
    std::string title_;
    std::vector<std::unique_ptr<Form>> forms_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The process's application object.
Application& App();

// Pictures stored with the forms are made by name at their stored pixel size.
// The platform installs a loader that draws them; without one (host tests) a
// picture has its size and no image.
using PictureLoader = std::function<Picture(const std::string& name, int width, int height)>;
void SetPictureLoader(PictureLoader loader);
Picture LoadPicture(const std::string& name, int width, int height);

}  // namespace ui
