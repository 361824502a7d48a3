#include "config/Formate.h"

#include "common/Question.h"

namespace {
const char* const kGroupLabels[TFormRepConf::kGroups] = {
    "Молярна частка параметру газа, % ",
    "Теплота згоряння, число Воббе, МДж/м3",
    "Теплота згоряння, число Воббе, ккал/м3",
    "Теплота згоряння, число Воббе, кВт*год/м3",
    "Абсолютна густина, кг/м3",
    "Відносна густина",
    "Тиск, кгс/см2",
    "Температура, °С",
    "Фактор стисливості",
};
// The combos offer 2..10 digits; item i is i + 2 digits.
constexpr int kFirstDigits = 2, kLastDigits = 10;
}  // namespace

TFormRepConf::TFormRepConf(ui::Component* owner) : ui::Form(owner, "FormRepConf") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Формат представлення даних");
    SetBounds(0, 0, 394, 440);

    Panel1.SetBounds(8, 8, 372, 44);
    Panel1.SetBevelOuter(ui::Bevel::Lowered);
    Panel1.SetCaption({});
    Label10.SetParent(&Panel1);
    Label11.SetParent(&Panel1);
    Label10.SetCaption(" Формат представлення даних");
    Label11.SetCaption("(кількість знаків після коми)");
    Label10.SetFontBold(true);
    for (ui::Label* l : {&Label10, &Label11}) l->SetAlignment(ui::TextAlign::Center);
    Label10.SetBounds(2, 5, 368, 16);
    Label11.SetBounds(2, 23, 368, 16);

    std::vector<std::string> items;
    for (int d = kFirstDigits; d <= kLastDigits; ++d) items.push_back(std::to_string(d));
    ui::Label* labels[kGroups] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9};
    for (int g = 0; g < kGroups; ++g) {
        const int top = 62 + g * 33;
        labels[g]->SetCaption(kGroupLabels[g]);
        labels[g]->SetBounds(12, top + 4, 290, 16);
        ui::ComboBox& c = Combo(g);
        c.SetStyle(ui::ComboStyle::DropDownList);
        c.SetItems(items);
        c.SetDropDownCount(9);
        c.SetBounds(310, top, 60, 22);
    }

    BitBtn3.SetCaption("Прийняти");
    BitBtn3.SetGlyph(ui::Glyph::Ok);
    BitBtn3.SetDefault(true);
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn3.SetBounds(60, 364, 120, 28);
    BitBtn2.SetBounds(208, 364, 120, 28);

    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    OnShow = [this] { FormShow(); };
}

ui::ComboBox& TFormRepConf::Combo(int g) {
    ui::ComboBox* combos[kGroups] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5,
                                     &ComboBox6, &ComboBox7, &ComboBox8, &ComboBox9};
    return *combos[g < 0 || g >= kGroups ? 0 : g];
}

void TFormRepConf::FormShow() {
    // A stored count outside 2..10 shows no selection and must be chosen
    // again before the window accepts.
    for (int g = 0; g < kGroups; ++g) Combo(g).SetItemIndex(int(format->QuantityDigits[g]) - kFirstDigits);
    ComboBox1.SetFocus();
}

void TFormRepConf::BitBtn3Click() {
    for (int g = 0; g < kGroups; ++g) {
        if (Combo(g).ItemIndex() < 0) {
            MessageKind = 2;
            ShowQues("Введены не все данные", "");
            return;
        }
    }
    ReportFormatRecord rec = *format;
    for (int g = 0; g < kGroups; ++g) rec.QuantityDigits[g] = uint8_t(Combo(g).ItemIndex() + kFirstDigits);
    DeriveParamDigits(rec);
    *format = rec;
    accepted = 1;
    SetModalResult(ui::mrOk);
}

bool SaveReportFormatReported() {
    const std::string path = ReportFormatPath();
    if (SaveReportFormat(path, ReportFormat)) return true;
    const std::size_t slash = path.find_last_of('/');
    MessageKind = 1;
    ShowQues("Помилка роботи з файлом", slash == std::string::npos ? path : path.substr(slash + 1));
    return false;
}

bool RunReportFormatDialog(ui::Component* owner) {
    TFormRepConf form(owner);
    form.ShowModal();
    if (!form.accepted) return false;
    SaveReportFormatReported();
    return true;
}
