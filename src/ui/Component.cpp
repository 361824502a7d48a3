#include "ui/Component.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

namespace {
template <class T> void EraseOne(std::vector<T*>& v, T* p) {
    auto it = std::find(v.begin(), v.end(), p);
    if (it != v.end()) v.erase(it);
}
}  // namespace

Component::Component(Component* owner, std::string name) : name_(std::move(name)), owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

Component::~Component() {
    Backend::Current().ComponentDestroyed(*this);
    made_.clear();
    for (Component* c : components_) c->owner_ = nullptr;
    if (owner_) EraseOne(owner_->components_, this);
}

Component* Component::FindComponent(std::string_view name) const {
    for (Component* c : components_)
        if (c->name_ == name) return c;
    return nullptr;
}

// ---------------------------------------------------------------- Control

Control::Control(Component* owner, std::string name) : Component(owner, std::move(name)) {
    if (auto* p = dynamic_cast<Control*>(owner)) SetParent(p);
}

Control::~Control() {
    Backend::Current().ComponentDestroyed(*this);
    for (Form* f : {ParentForm(), dynamic_cast<Form*>(Owner())})
        if (f && f->active_ == this) f->active_ = nullptr;
    for (Control* c : children_) c->parent_ = nullptr;
    children_.clear();
    if (parent_) EraseOne(parent_->children_, this);
}

void Control::SetParent(Control* parent) {
    if (parent == parent_ || parent == this) return;
    Control* old = parent_;
    if (old) EraseOne(old->children_, this);
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
    if (align_ != ui::Align::None) {
        if (old) old->Realign();
        if (parent_) parent_->Realign();
    }
}

Form* Control::ParentForm() const {
    for (const Control* c = this; c; c = c->parent_)
        if (auto* f = dynamic_cast<const Form*>(c)) return const_cast<Form*>(f);
    return nullptr;
}

void Control::SetText(std::string s) { text_ = std::move(s); }

void Control::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (parent_ && align_ != ui::Align::None) parent_->Realign();
}

bool Control::Showing() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (dynamic_cast<const Form*>(c)) return true;
        if (!c->visible_) return false;
    }
    return true;
}

bool Control::EffectivelyEnabled() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void Control::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    bool resized = width != width_ || height != height_;
    if (!resized && left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Realign();
    if (parent_ && align_ != ui::Align::None) parent_->Realign();
    if (resized && OnResize) OnResize();
}

void Control::SetAlign(ui::Align a) {
    if (a == align_) return;
    align_ = a;
    if (parent_) parent_->Realign();
}

void Control::Realign() {
    if (aligning_) return;
    aligning_ = true;
    int l = 0, t = 0, r = ClientWidth(), b = ClientHeight();
    for (ui::Align pass : {ui::Align::Top, ui::Align::Bottom, ui::Align::Left, ui::Align::Right, ui::Align::Client}) {
        // Copy: a child's resize handler may change the tree.
        std::vector<Control*> kids = children_;
        for (Control* c : kids) {
            if (c->align_ != pass || !c->visible_) continue;
            switch (pass) {
            case ui::Align::Top: c->SetBounds(l, t, r - l, c->height_); t += c->height_; break;
            case ui::Align::Bottom: b -= c->height_; c->SetBounds(l, b, r - l, c->height_); break;
            case ui::Align::Left: c->SetBounds(l, t, c->width_, b - t); l += c->width_; break;
            case ui::Align::Right: r -= c->width_; c->SetBounds(r, t, c->width_, b - t); break;
            default: c->SetBounds(l, t, r - l, b - t); break;
            }
        }
    }
    aligning_ = false;
}

ui::Font Control::Font() const {
    if (parentFont_ && parent_) return parent_->Font();
    return font_;
}

ui::Color Control::Color() const {
    if (parentColor_ && parent_) return parent_->Color();
    return color_;
}

bool Control::Focused() const {
    Form* f = ParentForm();
    return f && f->active_ == this;
}

void Control::SetFocus() {
    if (Form* f = ParentForm()) f->SetActiveControl(this);
}

bool Control::UserCan(const char* action) {
    if (Showing() && EffectivelyEnabled()) return true;
    Backend::Current().Refused(*this, std::string(action) + (Showing() ? " (disabled)" : " (hidden)"));
    return false;
}

bool Control::Click() {
    if (!UserCan("click")) return false;
    if (CanFocus()) SetFocus();
    DoClick();
    return true;
}

bool Control::DblClick() {
    if (!UserCan("double-click")) return false;
    DoDblClick();
    return true;
}

bool Control::KeyDown(int key, ui::Shift shift) {
    if (!UserCan("press a key in")) return false;
    if (CanFocus()) SetFocus();
    if (Form* f = ParentForm()) f->HandleKeyDown(key, shift);
    else if (OnKeyDown) OnKeyDown(key, shift);
    return true;
}

void Control::DoClick() {
    if (OnClick) OnClick();
}

void Control::DoDblClick() {
    if (OnDblClick) OnDblClick();
}

}  // namespace ui
