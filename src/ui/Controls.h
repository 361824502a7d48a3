// The standard controls. Defaults follow the classic form designer
// (sizes in pixels, fonts and colours inherited from the parent).
//
// Semantics windows rely on:
//  - Edit/Memo: setting Text in code fires OnChange when the text changes.
//  - CheckBox: setting Checked in code fires OnClick when the state changes.
//  - RadioButton: checking one unchecks its sibling radio buttons and fires
//    OnClick; RadioGroup: setting ItemIndex fires OnClick when it changes.
//  - ComboBox: setting ItemIndex in code fires nothing; an index out of
//    range means no selection (-1). A user's choice fires OnClick, then
//    OnSelect when set, else OnChange.
//  - Button: a click sets the form's ModalResult to the button's when that
//    is not mrNone, then fires OnClick.
//  - ProgressBar/UpDown: Position is clamped to Min..Max.
// Methods named like a user's action (Click, TypeText, Select, ...) refuse
// to act on hidden or disabled controls.
#pragma once
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

class Panel : public Control {
public:
    Panel(Component* owner, std::string name);
    ui::Bevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(ui::Bevel b) { bevelOuter_ = b; }
    ui::Bevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(ui::Bevel b) { bevelInner_ = b; }
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w) { bevelWidth_ = w; }
    ui::TextAlign Alignment() const { return alignment_; }
    void SetAlignment(ui::TextAlign a) { alignment_ = a; }
private:
    ui::Bevel bevelOuter_ = ui::Bevel::Raised, bevelInner_ = ui::Bevel::None;
    int bevelWidth_ = 1;
    ui::TextAlign alignment_ = ui::TextAlign::Center;
};

class GroupBox : public Control {
public:
    GroupBox(Component* owner, std::string name);
};

// A scrolled area: children are placed in content coordinates; the
// scroll positions say which part shows.
class ScrollBox : public Control {
public:
    ScrollBox(Component* owner, std::string name);
    int HorzPosition() const { return hpos_; }
    int VertPosition() const { return vpos_; }
    void SetHorzPosition(int p);  // clamped to 0..range - client
    void SetVertPosition(int p);
    // Content size: set explicitly, or (0) the extent of the visible children.
    int HorzRange() const;
    int VertRange() const;
    void SetHorzRange(int r) { hrange_ = r; SetHorzPosition(hpos_); }
    void SetVertRange(int r) { vrange_ = r; SetVertPosition(vpos_); }
    int HorzIncrement() const { return hinc_; }
    int VertIncrement() const { return vinc_; }
    void SetHorzIncrement(int i) { hinc_ = i > 0 ? i : 1; }
    void SetVertIncrement(int i) { vinc_ = i > 0 ? i : 1; }
    bool HorzBarShown() const;
    bool VertBarShown() const;
    bool BorderSingle() const { return border_; }
    void SetBorderSingle(bool b) { border_ = b; }
    int ClientWidth() const override;
    int ClientHeight() const override;
    // A user's scrolling (positions clamped), then OnScroll.
    bool UserScroll(int horz, int vert);
    std::function<void()> OnScroll;
    static constexpr int kBar = 17;
private:
    int hpos_ = 0, vpos_ = 0, hrange_ = 0, vrange_ = 0, hinc_ = 8, vinc_ = 8;
    bool border_ = true;
};

class Label : public Control {
public:
    Label(Component* owner, std::string name);
    ui::TextAlign Alignment() const { return alignment_; }
    void SetAlignment(ui::TextAlign a) { alignment_ = a; }
    ui::TextLayout Layout() const { return layout_; }
    void SetLayout(ui::TextLayout l) { layout_ = l; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool w) { wordWrap_ = w; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t) { transparent_ = t; }
    // Off by default: the width stays as set (the screen backend may show
    // more of the text, never less).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool a) { autoSize_ = a; }
private:
    ui::TextAlign alignment_ = ui::TextAlign::Left;
    ui::TextLayout layout_ = ui::TextLayout::Top;
    bool wordWrap_ = false, transparent_ = false, autoSize_ = false;
};

// A key filter for edit boxes: gets the text, the caret (characters) and the
// key, and sets the key to 0 to drop it.
using KeyFilter = void (*)(const std::string& text, int caret, char32_t& key);

class Edit : public Control {
public:
    Edit(Component* owner, std::string name);
    void SetText(std::string s) override;  // fires OnChange when changed
    int MaxLength() const { return maxLength_; }  // characters, 0 = any
    void SetMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t c) { passwordChar_ = c; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool r) { readOnly_ = r; }
    ui::TextAlign Alignment() const { return alignment_; }
    void SetAlignment(ui::TextAlign a) { alignment_ = a; }
    // Caret and selection in characters.
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelStart(int s);
    void SetSelLength(int n);
    void SelectAll();
    bool CanFocus() const override { return true; }
    // Hooks a key filter to OnKeyPress.
    void SetKeyFilter(KeyFilter filter);

    // A user types: each character goes through OnKeyPress (the form's
    // first with KeyPreview), 0 drops it, 8 is backspace; the rest replaces
    // the selection at the caret within MaxLength, then OnChange.
    bool TypeKey(char32_t key);
    bool TypeText(const std::string& text);

    std::function<void()> OnChange;
    std::function<void(char32_t& key)> OnKeyPress;
protected:
    bool DoTypeKey(char32_t key);
private:
    int maxLength_ = 0;
    char32_t passwordChar_ = 0;
    bool readOnly_ = false;
    ui::TextAlign alignment_ = ui::TextAlign::Left;
    int selStart_ = 0, selLength_ = 0;
};

class Memo : public Edit {
public:
    Memo(Component* owner, std::string name);
    std::vector<std::string> Lines() const;  // Text split at "\n"
    void SetLines(const std::vector<std::string>& lines);
    void AddLine(const std::string& line);
    void ClearLines() { SetText({}); }
    int LineCount() const { return int(Lines().size()); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool w) { wordWrap_ = w; }
    ui::ScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(ui::ScrollBars s) { scrollBars_ = s; }
private:
    bool wordWrap_ = true;
    ui::ScrollBars scrollBars_ = ui::ScrollBars::None;
};

enum class ComboStyle { DropDown, DropDownList };

class ComboBox : public Control {
public:
    ComboBox(Component* owner, std::string name);
    ComboStyle Style() const { return style_; }
    void SetStyle(ComboStyle s) { style_ = s; }
    const std::vector<std::string>& Items() const { return items_; }
    int ItemCount() const { return int(items_.size()); }
    std::string Item(int i) const;  // empty out of range
    void SetItems(std::vector<std::string> items);  // keeps the index when still valid
    void AddItem(std::string item);
    void ClearItems();
    int IndexOf(const std::string& s) const;
    int ItemIndex() const { return index_; }
    void SetItemIndex(int i);  // no event; out of range = -1
    // DropDownList: selects the matching item (or none); DropDown: free text.
    void SetText(std::string s) override;
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int n) { dropDownCount_ = n; }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    bool CanFocus() const override { return true; }

    // A user picks item i (OnClick, then OnSelect or else OnChange).
    bool Select(int i);
    bool Select(const std::string& item);
    // A user types into an editable box (OnKeyPress, then OnChange).
    bool TypeText(const std::string& text);

    std::function<void()> OnChange;
    std::function<void()> OnSelect;
    std::function<void(char32_t& key)> OnKeyPress;
private:
    ComboStyle style_ = ComboStyle::DropDown;
    std::vector<std::string> items_;
    int index_ = -1;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
};

class CheckBox : public Control {
public:
    CheckBox(Component* owner, std::string name);
    bool Checked() const { return checked_; }
    void SetChecked(bool c);  // fires OnClick when the state changes
    bool CanFocus() const override { return true; }
protected:
    void DoClick() override;  // toggles
private:
    bool checked_ = false;
};

class RadioButton : public Control {
public:
    RadioButton(Component* owner, std::string name);
    bool Checked() const { return checked_; }
    // Checking unchecks the sibling radio buttons and fires OnClick.
    void SetChecked(bool c);
    bool CanFocus() const override { return true; }
protected:
    void DoClick() override;
private:
    bool checked_ = false;
};

class RadioGroup : public Control {
public:
    RadioGroup(Component* owner, std::string name);
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    void AddItem(std::string item) { items_.push_back(std::move(item)); }
    int ItemIndex() const { return index_; }
    void SetItemIndex(int i);  // out of range = -1; fires OnClick when changed
    int Columns() const { return columns_; }
    void SetColumns(int c) { columns_ = c < 1 ? 1 : c; }
    bool Select(int i);  // a user's choice
private:
    std::vector<std::string> items_;
    int index_ = -1;
    int columns_ = 1;
};

// Standard pictures of bitmap buttons.
enum class Glyph { None, Ok, Cancel, Close, Yes, No, Help, Retry, Open, Save };

// Push button, bitmap button and speed button alike.
class Button : public Control {
public:
    Button(Component* owner, std::string name);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    bool Default() const { return default_; }   // Enter clicks it
    void SetDefault(bool d) { default_ = d; }
    bool Cancel() const { return cancel_; }     // Esc clicks it
    void SetCancel(bool c) { cancel_ = c; }
    // Speed-button behaviour: a group index > 0 makes it stay down.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int g) { groupIndex_ = g; }
    bool Down() const { return down_; }
    void SetDown(bool d);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool a) { allowAllUp_ = a; }
    bool Flat() const { return flat_; }
    void SetFlat(bool f) { flat_ = f; }
    ui::Glyph Glyph() const { return glyph_; }
    void SetGlyph(ui::Glyph g) { glyph_ = g; }
    bool CanFocus() const override { return true; }
protected:
    void DoClick() override;
private:
    ui::Glyph glyph_ = ui::Glyph::None;
    int modalResult_ = mrNone;
    bool default_ = false, cancel_ = false, down_ = false, allowAllUp_ = false, flat_ = false;
    int groupIndex_ = 0;
};

class ProgressBar : public Control {
public:
    ProgressBar(Component* owner, std::string name);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    void SetMin(int m) { SetRange(m, max_); }
    void SetMax(int m) { SetRange(min_, m); }
    int Position() const { return pos_; }
    void SetPosition(int p);  // clamped to Min..Max
    int Step() const { return step_; }
    void SetStep(int s) { step_ = s; }
    void StepIt() { SetPosition(pos_ + step_); }
    void StepBy(int d) { SetPosition(pos_ + d); }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool s) { smooth_ = s; }
private:
    int min_ = 0, max_ = 100, pos_ = 0, step_ = 10;
    bool smooth_ = false;
};

class UpDown : public Control {
public:
    UpDown(Component* owner, std::string name);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Position() const { return pos_; }
    void SetPosition(int p);  // clamped; writes the associated edit's text
    int Increment() const { return inc_; }
    void SetIncrement(int i) { inc_ = i; }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool w) { wrap_ = w; }
    Edit* Associate() const { return associate_; }
    void SetAssociate(Edit* e);
    // A user presses an arrow: takes a number typed in the edit, steps,
    // then OnClick (LastUp() tells which arrow).
    bool ClickUp();
    bool ClickDown();
    bool LastUp() const { return lastUp_; }
private:
    bool Press(bool up);
    int min_ = 0, max_ = 100, pos_ = 0, inc_ = 1;
    bool wrap_ = false, lastUp_ = true;
    Edit* associate_ = nullptr;
};

struct StatusPanel {
    std::string Text;
    int Width = 50;
    ui::TextAlign Alignment = ui::TextAlign::Left;
};

class StatusBar : public Control {
public:
    StatusBar(Component* owner, std::string name);
    int PanelCount() const { return int(panels_.size()); }
    StatusPanel& AddPanel(int width, std::string text = {});
    // Panel i; an index out of range gives a scratch panel that shows nowhere.
    StatusPanel& Panel(int i);
    const StatusPanel& Panel(int i) const;
    void SetPanelText(int i, std::string text) { Panel(i).Text = std::move(text); }
    const std::string& PanelText(int i) const { return Panel(i).Text; }
    void ClearPanels() { panels_.clear(); }
    // One text over the whole bar instead of the panels.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool s) { simplePanel_ = s; }
    const std::string& SimpleText() const { return Text(); }
    void SetSimpleText(std::string s) { SetText(std::move(s)); }
private:
    std::vector<StatusPanel> panels_;
    StatusPanel scratch_;
    bool simplePanel_ = false;
};

// Date-time values are days since 1899-12-30 with the time of day as the
// fraction, as stored in the program's binary records.
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int ms = 0);
void DecodeDate(double dt, int& year, int& month, int& day);
void DecodeTime(double dt, int& hour, int& minute, int& second, int& ms);

enum class DateTimeKind { Date, Time };

class DateTimePicker : public Control {
public:
    DateTimePicker(Component* owner, std::string name);
    DateTimeKind Kind() const { return kind_; }
    void SetKind(DateTimeKind k) { kind_ = k; }
    double DateTime() const { return value_; }
    void SetDateTime(double v) { value_ = v; }
    double Date() const;           // whole days
    double Time() const;           // fraction
    void SetDate(double d);        // keeps the time
    void SetTime(double t);        // keeps the date
    // The first and last date the box offers (0: no bound); a date typed
    // outside is not taken.
    double MinDate() const { return minDate_; }
    double MaxDate() const { return maxDate_; }
    void SetMinDate(double d) { minDate_ = d; }
    void SetMaxDate(double d) { maxDate_ = d; }
    bool CanFocus() const override { return true; }
    bool Pick(double value);       // a user's choice, then OnChange
    std::function<void()> OnChange;
private:
    DateTimeKind kind_ = DateTimeKind::Date;
    double value_ = 0;
    double minDate_ = 0, maxDate_ = 0;
};

}  // namespace ui
