#include "ui/Menu.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

MenuItem::MenuItem(Component* owner, std::string name, std::string caption)
    : Component(owner, std::move(name)), caption_(std::move(caption)) {}

MenuItem::~MenuItem() {
    for (MenuItem* i : items_) i->parent_ = nullptr;
    if (parent_) parent_->Remove(*this);
}

MenuItem& MenuItem::Add(MenuItem& item) {
    if (&item == this) return item;
    if (item.parent_) item.parent_->Remove(item);
    items_.push_back(&item);
    item.parent_ = this;
    return item;
}

void MenuItem::Remove(MenuItem& item) {
    auto it = std::find(items_.begin(), items_.end(), &item);
    if (it == items_.end()) return;
    items_.erase(it);
    item.parent_ = nullptr;
}

void MenuItem::ForEach(const std::function<void(MenuItem&)>& f) {
    for (MenuItem* i : std::vector<MenuItem*>(items_)) {
        f(*i);
        i->ForEach(f);
    }
}

bool MenuItem::Click() {
    for (MenuItem* i = this; i; i = i->parent_)
        if (!i->visible_ || !i->enabled_) {
            Backend::Current().Refused(*this, i == this ? "choose (hidden or disabled)"
                                                        : "choose (under a hidden or disabled item)");
            return false;
        }
    if (!items_.empty()) {
        Backend::Current().Refused(*this, "choose (it opens a sub-menu)");
        return false;
    }
    if (OnClick) OnClick();
    return true;
}

MainMenu::MainMenu(Component* owner, std::string name) : Component(owner, name), root_(nullptr, name) {
    if (auto* f = dynamic_cast<Form*>(owner); f && !f->Menu()) f->SetMenu(this);
}

MainMenu::~MainMenu() {
    if (auto* f = dynamic_cast<Form*>(Owner()); f && f->Menu() == this) f->SetMenu(nullptr);
}

bool MainMenu::AnyVisible() const {
    for (MenuItem* i : root_.Items())
        if (i->Visible()) return true;
    return false;
}

}  // namespace ui
