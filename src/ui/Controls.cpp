#include "ui/Controls.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Utf8.h"

namespace ui {

namespace {
// Applies one typed key to a text with caret and selection (characters).
// Returns true when the text changed.
bool ApplyKey(std::string& text, int& selStart, int& selLength, char32_t k, int maxLength) {
    std::u32string t = utf8::Decode(text);
    int n = int(t.size());
    int s = std::clamp(selStart, 0, n);
    int l = std::clamp(selLength, 0, n - s);
    if (k == 8) {
        if (l > 0) t.erase(s, l);
        else if (s > 0) t.erase(--s, 1);
        else return false;
    } else if (k < 32 || k == 127) {
        return false;
    } else {
        if (maxLength > 0 && n - l >= maxLength) return false;
        t.erase(s, l);
        t.insert(t.begin() + s, k);
        ++s;
    }
    text = utf8::Encode(t);
    selStart = s;
    selLength = 0;
    return true;
}
}  // namespace

// ---------------------------------------------------------------- containers

Panel::Panel(Component* owner, std::string name) : Control(owner, std::move(name)) { SetBounds(0, 0, 185, 41); }

GroupBox::GroupBox(Component* owner, std::string name) : Control(owner, std::move(name)) { SetBounds(0, 0, 185, 105); }

ScrollBox::ScrollBox(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

int ScrollBox::HorzRange() const {
    if (hrange_ > 0) return hrange_;
    int r = 0;
    for (Control* c : Controls())
        if (c->Visible() && c->Align() == ui::Align::None) r = std::max(r, c->Left() + c->Width());
    return r;
}

int ScrollBox::VertRange() const {
    if (vrange_ > 0) return vrange_;
    int r = 0;
    for (Control* c : Controls())
        if (c->Visible() && c->Align() == ui::Align::None) r = std::max(r, c->Top() + c->Height());
    return r;
}

bool ScrollBox::VertBarShown() const {
    int b = border_ ? 2 : 0;
    bool v = VertRange() > Height() - 2 * b;
    bool h = HorzRange() > Width() - 2 * b - (v ? kBar : 0);
    return v || (h && VertRange() > Height() - 2 * b - kBar);
}

bool ScrollBox::HorzBarShown() const {
    int b = border_ ? 2 : 0;
    return HorzRange() > Width() - 2 * b - (VertBarShown() ? kBar : 0);
}

int ScrollBox::ClientWidth() const {
    return std::max(0, Width() - (border_ ? 4 : 0) - (VertBarShown() ? kBar : 0));
}

int ScrollBox::ClientHeight() const {
    return std::max(0, Height() - (border_ ? 4 : 0) - (HorzBarShown() ? kBar : 0));
}

void ScrollBox::SetHorzPosition(int p) { hpos_ = std::clamp(p, 0, std::max(0, HorzRange() - ClientWidth())); }
void ScrollBox::SetVertPosition(int p) { vpos_ = std::clamp(p, 0, std::max(0, VertRange() - ClientHeight())); }

bool ScrollBox::UserScroll(int horz, int vert) {
    if (!UserCan("scroll")) return false;
    SetHorzPosition(horz);
    SetVertPosition(vert);
    if (OnScroll) OnScroll();
    return true;
}

// ---------------------------------------------------------------- Label

Label::Label(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 32, 13);
    SetParentColor(true);
}

// ---------------------------------------------------------------- Edit, Memo

Edit::Edit(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
}

void Edit::SetText(std::string s) {
    if (s == Text()) return;
    Control::SetText(std::move(s));
    selStart_ = 0;
    selLength_ = 0;
    if (OnChange) OnChange();
}

void Edit::SetSelStart(int s) {
    selStart_ = std::clamp(s, 0, utf8::Length(Text()));
    selLength_ = 0;
}

void Edit::SetSelLength(int n) { selLength_ = std::clamp(n, 0, utf8::Length(Text()) - selStart_); }

void Edit::SelectAll() {
    selStart_ = 0;
    selLength_ = utf8::Length(Text());
}

void Edit::SetKeyFilter(KeyFilter filter) {
    if (!filter) {
        OnKeyPress = nullptr;
        return;
    }
    OnKeyPress = [this, filter](char32_t& key) { filter(Text(), SelStart(), key); };
}

bool Edit::TypeKey(char32_t key) {
    if (!UserCan("type into")) return false;
    if (!Focused()) SetFocus();
    Form* f = ParentForm();
    if (f && f->KeyPreview() && f->OnKeyPress) f->OnKeyPress(key);
    if (key && OnKeyPress) OnKeyPress(key);
    if (key) DoTypeKey(key);
    return true;
}

bool Edit::TypeText(const std::string& text) {
    for (char32_t c : utf8::Decode(text))
        if (!TypeKey(c)) return false;
    return true;
}

bool Edit::DoTypeKey(char32_t key) {
    if (readOnly_) return false;
    std::string t = Text();
    if (!ApplyKey(t, selStart_, selLength_, key, maxLength_)) return false;
    int s = selStart_;
    Control::SetText(std::move(t));
    selStart_ = s;
    if (OnChange) OnChange();
    return true;
}

Memo::Memo(Component* owner, std::string name) : Edit(owner, std::move(name)) { SetBounds(0, 0, 185, 89); }

std::vector<std::string> Memo::Lines() const {
    std::vector<std::string> out;
    const std::string& t = Text();
    if (t.empty()) return out;
    std::size_t b = 0;
    for (;;) {
        std::size_t e = t.find('\n', b);
        if (e == std::string::npos) {
            out.push_back(t.substr(b));
            break;
        }
        out.push_back(t.substr(b, e - b));
        b = e + 1;
    }
    return out;
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    std::string t;
    for (std::size_t i = 0; i < lines.size(); ++i) t += (i ? "\n" : "") + lines[i];
    SetText(std::move(t));
}

void Memo::AddLine(const std::string& line) {
    auto l = Lines();
    l.push_back(line);
    SetLines(l);
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 145, 21);
    SetColor(clWindow);
}

std::string ComboBox::Item(int i) const { return i >= 0 && i < ItemCount() ? items_[i] : std::string(); }

int ComboBox::IndexOf(const std::string& s) const {
    auto it = std::find(items_.begin(), items_.end(), s);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void ComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    SetItemIndex(index_);
}

void ComboBox::AddItem(std::string item) { items_.push_back(std::move(item)); }

void ComboBox::ClearItems() {
    items_.clear();
    index_ = -1;
    Control::SetText({});
}

void ComboBox::SetItemIndex(int i) {
    if (i < 0 || i >= ItemCount()) i = -1;
    index_ = i;
    Control::SetText(i >= 0 ? items_[i] : std::string());
}

void ComboBox::SetText(std::string s) {
    index_ = IndexOf(s);
    if (style_ == ComboStyle::DropDownList && index_ < 0) s.clear();
    Control::SetText(std::move(s));
}

bool ComboBox::Select(int i) {
    if (!UserCan("select in")) return false;
    if (i < 0 || i >= ItemCount()) {
        Backend::Current().Refused(*this, "select item " + std::to_string(i) + " (out of range)");
        return false;
    }
    SetFocus();
    SetItemIndex(i);
    if (OnClick) OnClick();
    if (OnSelect) OnSelect();
    else if (OnChange) OnChange();
    return true;
}

bool ComboBox::Select(const std::string& item) {
    int i = IndexOf(item);
    if (i < 0) {
        Backend::Current().Refused(*this, "select \"" + item + "\" (no such item)");
        return false;
    }
    return Select(i);
}

bool ComboBox::TypeText(const std::string& text) {
    if (!UserCan("type into")) return false;
    if (style_ != ComboStyle::DropDown) {
        Backend::Current().Refused(*this, "type into (a list without an edit field)");
        return false;
    }
    SetFocus();
    for (char32_t k : utf8::Decode(text)) {
        if (OnKeyPress) OnKeyPress(k);
        if (!k) continue;
        std::string t = Text();
        int s = utf8::Length(t), l = 0;
        if (!ApplyKey(t, s, l, k, maxLength_)) continue;
        index_ = IndexOf(t);
        Control::SetText(std::move(t));
        if (OnChange) OnChange();
    }
    return true;
}

// ---------------------------------------------------------------- check and radio

CheckBox::CheckBox(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 97, 17);
    SetParentColor(true);
}

void CheckBox::SetChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    if (OnClick) OnClick();
}

void CheckBox::DoClick() { SetChecked(!checked_); }

RadioButton::RadioButton(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 113, 17);
    SetParentColor(true);
}

void RadioButton::SetChecked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    if (!c) return;
    if (Parent())
        for (Control* k : Parent()->Controls())
            if (auto* r = dynamic_cast<RadioButton*>(k); r && r != this) r->checked_ = false;
    if (OnClick) OnClick();
}

void RadioButton::DoClick() { SetChecked(true); }

RadioGroup::RadioGroup(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 185, 105);
}

void RadioGroup::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (index_ >= int(items_.size())) index_ = -1;
}

void RadioGroup::SetItemIndex(int i) {
    if (i < 0 || i >= int(items_.size())) i = -1;
    if (i == index_) return;
    index_ = i;
    if (OnClick) OnClick();
}

bool RadioGroup::Select(int i) {
    if (!UserCan("select in")) return false;
    if (i < 0 || i >= int(items_.size())) {
        Backend::Current().Refused(*this, "select item " + std::to_string(i) + " (out of range)");
        return false;
    }
    SetItemIndex(i);
    return true;
}

// ---------------------------------------------------------------- Button

Button::Button(Component* owner, std::string name) : Control(owner, std::move(name)) { SetBounds(0, 0, 75, 25); }

void Button::SetDown(bool d) {
    if (d && groupIndex_ > 0 && Parent())
        for (Control* k : Parent()->Controls())
            if (auto* b = dynamic_cast<Button*>(k); b && b != this && b->groupIndex_ == groupIndex_) b->down_ = false;
    down_ = d;
}

void Button::DoClick() {
    if (groupIndex_ > 0) SetDown(down_ && allowAllUp_ ? false : true);
    if (modalResult_ != mrNone)
        if (Form* f = ParentForm()) f->SetModalResult(modalResult_);
    Control::DoClick();
}

// ---------------------------------------------------------------- bars

ProgressBar::ProgressBar(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 150, 16);
}

void ProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(pos_);
}

void ProgressBar::SetPosition(int p) { pos_ = std::clamp(p, min_, max_); }

UpDown::UpDown(Component* owner, std::string name) : Control(owner, std::move(name)) { SetBounds(0, 0, 16, 21); }

void UpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    pos_ = std::clamp(pos_, min_, max_);
}

void UpDown::SetPosition(int p) {
    pos_ = std::clamp(p, min_, max_);
    if (associate_) associate_->SetText(std::to_string(pos_));
}

void UpDown::SetAssociate(Edit* e) {
    associate_ = e;
    if (e) e->SetText(std::to_string(pos_));
}

bool UpDown::Press(bool up) {
    if (!UserCan(up ? "press up" : "press down")) return false;
    if (associate_) {
        const std::string& t = associate_->Text();
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(t.c_str(), &end, 10);
        if (!t.empty() && end && *end == '\0' && errno == 0) pos_ = int(std::clamp<long>(v, min_, max_));
    }
    long np = long(pos_) + (up ? inc_ : -inc_);
    if (np > max_) np = wrap_ ? min_ : max_;
    if (np < min_) np = wrap_ ? max_ : min_;
    lastUp_ = up;
    SetPosition(int(np));
    Control::DoClick();
    return true;
}

bool UpDown::ClickUp() { return Press(true); }
bool UpDown::ClickDown() { return Press(false); }

StatusBar::StatusBar(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 200, 19);
    SetAlign(ui::Align::Bottom);
}

StatusPanel& StatusBar::AddPanel(int width, std::string text) {
    panels_.push_back(StatusPanel{std::move(text), width, ui::TextAlign::Left});
    return panels_.back();
}

StatusPanel& StatusBar::Panel(int i) {
    if (i >= 0 && i < PanelCount()) return panels_[i];
    scratch_ = StatusPanel{};
    return scratch_;
}

const StatusPanel& StatusBar::Panel(int i) const {
    static const StatusPanel none{};
    return i >= 0 && i < PanelCount() ? panels_[i] : none;
}

// ---------------------------------------------------------------- dates

namespace {
constexpr long kUnixEpochDay = 25569;  // 1970-01-01 counted from 1899-12-30

long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(long(yoe) + era * 400 + (m <= 2));
}
}  // namespace

double EncodeDate(int year, int month, int day) {
    return double(DaysFromCivil(year, unsigned(month), unsigned(day)) + kUnixEpochDay);
}

double EncodeTime(int hour, int minute, int second, int ms) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / 86400000.0;
}

void DecodeDate(double dt, int& year, int& month, int& day) {
    if (!std::isfinite(dt)) dt = 0;
    CivilFromDays(long(std::floor(dt)) - kUnixEpochDay, year, month, day);
}

void DecodeTime(double dt, int& hour, int& minute, int& second, int& ms) {
    if (!std::isfinite(dt)) dt = 0;
    long long t = std::llround((dt - std::floor(dt)) * 86400000.0);
    if (t >= 86400000) t = 86399999;
    ms = int(t % 1000);
    t /= 1000;
    second = int(t % 60);
    t /= 60;
    minute = int(t % 60);
    hour = int(t / 60);
}

DateTimePicker::DateTimePicker(Component* owner, std::string name) : Control(owner, std::move(name)) {
    SetBounds(0, 0, 186, 21);
    SetColor(clWindow);
}

double DateTimePicker::Date() const { return std::floor(value_); }
double DateTimePicker::Time() const { return value_ - std::floor(value_); }
void DateTimePicker::SetDate(double d) { value_ = std::floor(d) + Time(); }
void DateTimePicker::SetTime(double t) { value_ = Date() + (t - std::floor(t)); }

bool DateTimePicker::Pick(double value) {
    if (!UserCan("pick a date in")) return false;
    SetFocus();
    value_ = value;
    if (OnChange) OnChange();
    return true;
}

}  // namespace ui
