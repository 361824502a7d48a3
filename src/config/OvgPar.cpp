#include "config/OvgPar.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "common/Suplfunc.h"
#include "config/EditorParts.h"
#include "config/Uspass.h"
#include "platform/Codepage.h"

namespace {
constexpr ui::Color kPipeOff = 0x808080;
constexpr int kPassword16 = 16, kPassword12 = 12, kCodeWidth = 4;
}  // namespace

TFormOvgPar::TFormOvgPar(ui::Component* owner) : ui::Form(owner, "FormOvgPar") {
    editor::DialogWindow(*this, 520, 398);

    Label1.SetCaption("Адреса  (1...254)");
    Label1.SetBounds(12, 15, 140, 16);
    editor::NumberCombo(ComboBox1, 1, 254);
    ComboBox1.SetBounds(160, 12, 90, 21);
    Label2.SetCaption("Тип");
    Label2.SetBounds(12, 45, 140, 16);
    cn1.SetStyle(ui::ComboStyle::DropDownList);
    cn1.SetItems({" ВЕКТРЕН", " МЕРІДОН, ТК-5Н ", " ЛС-4", " КН-7"});
    cn1.SetBounds(160, 42, 200, 21);
    Label3.SetCaption("Порядок байтів в\nбагатобайтних змінних");
    Label3.SetBounds(12, 72, 140, 32);
    cp1.SetStyle(ui::ComboStyle::DropDownList);
    cp1.SetItems({" Мл. адрес - ст. байт", " Мл. адрес - мл. байт"});
    cp1.SetBounds(160, 78, 200, 21);
    CheckBox1.SetCaption("SOU");
    CheckBox1.SetBounds(400, 14, 80, 17);

    for (ui::Panel* p : {&pn_p16, &pn_p12}) {
        p->SetBevelOuter(ui::Bevel::Lowered);
        p->SetCaption({});
        p->SetBounds(12, 112, 490, 52);
    }
    Label4.SetParent(&pn_p16);
    Label4.SetCaption("Пароль на запись\n(до 16 символов)");
    Label4.SetBounds(10, 9, 150, 32);
    Edit2.SetParent(&pn_p16);
    Edit2.SetMaxLength(kPassword16);
    Edit2.SetPasswordChar(U'*');
    Edit2.SetBounds(170, 14, 200, 21);
    Label5.SetParent(&pn_p12);
    Label5.SetCaption("Пароль на запис\n(до 12 символів)");
    Label5.SetBounds(10, 9, 106, 32);
    Edit4.SetParent(&pn_p12);
    Edit4.SetMaxLength(kPassword12);
    Edit4.SetBounds(118, 14, 124, 21);
    Label6.SetParent(&pn_p12);
    Label6.SetCaption("Код ідентифікації\n(до 4 символів)");
    Label6.SetBounds(252, 9, 152, 32);
    Edit3.SetParent(&pn_p12);
    Edit3.SetMaxLength(kCodeWidth);
    Edit3.SetKeyFilter(KeyFilterDigits);
    Edit3.SetBounds(406, 14, 70, 21);
    uspass::EnterMovesTo(Edit3, Edit4);

    GroupBox1.SetCaption("Необхідність запису параметрів газу");
    GroupBox1.SetBounds(12, 172, 490, 136);
    for (int p = 0; p < 3; ++p) {
        const std::string n = std::to_string(p + 1);
        auto& g = Make<ui::GroupBox>("gb" + n);
        g.SetParent(&GroupBox1);
        g.SetCaption(" т/п " + n + "       ");
        g.SetBounds(10 + p * 160, 24, 150, 100);
        auto& c = Make<ui::CheckBox>("cb" + n);
        c.SetParent(&g);
        c.SetCaption({});
        c.SetTag(p);
        c.SetBounds(48, 0, 17, 17);
        auto& r1 = Make<ui::RadioButton>("rb" + n + "_1");
        r1.SetParent(&g);
        r1.SetCaption("  Нитка 1 хром.");
        r1.SetBounds(12, 32, 130, 17);
        auto& r2 = Make<ui::RadioButton>("rb" + n + "_2");
        r2.SetParent(&g);
        r2.SetCaption("  Нитка 2 хром.");
        r2.SetBounds(12, 62, 130, 17);
    }
    for (int p = 0; p < 3; ++p) {
        const std::string n = std::to_string(p + 1);
        gb[p] = Find<ui::GroupBox>("gb" + n);
        cb[p] = Find<ui::CheckBox>("cb" + n);
        rbLine1[p] = Find<ui::RadioButton>("rb" + n + "_1");
        rbLine2[p] = Find<ui::RadioButton>("rb" + n + "_2");
        ui::CheckBox* box = cb[p];
        box->OnClick = [this, box] { cbClick(box->Tag()); };
    }

    BitBtn3.SetCaption("Прийняти");
    BitBtn3.SetGlyph(ui::Glyph::Ok);
    BitBtn3.SetBounds(100, 322, 130, 30);
    editor::CancelButton(BitBtn2, 280, 322, 130);

    cn1.OnClick = [this] { cn1Click(); };
    CheckBox1.OnClick = [this] { CheckBox1Click(); };
    Edit2.OnExit = [this] { Edit2Exit(); };
    Edit4.OnExit = [this] { Edit4Exit(); };
    Edit3.OnExit = [this] { Edit3Exit(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    OnShow = [this] { FormShow(); };
}

void TFormOvgPar::FormShow() {
    accepted = 0;
    changed = 0;
    char caption[96];
    std::snprintf(caption, sizeof caption, "Параметри обчислювача витрати газу № %d", RowNumber);
    SetCaption(caption);
    if (Row) Work = *Row;
    Layout = LayoutFlag && *LayoutFlag ? 1 : 0;
    ComboBox1.SetItemIndex(Work.Address - 1);
    cp1.SetItemIndex(Work.ByteOrder);
    cn1.SetItemIndex(Work.Type);
    Edit2.SetText(platform::ReadField(Work.Password, kPassword16));
    Edit4.SetText(platform::ReadField(Work.Password, kPassword12));
    Edit3.SetText(platform::ReadField(Work.Password + kPassword12, kCodeWidth));
    CheckBox1.SetChecked(Layout != 0);
    CheckBox1Click();
    cn1Click();
    ComboBox1.SetFocus();
}

void TFormOvgPar::CheckBox1Click() {
    Layout = CheckBox1.Checked() ? 1 : 0;
    pn_p12.SetVisible(Layout != 0);
    pn_p16.SetVisible(Layout == 0);
}

void TFormOvgPar::DisablePipeline(int p) {
    gb[p]->SetFontColor(kPipeOff);
    cb[p]->SetChecked(false);
    cb[p]->SetEnabled(false);
    for (ui::RadioButton* r : {rbLine1[p], rbLine2[p]}) {
        r->SetChecked(false);
        r->SetEnabled(false);
    }
}

void TFormOvgPar::EnablePipeline(int p) {
    gb[p]->SetFontColor(ui::clBlack);
    cb[p]->SetEnabled(true);
    cb[p]->SetChecked((Work.Mask >> p) & 1);
    cbClick(p);
}

void TFormOvgPar::cn1Click() {
    for (int p = 0; p < 3; ++p) DisablePipeline(p);
    const int type = cn1.ItemIndex();
    if (type >= 0) Work.Type = uint8_t(type);
    Pipelines = type == 1 ? 1 : 3;
    for (int p = 0; p < Pipelines; ++p) EnablePipeline(p);
}

void TFormOvgPar::cbClick(int p) {
    if (p < 0 || p >= 3) return;
    ui::RadioButton& line1 = *rbLine1[p];
    ui::RadioButton& line2 = *rbLine2[p];
    if (!cb[p]->Checked()) {
        for (ui::RadioButton* r : {&line1, &line2}) {
            r->SetChecked(false);
            r->SetEnabled(false);
        }
        return;
    }
    const bool fromLine2 = (Work.Mask >> (p + 4)) & 1;
    const bool line1InUse = ThreadByte & 0x01, line2InUse = ThreadByte & 0x02;
    line1.SetEnabled(line1InUse);
    line2.SetEnabled(line2InUse);
    // A pipeline fed from a line that is not in use shows neither line checked.
    line1.SetChecked(line1InUse && !fromLine2);
    line2.SetChecked(line2InUse && fromLine2);
}

void TFormOvgPar::Edit2Exit() { platform::WriteField(Work.Password, kPassword16, Edit2.Text()); }

void TFormOvgPar::Edit4Exit() { platform::WriteField(Work.Password, kPassword12, Edit4.Text()); }

void TFormOvgPar::Edit3Exit() { platform::WriteField(Work.Password + kPassword12, kCodeWidth, Edit3.Text()); }

void TFormOvgPar::BitBtn3Click() {
    if (ComboBox1.Text().empty() || cn1.ItemIndex() < 0 || cp1.ItemIndex() < 0)
        return editor::InputError("Введені не всі параметри");
    const long address = TypedNumber(ComboBox1.Text());
    if (address < 1 || address > 254) return editor::InputError("Адреса поза припустимого діапазону");

    OvgRow row = Work;
    // The edits of the layout in force, as leaving them would have put them.
    if (Layout) {
        platform::WriteField(row.Password, kPassword12, Edit4.Text());
        platform::WriteField(row.Password + kPassword12, kCodeWidth, Edit3.Text());
    } else {
        platform::WriteField(row.Password, kPassword16, Edit2.Text());
    }
    row.Address = uint8_t(address);
    row.Type = uint8_t(cn1.ItemIndex());
    row.ByteOrder = uint8_t(cp1.ItemIndex());
    row.Mask = 0;
    for (int p = 0; p < OvgPipelines(row.Type); ++p) {
        if (!cb[p]->Checked()) continue;
        if (!rbLine1[p]->Checked() && !rbLine2[p]->Checked()) return editor::InputError("Введені не всі параметри");
        row.Mask |= uint8_t(1u << p);
        if (rbLine2[p]->Checked()) row.Mask |= uint8_t(1u << (p + 4));
    }
    const OvgRow old = Row ? *Row : Work;
    changed = std::memcmp(row.Password, old.Password, sizeof row.Password) != 0 ? 1 : 0;
    Work = row;
    if (LayoutFlag) *LayoutFlag = Layout;
    if (Row) *Row = Work;
    accepted = 1;
    SetModalResult(ui::mrOk);
}
