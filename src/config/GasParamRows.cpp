#include "config/GasParamRows.h"

#include <cmath>
#include <cstring>

#include "common/Stringi.h"
#include "common/Suplfunc.h"

namespace gasrows {

std::string RowName(std::string_view prefix, int code) { return std::string(prefix) + std::to_string(code + 1); }

std::string ParamName(int code) {
    const char* name = texts::GasParamNames.At(code);
    return name ? name : "";
}

std::array<ui::Panel*, kRows> Rows::NamePanels(int left, int width, int height) {
    std::array<ui::Panel*, kRows> pn = Make<ui::Panel>("pn", left, width, height);
    for (int c = 0; c < kRows; ++c) {
        pn[c]->SetCaption(ParamName(c));
        pn[c]->SetAlignment(ui::TextAlign::Left);
        pn[c]->SetBevelOuter(ui::Bevel::Lowered);
    }
    return pn;
}

void Heading(ui::Panel& p, const std::string& caption, int left, int top, int width, int height) {
    p.SetCaption(caption);
    p.SetBevelOuter(ui::Bevel::Lowered);
    p.SetAlignment(ui::TextAlign::Center);
    p.SetFontBold(true);
    p.SetBounds(left, top, width, height);
}

std::string LimitText(double v, int decimals) { return FloatToStrFixed(v, 10, decimals); }

bool ReformatLimitEdit(ui::Edit& e, int decimals) {
    double v = 0;
    if (!TryStrToFloat(e.Text(), v)) return false;
    e.SetText(LimitText(v, decimals));
    return true;
}

void ShownTexts::Remember(int code, const std::string& text) {
    if (code < 0 || code >= kRows) return;
    texts_[code] = text;
    shown_[code] = true;
}

bool ShownTexts::Untouched(int code, const std::string& text) const {
    return code >= 0 && code < kRows && shown_[code] && texts_[code] == text;
}

Value ReadSingle(const std::string& text, float& v) {
    if (text.find_first_not_of(' ') == std::string::npos) return Value::Empty;
    double d = 0;
    if (!TryStrToFloat(text, d)) return Value::Invalid;
    const float f = float(d);
    if (!std::isfinite(f)) return Value::Invalid;
    v = f;
    return Value::Number;
}

float GetValue(const uint8_t* block, int code) { return GetF32(block + code * 4); }

void PutValue(uint8_t* block, int code, float v) { PutF32(block + code * 4, v); }

}  // namespace gasrows
