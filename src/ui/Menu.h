// Main menu and menu items. An item is a component (found by name), with
// sub-items added in order; a caption "-" is a separator.
#pragma once
#include <functional>
#include <vector>

#include "ui/Component.h"

namespace ui {

class MenuItem : public Component {
public:
    MenuItem(Component* owner, std::string name, std::string caption = {});
    ~MenuItem() override;
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string c) { caption_ = std::move(c); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }
    bool Checked() const { return checked_; }
    void SetChecked(bool c) { checked_ = c; }
    bool IsSeparator() const { return caption_ == "-"; }

    MenuItem& Add(MenuItem& item);  // appends a sub-item (moves it from an old parent)
    void Remove(MenuItem& item);
    const std::vector<MenuItem*>& Items() const { return items_; }
    int Count() const { return int(items_.size()); }
    MenuItem* Item(int i) const { return i >= 0 && i < Count() ? items_[i] : nullptr; }
    MenuItem* ParentItem() const { return parent_; }
    // Calls f for this item's sub-items at every depth.
    void ForEach(const std::function<void(MenuItem&)>& f);

    // A user chooses the item: refused unless it and every parent item are
    // visible and enabled and it has no sub-items.
    bool Click();
    std::function<void()> OnClick;

private:
    std::string caption_;
    bool visible_ = true, enabled_ = true, checked_ = false;
    MenuItem* parent_ = nullptr;
    std::vector<MenuItem*> items_;
};

// The menu bar. Its top-level items are the sub-items of Items(). Made on a
// form that has no menu yet, it becomes that form's menu.
class MainMenu : public Component {
public:
    MainMenu(Component* owner, std::string name);
    ~MainMenu() override;
    MenuItem& Items() { return root_; }
    const MenuItem& Items() const { return root_; }
    MenuItem& Add(MenuItem& item) { return root_.Add(item); }
    bool AnyVisible() const;
private:
    MenuItem root_;
};

}  // namespace ui
