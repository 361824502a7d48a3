#include "ui/Application.h"

#include <deque>

#include "platform/MessagePump.h"
#include "ui/Form.h"
#include "ui/Utf8.h"

namespace ui {

namespace {
// Without a screen: modal forms close at once as cancelled, message boxes
// answer "cancel", dialogs choose nothing.
class NullBackend : public Backend {
public:
    void RunModal(Form& f) override {
        if (f.ModalResult() == mrNone) f.SetModalResult(mrCancel);
        f.CloseModal();
    }
    int MessageBox(const std::string&, const std::string&, int) override { return IDCANCEL; }
    bool RunFileDialog(FileDialog&) override { return false; }
    int RunMainLoop(Form& f) override {
        f.Show();
        return 0;
    }
};

NullBackend g_null;
Backend* g_backend = &g_null;
std::deque<std::function<void()>> g_posted;
Form* g_main = nullptr;
bool g_terminated = false;
int g_width = 1280, g_height = 1024, g_ppi = 96;
ui::Cursor g_cursor = ui::Cursor::Default;
}  // namespace

Backend& Backend::Current() { return *g_backend; }

int Backend::CaptionWidth(const std::string& caption, int icons) {
    if (caption.empty()) return 0;
    return 10 * utf8::Length(caption) + TitleBarExtras(icons);
}

int TitleBarExtras(int icons) {
    int buttons = 0;
    for (int icon : {border_icon::SystemMenu, border_icon::Minimize, border_icon::Maximize})
        if (icons & icon) ++buttons;
    // The window's icon, a button of 28 for each of close, minimise and
    // maximise, the margins at both ends and the frame.
    return 24 + 28 * buttons + 2 * 8 + 2 * 4;
}

Backend* Backend::Install(Backend* b) {
    Backend* old = g_backend == &g_null ? nullptr : g_backend;
    g_backend = b ? b : &g_null;
    if (b) platform::SetMessagePump([] { Application::ProcessMessages(); });
    else platform::SetMessagePump(nullptr);
    return old;
}

void Application::ProcessMessages() {
    RunPosted();
    Backend::Current().ProcessMessages();
}

void Application::Post(std::function<void()> work) { g_posted.push_back(std::move(work)); }

void Application::RunPosted() {
    // Only what was queued before this call, so work that posts more work
    // cannot keep the caller here.
    std::size_t n = g_posted.size();
    while (n-- > 0 && !g_posted.empty()) {
        auto work = std::move(g_posted.front());
        g_posted.pop_front();
        if (work) work();
    }
}

void Application::DiscardPosted() { g_posted.clear(); }

bool Application::Hook(const Message& m) {
    if (!OnMessage) return false;
    bool handled = false;
    OnMessage(m, handled);
    return handled;
}

int Application::MessageBox(const std::string& text, const std::string& caption, int flags) {
    return Backend::Current().MessageBox(text, caption, flags);
}

int Application::Run(Form& mainForm) {
    g_main = &mainForm;
    g_terminated = false;
    return Backend::Current().RunMainLoop(mainForm);
}

void Application::Terminate() {
    g_terminated = true;
    Backend::Current().Terminate();
}

bool Application::Terminated() { return g_terminated; }

Form* Application::MainForm() {
    for (Form* f : Form::All())
        if (f == g_main) return f;
    return nullptr;
}

void Application::ShowException(const std::string& what) {
    MessageBox(what, Title, MB_OK | MB_ICONERROR);
}

int Screen::Width() { return g_width; }
int Screen::Height() { return g_height; }
int Screen::PixelsPerInch() { return g_ppi; }

void Screen::SetMetrics(int width, int height, int ppi) {
    g_width = width;
    g_height = height;
    g_ppi = ppi > 0 ? ppi : 96;
}

ui::Cursor Screen::Cursor() { return g_cursor; }

void Screen::SetCursor(ui::Cursor c) {
    g_cursor = c;
    Backend::Current().CursorChanged(c);
}

}  // namespace ui
