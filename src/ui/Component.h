// Components and controls: the retained tree every window is built from.
//
// A Component has a Name, a Tag and an owner; the owner (normally the form)
// finds it with FindComponent. A Control adds a parent, geometry in pixels
// (96-dpi screen, relative to the parent's client area), Align, visibility,
// enabled state, caption/text, font and colour. Properties are read with
// Name() and written with SetName(...); events are std::function members.
//
// Controls are normally members of their form class, constructed as
// `ui::Edit Edit1{this, "Edit1"};`; their parent defaults to the owner when
// the owner is a control (move them into panels with SetParent). Destroying
// a component detaches it from its owner and parent; nothing is deleted
// behind the caller's back except components made with Make<T>().
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Types.h"

namespace ui {

class Form;

class Component {
public:
    Component(Component* owner, std::string name);
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    virtual ~Component();

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    Component* Owner() const { return owner_; }

    // Components owned by this one, in creation order.
    const std::vector<Component*>& Components() const { return components_; }
    int ComponentCount() const { return int(components_.size()); }
    // An owned component by name (exact match), or nullptr.
    Component* FindComponent(std::string_view name) const;
    template <class T> T* Find(std::string_view name) const { return dynamic_cast<T*>(FindComponent(name)); }

    // Creates a component on the heap, owned (and deleted) by this one:
    // for windows that make rows of controls at run time.
    template <class T> T& Make(std::string name) {
        auto p = std::make_unique<T>(this, std::move(name));
        T& r = *p;
        made_.push_back(std::move(p));
        return r;
    }

private:
    std::string name_;
    int tag_ = 0;
    Component* owner_ = nullptr;
    std::vector<Component*> components_;
    std::vector<std::unique_ptr<Component>> made_;
};

class Control : public Component {
public:
    Control(Component* owner, std::string name);
    ~Control() override;

    Control* Parent() const { return parent_; }
    void SetParent(Control* parent);
    const std::vector<Control*>& Controls() const { return children_; }
    int ControlCount() const { return int(children_.size()); }
    // The form this control sits in (following parents), or nullptr.
    Form* ParentForm() const;

    // Caption and Text are the same string (UTF-8).
    const std::string& Caption() const { return text_; }
    void SetCaption(std::string s) { SetText(std::move(s)); }
    const std::string& Text() const { return text_; }
    virtual void SetText(std::string s);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible together with every parent up to (not including) the form.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }
    // Enabled together with every parent.
    bool EffectivelyEnabled() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    void SetClientWidth(int w) { SetWidth(w + width_ - ClientWidth()); }
    void SetClientHeight(int h) { SetHeight(h + height_ - ClientHeight()); }

    ui::Align Align() const { return align_; }
    void SetAlign(ui::Align a);
    // Lays out the aligned children in the client area (as the classic
    // form libraries do: top, bottom, left, right, then client; among
    // controls of the same Align the first made is nearest the edge). Runs by
    // itself whenever a size, an alignment or a visibility changes.
    void Realign();

    // The font in effect: its own once set, else its parent's.
    ui::Font Font() const;
    void SetFont(const ui::Font& f) { font_ = f; parentFont_ = false; }
    void SetFontColor(ui::Color c) { auto f = Font(); f.Color = c; SetFont(f); }
    void SetFontHeight(int px) { auto f = Font(); f.Height = px; SetFont(f); }
    void SetFontBold(bool b) { auto f = Font(); f.Bold = b; SetFont(f); }
    void SetFontName(std::string n) { auto f = Font(); f.Name = std::move(n); SetFont(f); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool p) { parentFont_ = p; }
    // The background colour in effect: its own, or its parent's while
    // ParentColor is set (labels, check boxes, radio buttons by default).
    ui::Color Color() const;
    void SetColor(ui::Color c) { color_ = c; parentColor_ = false; }
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool p) { parentColor_ = p; }

    std::string Hint;  // tool tip text

    // Focus: the form's active control.
    bool Focused() const;
    void SetFocus();
    virtual bool CanFocus() const { return false; }

    // What a user does. Each refuses (returns false, and the backend is
    // told, so a test fails) when the control is hidden or disabled.
    bool Click();
    bool DblClick();
    // A key pressed while this control has focus: OnKeyDown, then the
    // form's Esc/Enter handling.
    bool KeyDown(int key, ui::Shift shift = {});

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    std::function<void()> OnResize;
    std::function<void(int& key, ui::Shift)> OnKeyDown;

protected:
    bool UserCan(const char* action);  // showing and enabled, else reported
    virtual void DoClick();            // the click itself (buttons add the modal result)
    virtual void DoDblClick();

private:
    friend class Form;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    std::string text_;
    bool visible_ = true, enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    ui::Align align_ = ui::Align::None;
    ui::Font font_;
    bool parentFont_ = true;
    ui::Color color_ = clBtnFace;
    bool parentColor_ = false;
    bool aligning_ = false;
};

}  // namespace ui
