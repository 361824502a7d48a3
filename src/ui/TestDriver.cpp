#include "ui/TestDriver.h"

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "ui/Dialogs.h"
#include "ui/Timer.h"

namespace ui::test {

namespace {
std::string Describe(const MessageInfo& m) {
    std::string s = "kind " + std::to_string(m.kind) + " \"" + m.lines[0] + "\"";
    if (!m.lines[1].empty()) s += " / \"" + m.lines[1] + "\"";
    if (!m.caption.empty()) s += " (caption \"" + m.caption + "\")";
    return s;
}
}  // namespace

Driver::Driver()
    : onFailure([](const std::string& what) { ADD_FAILURE() << what; }),
      screenW_(Screen::Width()), screenH_(Screen::Height()), screenPpi_(Screen::PixelsPerInch()) {
    previous_ = Backend::Install(this);
    Screen::SetMetrics(1280, 1024, 96);
    Screen::SetCursor(ui::Cursor::Default);
}

Driver::~Driver() {
    verify();
    Application::OnMessage = nullptr;
    Application::DiscardPosted();
    Screen::SetMetrics(screenW_, screenH_, screenPpi_);
    Backend::Install(previous_);
}

std::string Driver::ClassName(const Form& f) {
    const char* raw = typeid(f).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> d(abi::__cxa_demangle(raw, nullptr, nullptr, &status), std::free);
    return status == 0 && d ? d.get() : raw;
}

void Driver::Fail(const std::string& what) {
    failures_.push_back(what);
    if (onFailure) onFailure(what);
}

void Driver::verify() {
    for (const Expected& e : expected_)
        Fail("expected message never shown: kind " + std::to_string(e.kind) + " \"" + e.line1 + "\"");
    expected_.clear();
    if (!answers_.empty()) Fail(std::to_string(answers_.size()) + " scripted answer(s) never asked for");
    answers_.clear();
    for (const auto& f : files_) Fail("file dialog choice never used: " + f.value_or("(cancel)"));
    files_.clear();
}

void Driver::expectMessage(int kind, std::string line1, std::string line2) {
    expected_.push_back({kind, std::move(line1), std::move(line2), std::nullopt});
}

void Driver::expectQuestion(int kind, std::string line1, std::string line2, bool yes) {
    expected_.push_back({kind, std::move(line1), std::move(line2), yes});
}

void Driver::answerYes(int times) {
    while (times-- > 0) answers_.push_back(true);
}

void Driver::answerNo(int times) {
    while (times-- > 0) answers_.push_back(false);
}

const MessageInfo* Driver::findMessage(const std::string& line1) const {
    for (const MessageInfo& m : messages_)
        if (m.lines[0] == line1) return &m;
    return nullptr;
}

bool Driver::Record(const MessageInfo& m) {
    messages_.push_back(m);
    std::optional<bool> answer;
    if (!expected_.empty()) {
        Expected e = expected_.front();
        expected_.pop_front();
        if (e.kind != m.kind || e.line1 != m.lines[0] || e.line2 != m.lines[1])
            Fail("message " + Describe(m) + " shown where kind " + std::to_string(e.kind) + " \"" + e.line1 +
                 "\" / \"" + e.line2 + "\" was expected");
        answer = e.answer;
    } else if (!m.question && !errorsAllowed_ && (m.kind == 1 || m.kind == 2 || m.kind == 4)) {
        Fail("error message nobody expected: " + Describe(m));
    }
    if (!m.question) return false;
    if (!answer) {
        if (answers_.empty()) {
            Fail("question nobody answered (taken as \"no\"): " + Describe(m));
            return false;
        }
        answer = answers_.front();
        answers_.pop_front();
    }
    return *answer;
}

void Driver::RunModal(Form& form) {
    std::type_index type(typeid(form));
    ++counts_[type];
    modalLog_.push_back(ClassName(form));
    auto it = handlers_.find(type);
    if (it != handlers_.end()) {
        // The same object every time; held here so that a handler replacing
        // itself finishes first.
        const auto handler = it->second;
        (*handler)(form);
    } else if (auto* box = dynamic_cast<MessageBoxForm*>(&form)) {
        box->Answer(Record(box->Describe()));
    } else {
        Fail("unexpected modal window " + ClassName(form) + " \"" + form.Caption() + "\"");
    }
    if (form.ModalResult() == mrNone) form.Close();
    if (!form.CloseModal()) {
        Fail("modal window " + ClassName(form) + " refused to close after the test's handler");
        if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    }
}

void Driver::ProcessMessages() {
    ++processCount_;
    if (inPumpHook_ || !pumpHook_) return;
    inPumpHook_ = true;
    const auto hook = pumpHook_;
    (*hook)();
    inPumpHook_ = false;
}

void Driver::pressKey(int key, ui::Shift shift) {
    if (Form* f = Form::ActiveForm()) {
        f->HandleKeyDown(key, shift);
        return;
    }
    Message m;
    m.kind = Message::KeyDown;
    m.key = key;
    m.shift = shift;
    Application::Hook(m);
}

int Driver::MessageBox(const std::string& text, const std::string& caption, int flags) {
    MessageInfo m;
    m.caption = caption;
    m.lines[0] = text;
    m.question = (flags & 0xF) == MB_YESNO;
    m.buttons = m.question ? std::vector<std::string>{"Yes", "No"}
                           : (flags & 0xF) == MB_OKCANCEL ? std::vector<std::string>{"OK", "Cancel"}
                                                          : std::vector<std::string>{"OK"};
    bool yes = Record(m);
    if (m.question) return yes ? IDYES : IDNO;
    return IDOK;
}

bool Driver::fireTimer(Timer& t) { return t.Fire(); }

int Driver::fireTimers() {
    int n = 0;
    std::vector<Timer*> timers = Timer::All();
    for (Timer* t : timers) {
        const auto& live = Timer::All();
        if (std::find(live.begin(), live.end(), t) != live.end() && t->Fire()) ++n;
    }
    return n;
}

void Driver::chooseFile(std::string path) { files_.push_back(std::move(path)); }
void Driver::cancelFileDialog() { files_.push_back(std::nullopt); }

bool Driver::RunFileDialog(FileDialog& d) {
    fileDialogs_.push_back({d.IsSave(), d.Title, d.Filter, d.InitialDir, d.DefaultExt, d.FileName});
    if (files_.empty()) {
        Fail("file dialog \"" + d.Title + "\" nobody chose for (taken as cancelled)");
        return false;
    }
    auto choice = files_.front();
    files_.pop_front();
    if (!choice) return false;
    d.FileName = *choice;
    return true;
}

void Driver::Refused(Component& c, const std::string& action) {
    Fail("cannot " + action + " " + c.Name());
}

int Driver::RunMainLoop(Form& mainForm) {
    mainForm.Show();
    return 0;
}

}  // namespace ui::test
