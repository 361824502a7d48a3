#include "config/EditorParts.h"

#include <climits>

#include "common/Question.h"
#include "common/Suplfunc.h"

namespace editor {

void DialogWindow(ui::Form& form, int width, int height, const char* caption) {
    form.SetBorderStyle(ui::BorderStyle::Dialog);
    form.SetBorderIcons(ui::border_icon::SystemMenu);
    form.SetPosition(ui::Position::ScreenCenter);
    if (caption) form.SetCaption(caption);
    form.SetBounds(0, 0, width, height);
}

void ComboRows(std::initializer_list<ComboRow> rows, int labelWidth, int comboLeft, int comboWidth, int tallShift) {
    for (const ComboRow& r : rows) {
        r.label.SetCaption(r.caption);
        r.label.SetBounds(12, r.top + 3, labelWidth, r.height);
        r.combo.SetStyle(ui::ComboStyle::DropDownList);
        r.combo.SetBounds(comboLeft, r.top + (r.height > 16 ? tallShift : 0), comboWidth, 21);
    }
}

void AcceptButtons(ui::Button& accept, ui::Button& write, ui::Button& cancel, int left, int top, int gap,
                   const std::function<void()>& onAccept) {
    accept.SetCaption("Прийняти");
    write.SetCaption("Записати в пристрій");
    for (ui::Button* b : {&accept, &write}) {
        b->SetGlyph(ui::Glyph::Ok);
        b->SetBounds(left, top, 160, 30);
        b->OnClick = onAccept;
    }
    CancelButton(cancel, left + 160 + gap, top, 126);
}

void CancelButton(ui::Button& cancel, int left, int top, int width) {
    cancel.SetCaption("Відмінити");
    cancel.SetGlyph(ui::Glyph::Cancel);
    cancel.SetBounds(left, top, width, 30);
    cancel.SetCancel(true);
    cancel.SetModalResult(ui::mrCancel);
}

void ShowModeButton(ui::Button& accept, ui::Button& write, uint8_t mode) {
    write.SetVisible(mode == 1);
    accept.SetVisible(mode != 1);
}

std::vector<std::string> NumberItems(int first, int last) {
    std::vector<std::string> items;
    for (int v = first; v <= last; ++v) items.push_back(std::to_string(v));
    return items;
}

std::vector<std::string> BaudItems() {
    std::vector<std::string> items;
    for (uint32_t rate : BaudRates) items.push_back(std::to_string(rate));
    return items;
}

void DigitsOnly(ui::ComboBox& c, int maxLength) {
    c.SetStyle(ui::ComboStyle::DropDown);
    c.SetMaxLength(maxLength);
    ui::ComboBox* combo = &c;
    c.OnKeyPress = [combo](char32_t& key) {
        const std::string& t = combo->Text();
        KeyFilterDigits(t, int(t.size()), key);
    };
}

void NumberCombo(ui::ComboBox& c, int first, int last) {
    c.SetItems(NumberItems(first, last));
    DigitsOnly(c, int(std::to_string(last).size()));
    c.SetDropDownCount(16);
}

void InputError(const std::string& line1, const std::string& line2) {
    MessageKind = 2;
    ShowQues(line1, line2);
}

}  // namespace editor

std::string IntToText(long v) { return std::to_string(v); }
