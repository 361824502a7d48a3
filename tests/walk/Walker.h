// A user at the real program's Qt windows, for the end-to-end walk.
//
// The program runs as it does for a user: its modal windows run their own
// event loops (QDialog::exec). The walker watches from the event loop which
// modal window is on top and acts on it as a user would -- by its widgets'
// object names -- through a script per kind of window; when no modal window
// is up and the program is idle it takes the next step on the main window.
//
//   Walker w;
//   w.On("FormQues", [&](Walker::Window& win) { win.Click("BitBtn3"); return true; });
//   w.AddStep("NAbout", [&] { w.TriggerMenu(main, "Nabout"); });
//   w.Start();
//   ui::Application::Run(main);   // returns once a step closes the main window
//
// Every action runs from its own queued call, so an action that opens a
// modal window (whose exec() blocks) never blocks the watching. A window is
// acted on only while no action of ours on it is still running; a script
// returns false to be asked again later (nothing done yet), true once it
// acted (the window's visit count goes up).
#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace walk {

// Qt's own messages (warnings and worse) caught while it lives, and the
// bytes written to the process's standard error.
class OutputCapture {
public:
    OutputCapture();
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;
    // Stops the capture of fd 2 and returns what was written there (also
    // written on to the real standard error).
    std::string StopStderr();
    // Qt messages of type warning, critical or fatal, as "type: text".
    static std::vector<std::string> QtMessages();

private:
    int savedErr_ = -1;
    std::string file_;
};

class Walker : public QObject {
public:
    // The top modal window as the walker sees it.
    struct Window {
        QWidget* w;
        int visit;  // how many times a script has acted on it
        // Finds a child widget by object name (failing the test when there is none).
        QWidget* Child(const char* name) const;
        QString Text(const char* name) const;  // a label's, panel's, line edit's or button's text
        bool Shows(const char* name) const;    // exists and is visible
        // A user's click on a visible, enabled button (fails the test otherwise).
        void Click(const char* name) const;
        // A user's choice of an item of a drop-down list, by its text.
        void Choose(const char* name, const QString& item) const;
        // A user's typing into an edit (its old text selected and replaced).
        void Type(const char* name, const QString& text) const;
        // A user's click on a radio button of a radio group, by its text.
        void Radio(const char* group, const QString& item) const;
        QString Name() const { return w->objectName(); }
        // Milliseconds since the walker first saw the window on top.
        qint64 ShownMs() const;
    };
    using Script = std::function<bool(Window&)>;

    Walker();
    ~Walker() override;

    // Scripts: by a window's object name (the program's forms), for the Qt
    // dialogs by their class; `fallback` for any other window.
    void On(const QString& objectName, Script s) { scripts_[objectName] = std::move(s); }
    void OnClass(const char* className, Script s) { classScripts_[className] = std::move(s); }
    void Fallback(Script s) { fallback_ = std::move(s); }

    // Steps on the main window, run in order while no modal window is up and
    // `idle` says the program is idle. A step may add further steps.
    void AddStep(std::string label, std::function<void()> action);
    void SetIdleCheck(std::function<bool()> idle) { idle_ = std::move(idle); }
    // Runs at every look, whatever is up (it must not block): for what a
    // user does to a window that is not modal, such as Esc to a wait box.
    void SetWatch(std::function<void()> watch) { watch_ = std::move(watch); }
    // Called once a step has ended (the action returned and the program is idle again).
    void OnStepEnd(std::function<void(const std::string&)> f) { stepEnd_ = std::move(f); }

    // Chooses a main-menu item (by its object name) in the window of
    // `mainWindow` as a user does, through Qt's own events: the menu of the
    // bar opened with a click on it, then the submenus and the item either
    // with the mouse (pressed and released on each) or with the keys (Down
    // to it, Right into a submenu, Return on the item). The item's handler
    // runs inside the menu's own event, as it does for a user. Once that
    // event has returned, the menu bar, every menu on the way and the
    // item's action must still exist: one destroyed under its own event is
    // written to after it was freed (a test failure here). False when the
    // item is not in the menu bar, is disabled, or a menu did not open.
    enum class By { Mouse, Keys };
    static bool TriggerMenu(QWidget* mainWindow, const QString& item, By by);
    // The object names of the leaf items of a window's menu bar, in menu
    // order (visible ones; separators and submenus left out).
    static std::vector<QString> MenuLeaves(QWidget* mainWindow);

    void Start();
    // Nothing at all happening (no action, no modal window) for this long
    // ends the process with the state printed: a stuck walk.
    void SetStallLimit(std::chrono::milliseconds ms) { stallLimit_ = ms; }
    const std::string& CurrentStep() const { return current_; }
    // Windows (object names or classes) acted on during the current step.
    const std::vector<std::string>& StepWindows() const { return stepWindows_; }
    // Their titles, in the same order.
    const std::vector<std::string>& StepTitles() const { return stepTitles_; }

private:
    void Poll();
    void Act(QWidget* top);
    void Stalled();
    void Later(std::function<void()> f);

    std::map<QString, Script> scripts_;
    std::map<std::string, Script> classScripts_;
    Script fallback_;
    std::vector<std::pair<std::string, std::function<void()>>> steps_;
    std::size_t next_ = 0;
    std::function<bool()> idle_;
    std::function<void()> watch_;
    std::function<void(const std::string&)> stepEnd_;
    std::vector<QPointer<QWidget>> busy_;  // windows whose action is still running
    bool stepRunning_ = false;             // a main-window step's action is running
    bool stepOpen_ = false;                // a step ran and has not been ended yet
    std::string current_;
    std::vector<std::string> stepWindows_, stepTitles_;
    QTimer poll_;
    QElapsedTimer sinceProgress_;
    std::chrono::milliseconds stallLimit_{30000};
    QPointer<QWidget> lastTop_;
    QElapsedTimer topSince_;
};

}  // namespace walk
