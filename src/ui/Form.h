// A window. A concrete window derives from Form, owns its controls as
// members, builds them in its constructor and calls its own FormCreate()
// as the constructor's last step (C++ has no later "created" moment).
#pragma once
#include <functional>
#include <vector>

#include "ui/Component.h"

namespace ui {

class MainMenu;
class Button;

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow };
enum class Position { Designed, ScreenCenter, MainFormCenter };
enum class CloseAction { None, Hide, Free, Minimize };
namespace border_icon {
constexpr int SystemMenu = 1, Minimize = 2, Maximize = 4;
}

class Form : public Control {
public:
    explicit Form(Component* owner = nullptr, std::string name = {});
    ~Form() override;

    // Shows the form modally and returns its modal result once it closed.
    int ShowModal();
    // Shows the form without modality (OnShow, OnActivate).
    void Show();
    // Modal: sets the modal result mrCancel. Otherwise OnCloseQuery,
    // OnClose, then hides the form; closing the main form ends the program.
    void Close();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    // A non-zero result ends the modal loop of a modal form.
    void SetModalResult(int r);

    void SetVisible(bool v) override;

    ui::BorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(ui::BorderStyle b) { borderStyle_ = b; Realign(); }
    int BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(int icons) { borderIcons_ = icons; }
    ui::Position Position() const { return position_; }
    void SetPosition(ui::Position p) { position_ = p; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool k) { keyPreview_ = k; }
    MainMenu* Menu() const { return menu_; }
    void SetMenu(MainMenu* m) { menu_ = m; Realign(); }

    // Outer size counts the frame, the caption bar and the menu bar.
    int ClientWidth() const override;
    int ClientHeight() const override;
    int FrameWidth() const;        // each side
    int CaptionHeight() const;     // title bar, 0 without border
    int MenuHeight() const;        // 0 without a menu
    // The outer width at which the title bar shows the whole caption (0
    // without a caption or a border).
    int CaptionWidth() const;

    Control* ActiveControl() const { return active_; }
    void SetActiveControl(Control* c);
    bool Active() const;

    // Keys reaching the form (from a backend or a test): the application's
    // hook, KeyPreview, the focused control, then Esc clicks the Cancel
    // button and Enter the Default button.
    void HandleKeyDown(int key, ui::Shift shift = {});
    // The first part of that: hook, KeyPreview and focused control; true
    // when one of them consumed the key.
    bool PreKeyDown(int& key, ui::Shift shift);
    // The second part: Esc and Enter as the dialog keys.
    void DialogKey(int key);
    void HandleChar(char32_t ch);

    std::function<void()> OnShow;
    std::function<void()> OnHide;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void(CloseAction& action)> OnClose;
    std::function<void(char32_t& key)> OnKeyPress;  // with KeyPreview

    // Used by backends: asks the form to finish its modal loop. Runs
    // OnCloseQuery and OnClose; returns false (and clears the modal
    // result) when they keep the form open.
    bool CloseModal();
    // Every form that exists, oldest first (backends sync the visible ones).
    static const std::vector<Form*>& All();
    static Form* ActiveForm();
    void Activate();

private:
    friend class Control;
    friend class Application;
    void ApplyPosition();
    Button* FindButton(bool cancel) const;
    bool modal_ = false;
    int modalResult_ = mrNone;
    ui::BorderStyle borderStyle_ = ui::BorderStyle::Sizeable;
    int borderIcons_ = border_icon::SystemMenu | border_icon::Minimize | border_icon::Maximize;
    ui::Position position_ = ui::Position::Designed;
    bool keyPreview_ = false;
    MainMenu* menu_ = nullptr;
    Control* active_ = nullptr;
};

}  // namespace ui
