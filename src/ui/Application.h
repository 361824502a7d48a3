// The application and the screen, and the backend interface that shows
// forms (headless for tests, Qt for the program).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace ui {

class Component;
class Control;
class Form;
class Timer;
class FileDialog;

// A window message as the application's message hook sees it.
struct Message {
    enum Kind { KeyDown, Char } kind = KeyDown;
    int key = 0;         // KeyDown: key code (ui::key)
    char32_t ch = 0;     // Char: the character
    ui::Shift shift;
};

// What a message box shows, as a test reads it back.
struct MessageInfo {
    int kind = 0;                  // the program's message kind, 0 = application box
    std::string caption;
    std::string lines[3];
    std::vector<std::string> buttons;  // captions of the visible buttons
    bool question = false;         // asks yes/no
    int width = 0, height = 0;
};

// A form that is a message box implements this, so that a test driver
// can record it and answer it through its own buttons.
class MessageBoxForm {
public:
    virtual ~MessageBoxForm() = default;
    virtual MessageInfo Describe() const = 0;
    virtual void Answer(bool yes) = 0;
};

// Shows the forms. Exactly one is current; the null backend (no windows,
// every modal form cancelled at once) is current until another installs.
class Backend {
public:
    virtual ~Backend() = default;
    // Runs the modal loop of a form that is already shown; returns once the
    // form's modal result is set and the form agreed to close.
    virtual void RunModal(Form& form) = 0;
    virtual void FormShown(Form&) {}
    virtual void FormHidden(Form&) {}
    virtual void ModalResultSet(Form&) {}
    virtual void ProcessMessages() {}
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
    virtual bool RunFileDialog(FileDialog& dialog) = 0;
    virtual void TimerChanged(Timer&) {}
    virtual void ComponentDestroyed(Component&) {}
    virtual void CursorChanged(ui::Cursor) {}
    // A simulated user action was refused (hidden or disabled control).
    virtual void Refused(Component&, const std::string& /*action*/) {}
    // The outer width a form needs for its title bar to show `caption`
    // whole beside the window's icon and its title-bar buttons (`icons`:
    // border_icon flags); 0 for an empty caption. Without a screen, an
    // estimate in characters of a bold title font.
    virtual int CaptionWidth(const std::string& caption, int icons);
    // Runs the program's main loop until the main form closes.
    virtual int RunMainLoop(Form& mainForm) = 0;
    virtual void Terminate() {}

    static Backend& Current();
    // Makes `b` current (nullptr: the null backend); returns the previous one.
    static Backend* Install(Backend* b);
};

// The part of a title bar that is not its caption: the window's icon, the
// title-bar buttons that `icons` asks for, the margins and the frame.
int TitleBarExtras(int icons);

class Application {
public:
    // Lets pending window messages run: posted work, then the backend's
    // events. Also installed as platform::PumpMessages by every backend.
    static void ProcessMessages();
    // Work to run at the next ProcessMessages or idle moment of the loop.
    static void Post(std::function<void()> work);
    static void RunPosted();
    static void DiscardPosted();
    // The application's message hook: sees every key message before any
    // control; setting `handled` stops it.
    static inline std::function<void(const Message&, bool& handled)> OnMessage;
    // Runs the hook; returns true when it handled the message.
    static bool Hook(const Message& m);
    // The application's own message box (flags MB_*; returns ID*).
    static int MessageBox(const std::string& text, const std::string& caption, int flags = MB_OK);
    // Shows `mainForm` and runs until it closes.
    static int Run(Form& mainForm);
    static void Terminate();
    static bool Terminated();
    static Form* MainForm();
    // Shows an error that escaped to the program entry.
    static void ShowException(const std::string& what);
    static inline std::string Title = "ЗБР";
};

class Screen {
public:
    static int Width();
    static int Height();
    static int PixelsPerInch();
    static void SetMetrics(int width, int height, int ppi);  // backends set these
    static ui::Cursor Cursor();
    static void SetCursor(ui::Cursor c);
};

// Hourglass for the life of the object; the previous cursor comes back on
// every way out.
class HourGlass {
public:
    HourGlass() : old_(Screen::Cursor()) { Screen::SetCursor(ui::Cursor::HourGlass); }
    ~HourGlass() { Screen::SetCursor(old_); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;
private:
    ui::Cursor old_;
};

}  // namespace ui
