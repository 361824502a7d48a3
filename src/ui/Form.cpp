#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Menu.h"
#include "ui/Utf8.h"

namespace ui {

namespace {
std::vector<Form*>& Registry() {
    static std::vector<Form*> forms;
    return forms;
}
Form* g_active = nullptr;

bool IsLive(Form* f) {
    auto& r = Registry();
    return std::find(r.begin(), r.end(), f) != r.end();
}

// First control that can take focus, depth first in creation order.
Control* FirstFocusable(Control& c) {
    for (Control* k : c.Controls()) {
        if (!k->Visible() || !k->Enabled()) continue;
        if (k->CanFocus()) return k;
        if (Control* f = FirstFocusable(*k)) return f;
    }
    return nullptr;
}

void FindButtons(Control& c, bool cancel, Button*& found) {
    for (Control* k : c.Controls()) {
        if (found) return;
        if (!k->Visible() || !k->Enabled()) continue;
        if (auto* b = dynamic_cast<Button*>(k); b && (cancel ? b->Cancel() : b->Default())) {
            found = b;
            return;
        }
        FindButtons(*k, cancel, found);
    }
}
}  // namespace

Form::Form(Component* owner, std::string name) : Control(owner, std::move(name)) {
    // A form is a window of its own, never a child of its owner.
    SetParent(nullptr);
    Control::SetVisible(false);
    SetBounds(0, 0, 400, 300);
    Registry().push_back(this);
}

Form::~Form() {
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    if (g_active == this) g_active = nullptr;
}

const std::vector<Form*>& Form::All() { return Registry(); }
Form* Form::ActiveForm() { return g_active; }

int Form::FrameWidth() const {
    switch (borderStyle_) {
    case ui::BorderStyle::None: return 0;
    case ui::BorderStyle::Sizeable: return 4;
    default: return 3;
    }
}

int Form::CaptionHeight() const {
    switch (borderStyle_) {
    case ui::BorderStyle::None: return 0;
    case ui::BorderStyle::ToolWindow: return 16;
    default: return 22;
    }
}

// The bar stays (empty) when every item is hidden.
int Form::MenuHeight() const { return menu_ ? 20 : 0; }

int Form::CaptionWidth() const {
    if (borderStyle_ == ui::BorderStyle::None) return 0;
    return Backend::Current().CaptionWidth(Caption(), borderIcons_);
}

int Form::ClientWidth() const { return std::max(0, Width() - 2 * FrameWidth()); }

int Form::ClientHeight() const {
    return std::max(0, Height() - 2 * FrameWidth() - CaptionHeight() - MenuHeight());
}

void Form::SetActiveControl(Control* c) {
    if (c == active_) return;
    Control* old = active_;
    active_ = c;
    if (old && old->OnExit) old->OnExit();
    if (active_ == c && c && c->OnEnter) c->OnEnter();
}

bool Form::Active() const { return g_active == this; }

void Form::Activate() {
    if (g_active == this) return;
    Form* old = g_active;
    g_active = this;
    if (old && old->OnDeactivate) old->OnDeactivate();
    if (OnActivate) OnActivate();
}

void Form::ApplyPosition() {
    int w = Screen::Width(), h = Screen::Height();
    Form* main = Application::MainForm();
    switch (position_) {
    case ui::Position::ScreenCenter:
        SetBounds((w - Width()) / 2, (h - Height()) / 2, Width(), Height());
        break;
    case ui::Position::MainFormCenter:
        if (main && main != this)
            SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2,
                      Width(), Height());
        else
            SetBounds((w - Width()) / 2, (h - Height()) / 2, Width(), Height());
        break;
    default: break;
    }
}

void Form::SetVisible(bool v) {
    if (v == Visible()) return;
    if (v) {
        Control::SetVisible(true);
        if (OnShow) OnShow();
        // Centre after OnShow: the handler often sets the size.
        ApplyPosition();
        if (!active_) SetActiveControl(FirstFocusable(*this));
        Backend::Current().FormShown(*this);
    } else {
        if (OnHide) OnHide();
        Control::SetVisible(false);
        Backend::Current().FormHidden(*this);
        if (g_active == this) g_active = nullptr;
    }
}

void Form::Show() {
    SetVisible(true);
    Activate();
}

int Form::ShowModal() {
    if (modal_) return mrNone;
    Form* previous = g_active;
    modalResult_ = mrNone;
    modal_ = true;
    Control::SetVisible(false);
    SetVisible(true);
    Activate();
    Backend::Current().RunModal(*this);
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    modal_ = false;
    SetVisible(false);
    if (previous && previous != this && IsLive(previous) && previous->Visible()) previous->Activate();
    return modalResult_;
}

void Form::SetModalResult(int r) {
    modalResult_ = r;
    if (modal_ && r != mrNone) Backend::Current().ModalResultSet(*this);
}

bool Form::CloseModal() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(can);
    if (!can) {
        modalResult_ = mrNone;
        return false;
    }
    CloseAction action = CloseAction::Hide;
    if (OnClose) OnClose(action);
    if (action == CloseAction::None) {
        modalResult_ = mrNone;
        return false;
    }
    return true;
}

void Form::Close() {
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(can);
    if (!can) return;
    CloseAction action = CloseAction::Hide;
    if (OnClose) OnClose(action);
    if (action == CloseAction::None) return;
    SetVisible(false);
    if (Application::MainForm() == this) Application::Terminate();
}

Button* Form::FindButton(bool cancel) const {
    Button* b = nullptr;
    FindButtons(const_cast<Form&>(*this), cancel, b);
    return b;
}

bool Form::PreKeyDown(int& key, ui::Shift shift) {
    Message m;
    m.kind = Message::KeyDown;
    m.key = key;
    m.shift = shift;
    if (Application::Hook(m)) return true;
    if (keyPreview_ && OnKeyDown) {
        OnKeyDown(key, shift);
        if (key == 0) return true;
    }
    if (active_ && active_->OnKeyDown) {
        active_->OnKeyDown(key, shift);
        if (key == 0) return true;
    }
    return false;
}

void Form::DialogKey(int key) {
    if (key == key::Escape) {
        if (Button* b = FindButton(true)) b->Click();
    } else if (key == key::Return) {
        // Enter clicks the focused button, else the default one.
        if (auto* focused = dynamic_cast<Button*>(active_)) focused->Click();
        else if (dynamic_cast<Memo*>(active_)) return;
        else if (Button* b = FindButton(false)) b->Click();
    }
}

void Form::HandleKeyDown(int key, ui::Shift shift) {
    if (PreKeyDown(key, shift)) return;
    DialogKey(key);
}

void Form::HandleChar(char32_t ch) {
    if (auto* e = dynamic_cast<Edit*>(active_)) {
        e->TypeKey(ch);
        return;
    }
    if (auto* c = dynamic_cast<ComboBox*>(active_)) {
        std::u32string one(1, ch);
        if (c->Style() == ComboStyle::DropDown) {
            c->TypeText(utf8::Encode(one));
            return;
        }
    }
    Message m;
    m.kind = Message::Char;
    m.ch = ch;
    if (Application::Hook(m)) return;
    if (keyPreview_ && OnKeyPress) OnKeyPress(ch);
}

}  // namespace ui
