// The headless backend as a test drives it (library zbr_ui_testdriver).
//
//   ui::test::Driver drv;                       // installs itself for the test
//   drv.onModal<TFormObject>([](TFormObject& f) { f.Edit1.TypeText("12"); f.BitBtn1.Click(); });
//   drv.expectMessage(2, "Адреса поза припустимого діапазону", "(1...255)");
//   drv.answerYes();                            // the next question gets "Так"
//   drv.onProcessMessages([&] { if (++n == 3) drv.pressKey(ui::key::Escape); });
//   drv.fireTimer(form.TimerStart);
//
// A modal window runs the handler registered for its class (every time it
// is shown); when the handler leaves it open it closes as cancelled (like
// the window's close box). The driver keeps the one handler object it was
// given and calls that same object every time, so a handler may keep state
// across windows (a mutable lambda counting its calls, say); registering a
// new handler for the class replaces it, also from inside a handler (the
// running one finishes first). The same holds for onProcessMessages. A modal window without a handler, a refused user
// action (click on a hidden or disabled control), a message that differs
// from the next expected one, an unanswered question and a file dialog
// nobody chose for are failures: reported through onFailure (a GoogleTest
// failure by default) and kept in failures(). So is an error message (kinds
// 1, 2 and 4 of the program's message box) that nobody expected, unless
// the test allows them (allowErrorMessages). Expectations and answers left
// over when the driver is destroyed are failures too.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui::test {

struct FileDialogRecord {
    bool save = false;
    std::string title, filter, initialDir, defaultExt, fileName;
};

class Driver : public Backend {
public:
    Driver();
    ~Driver() override;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // ---- modal windows
    template <class F> void onModal(std::function<void(F&)> handler) {
        handlers_[std::type_index(typeid(F))] = std::make_shared<std::function<void(Form&)>>(
            [h = std::move(handler)](Form& f) mutable { h(static_cast<F&>(f)); });
    }
    template <class F> int modalCount() const {
        auto it = counts_.find(std::type_index(typeid(F)));
        return it == counts_.end() ? 0 : it->second;
    }
    // Class names of the modal windows shown, in order.
    const std::vector<std::string>& modalLog() const { return modalLog_; }

    // ---- message boxes (the program's and the application's, kind 0)
    void expectMessage(int kind, std::string line1, std::string line2 = {});
    // A question expected with its answer.
    void expectQuestion(int kind, std::string line1, std::string line2, bool yes);
    void answerYes(int times = 1);
    void answerNo(int times = 1);
    const std::vector<MessageInfo>& messages() const { return messages_; }
    // The first message whose line 1 (or application text) equals `line1`.
    const MessageInfo* findMessage(const std::string& line1) const;
    void clearMessages() { messages_.clear(); }
    // Error messages nobody expected are then only recorded (for tests that
    // look at messages() themselves, or feed random input).
    void allowErrorMessages(bool allow = true) { errorsAllowed_ = allow; }

    // ---- timers
    bool fireTimer(Timer& t);  // fires when enabled; returns whether it did
    int fireTimers();          // every enabled timer once

    // ---- message loop
    // Runs inside every ProcessMessages (so inside every wait of a long
    // exchange): the place to press Esc in the middle of a read.
    void onProcessMessages(std::function<void()> hook) {
        pumpHook_ = hook ? std::make_shared<std::function<void()>>(std::move(hook)) : nullptr;
    }
    int processCount() const { return processCount_; }
    // A key pressed in the active form (the application's hook first).
    void pressKey(int key, ui::Shift shift = {});

    // ---- file dialogs: each Execute() takes the next choice
    void chooseFile(std::string path);
    void cancelFileDialog();
    const std::vector<FileDialogRecord>& fileDialogs() const { return fileDialogs_; }

    // ---- screen
    void setScreen(int width, int height, int ppi = 96) { Screen::SetMetrics(width, height, ppi); }

    // ---- failures
    std::function<void(const std::string&)> onFailure;
    const std::vector<std::string>& failures() const { return failures_; }
    // Reports expectations and answers not used up, and forgets them.
    void verify();

    // Backend
    void RunModal(Form& form) override;
    void ProcessMessages() override;
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    bool RunFileDialog(FileDialog& dialog) override;
    void Refused(Component& c, const std::string& action) override;
    int RunMainLoop(Form& mainForm) override;

    static std::string ClassName(const Form& f);

private:
    struct Expected {
        int kind;
        std::string line1, line2;
        std::optional<bool> answer;
    };
    void Fail(const std::string& what);
    bool Record(const MessageInfo& m);  // returns the answer for a question
    std::map<std::type_index, std::shared_ptr<std::function<void(Form&)>>> handlers_;
    std::map<std::type_index, int> counts_;
    std::vector<std::string> modalLog_;
    std::vector<MessageInfo> messages_;
    std::deque<Expected> expected_;
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<FileDialogRecord> fileDialogs_;
    std::shared_ptr<std::function<void()>> pumpHook_;
    bool inPumpHook_ = false;
    bool errorsAllowed_ = false;
    int processCount_ = 0;
    std::vector<std::string> failures_;
    Backend* previous_ = nullptr;
    int screenW_, screenH_, screenPpi_;
};

}  // namespace ui::test
