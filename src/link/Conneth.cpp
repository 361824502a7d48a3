#include "link/Conneth.h"

#include <cstring>
#include <string>

#include "common/Question.h"
#include "common/Suplfunc.h"

namespace {

constexpr char kNotAll[] = "Уведені не всі параметри";
constexpr char kOctetRange[] = "Поле IP-адреси поза припустимого діапазону";
constexpr char kPortRange[] = "Порт поза припустимого діапазону";

constexpr int kWidth = 414, kHeight = 374;
constexpr int kLabelLeft = 14, kEditLeft = 196, kOctetWidth = 36, kOctetStep = 48, kPortWidth = 96;
constexpr int kRowStep = 34;

void InputError(const char* line1, const char* line2, ui::Edit* focus) {
    MessageKind = 2;
    ShowQues(line1, line2);
    if (focus && focus->Showing()) focus->SetFocus();
}

}  // namespace

TFormConEth::TFormConEth(ui::Component* owner) : ui::Form(owner, "FormConEth") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Параметры связи по Ethernet");
    SetBounds(0, 0, kWidth, kHeight);

    Panel1.SetBounds(8, 8, 392, 118);
    Panel2.SetBounds(8, 132, 392, 150);
    for (ui::Panel* p : {&Panel1, &Panel2}) {
        p->SetBevelOuter(ui::Bevel::Lowered);
        p->SetCaption({});
    }

    // Addresses: the first (leftmost) octet in the 4th edit.
    struct AddressRow {
        ui::Label* label;
        const char* text;
        ui::Edit* edits[4];  // left to right
    };
    const AddressRow rows[3] = {{&Label1, "IP-адреса контролера", {&ip4, &ip3, &ip2, &ip1}},
                                {&Label2, "Маска підмережі", {&im4, &im3, &im2, &im1}},
                                {&Label3, "Шлюз за умовчуванням", {&is4, &is3, &is2, &is1}}};
    int dot = 0;
    for (int r = 0; r < 3; ++r) {
        const int top = 14 + r * kRowStep;
        rows[r].label->SetParent(&Panel1);
        rows[r].label->SetCaption(rows[r].text);
        rows[r].label->SetBounds(kLabelLeft, top + 3, kEditLeft - kLabelLeft - 8, 16);
        for (int i = 0; i < 4; ++i) {
            ui::Edit* ed = rows[r].edits[i];
            ed->SetParent(&Panel1);
            ed->SetBounds(kEditLeft + i * kOctetStep, top, kOctetWidth, 21);
            ed->SetMaxLength(3);
            ed->SetAlignment(ui::TextAlign::Right);
            ed->SetKeyFilter(KeyFilterDigits);
            if (i < 3) {
                ui::Label& d = Make<ui::Label>("Dot" + std::to_string(++dot));
                d.SetParent(&Panel1);
                d.SetCaption(".");
                d.SetFontBold(true);
                d.SetAlignment(ui::TextAlign::Center);
                d.SetBounds(kEditLeft + i * kOctetStep + kOctetWidth, top + 4, kOctetStep - kOctetWidth, 16);
            }
        }
    }

    struct PortRow {
        ui::Label* label;
        const char* text;
        ui::Edit* edit;
    };
    const PortRow ports[4] = {{&Label4, "Порт з'єднання  ОВГ 1", &e1},
                              {&Label5, "Порт з'єднання  ОВГ 2", &e2},
                              {&Label6, "Порт з'єднання ЗБР 1", &e3},
                              {&Label7, "Порт з'єднання ЗБР 2", &e4}};
    for (int r = 0; r < 4; ++r) {
        const int top = 14 + r * kRowStep;
        ports[r].label->SetParent(&Panel2);
        ports[r].label->SetCaption(ports[r].text);
        ports[r].label->SetBounds(kLabelLeft, top + 3, kEditLeft - kLabelLeft - 8, 16);
        ports[r].edit->SetParent(&Panel2);
        ports[r].edit->SetBounds(kEditLeft, top, kPortWidth, 21);
        ports[r].edit->SetMaxLength(5);
        ports[r].edit->SetAlignment(ui::TextAlign::Right);
        ports[r].edit->SetKeyFilter(KeyFilterDigits);
    }

    BitBtn1.SetCaption("Прийняти");
    BitBtn14.SetCaption("Записати в пристрій");
    for (ui::Button* b : {&BitBtn1, &BitBtn14}) {
        b->SetGlyph(ui::Glyph::Ok);
        b->SetDefault(true);
        b->SetBounds(40, 296, 170, 30);
        b->OnClick = [this] { BitBtn1Click(); };
    }
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn2.SetBounds(240, 296, 130, 30);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormConEth::FormCreate() {
    Block = nullptr;
    Mode = 0;
    accepted = 0;
    const char* prefixes[4] = {"ip", "im", "is", "e"};
    ui::Edit** arrays[4] = {ip, im, is, e};
    for (int a = 0; a < 4; ++a)
        for (int n = 1; n <= 4; ++n) arrays[a][n - 1] = Find<ui::Edit>(prefixes[a] + std::to_string(n));
}

void TFormConEth::FormShow() {
    SetBounds(Left(), Top(), kWidth, kHeight);
    accepted = 0;
    BitBtn14.SetVisible(Mode != 0);
    BitBtn1.SetVisible(Mode == 0);
    if (!Block) return;
    for (int n = 0; n < 4; ++n) {
        ip[n]->SetText(std::to_string(Block[n]));
        im[n]->SetText(std::to_string(Block[4 + n]));
        is[n]->SetText(std::to_string(Block[8 + n]));
        e[n]->SetText(std::to_string(GetU32(Block + 12 + 4 * n)));
    }
    ip4.SetFocus();
}

void TFormConEth::BitBtn1Click() {
    // Left to right, top to bottom, as the operator reads them.
    ui::Edit* const order[16] = {&ip4, &ip3, &ip2, &ip1, &im4, &im3, &im2, &im1,
                                 &is4, &is3, &is2, &is1, &e1,  &e2,  &e3,  &e4};
    for (ui::Edit* ed : order) {
        if (TypedNumber(ed->Text()) < 0) {
            InputError(kNotAll, "", ed);
            return;
        }
    }
    for (int i = 0; i < 12; ++i) {
        if (TypedNumber(order[i]->Text()) > 255) {
            InputError(kOctetRange, "(0...255)", order[i]);
            return;
        }
    }
    for (int i = 12; i < 16; ++i) {
        const long long v = TypedNumber(order[i]->Text());
        if (v < 1 || v > 65535) {
            InputError(kPortRange, "(1...65535)", order[i]);
            return;
        }
    }
    if (!Block) return;
    uint8_t out[kBlockBytes];
    std::memcpy(out, Block, kBlockBytes);
    for (int n = 0; n < 4; ++n) {
        out[n] = uint8_t(TypedNumber(ip[n]->Text()));
        out[4 + n] = uint8_t(TypedNumber(im[n]->Text()));
        out[8 + n] = uint8_t(TypedNumber(is[n]->Text()));
        PutU32(out + 12 + 4 * n, uint32_t(TypedNumber(e[n]->Text())));
    }
    std::memcpy(Block, out, kBlockBytes);
    accepted = 1;
    SetModalResult(ui::mrOk);
}
