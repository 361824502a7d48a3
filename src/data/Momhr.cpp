#include "data/Momhr.h"

#include <cstdio>
#include <cstring>

#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "common/Stringi.h"
#include "common/Suplfunc.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/ContrName.h"

namespace {

constexpr int kWidth = 760, kHeight = 562;
constexpr int kTop = 62, kRowHeight = 21;
constexpr int kNameLeft = 8, kTitleWidth = 440, kValueLeft = 450, kValueWidth = 96, kZoneLeft = 552,
              kZoneWidth = 194;
constexpr ui::Color kNavyName = 0x800000;
constexpr ui::Color kWarning = 0x383872;
constexpr ui::Color kUnknownZone = 0x008000;

std::string Fmt(const char* fmt, const char* a, const char* b) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

}  // namespace

TFormMom::TFormMom(ui::Component* owner) : LiveMonitorForm(owner, "FormMom") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::MainFormCenter);
    SetCaption(" Миттєві дані хроматографа");
    SetBounds(0, 0, kWidth, kHeight);

    LabelDate.SetCaption("Дата і час останнього аналізу");
    LabelDate.SetBounds(10, 14, 200, 16);
    pnDate.SetBevelOuter(ui::Bevel::Lowered);
    pnDate.SetColor(ui::clWindow);
    pnDate.SetFontBold(true);
    pnDate.SetBounds(214, 8, 180, 26);
    Label1.SetCaption("Розрахунок за ДСТУ ІСО");
    Label1.SetBounds(420, 14, 300, 16);
    Label1.Hide();

    ui::Font head;
    head.Bold = true;
    struct Head {
        ui::Panel* panel;
        const char* text;
        int left, width;
    };
    for (const Head& h : {Head{&Panel1, "Параметр газу", kNameLeft, kTitleWidth},
                          Head{&Panel2, "Значення", kValueLeft, kValueWidth},
                          Head{&Panel3, "Зона", kZoneLeft, kZoneWidth}}) {
        h.panel->SetCaption(h.text);
        h.panel->SetFont(head);
        h.panel->SetBounds(h.left, 38, h.width, 22);
    }

    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        const int top = kTop + i * kRowHeight;
        ui::Label& name = Make<ui::Label>("pn" + k);
        name.SetBounds(kNameLeft + 4, top, kTitleWidth - 4, kRowHeight - 1);
        name.SetLayout(ui::TextLayout::Center);
        ui::Label& value = Make<ui::Label>("v" + k);
        value.SetBounds(kValueLeft, top, kValueWidth, kRowHeight - 1);
        value.SetAlignment(ui::TextAlign::Right);
        value.SetLayout(ui::TextLayout::Center);
        value.SetColor(ui::clWindow);
        value.SetFontName("Courier New");
        ui::Label& zone = Make<ui::Label>("z" + k);
        zone.SetBounds(kZoneLeft, top, kZoneWidth, kRowHeight - 1);
        zone.SetLayout(ui::TextLayout::Center);
        zone.SetColor(ui::clWindow);
    }

    lbState.SetBounds(10, 486, 736, 16);
    BitBtn1.SetBounds(8, 504, 220, 28);
    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetBounds(636, 504, 110, 28);

    AttachRefresh(Timer1, BitBtn1, lbState, kTickMs, BeforeTick::Nothing);
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

TFormMom::~TFormMom() { Timer1.SetEnabled(false); }

void TFormMom::FormCreate() {
    for (int i = 0; i < kRows; ++i) {
        const std::string k = std::to_string(i + 1);
        pn[i] = Find<ui::Label>("pn" + k);
        v[i] = Find<ui::Label>("v" + k);
        z[i] = Find<ui::Label>("z" + k);
        v[i]->SetCaption({});
        z[i]->SetCaption({});
    }
}

bool TFormMom::Shown(int code) const { return code != kParamOxygen || Oxygen != 0; }

void TFormMom::FormShow() {
    uint32_t serial = 0;
    std::memcpy(&serial, RowPtr(41, 0), 4);
    const std::string lineName = TFormContrName::NameText(RowPtr(5, Line == 0 ? 1 : 2));
    char caption[256];
    std::snprintf(caption, sizeof caption,
                  " Миттєві дані хроматографа (сер. № %u; нитка \"%s\"), зони параметрів газу", unsigned(serial),
                  lineName.c_str());
    SetCaption(caption);

    for (int k = 0; k < kRows; ++k) {
        pn[k]->SetCaption(Fmt("%s, %s", ParamFullName(k, ReportFormat.FractionWording),
                              ParamUnit(k, ReportFormat.HeatUnitKcal)));
        pn[k]->SetFontColor(ui::clWindowText);
        v[k]->SetCaption({});
        z[k]->SetCaption({});
        v[k]->SetColor(ui::clWindow);
        z[k]->SetColor(ui::clWindow);
    }
    if (!Oxygen) {
        ui::Label& name = *pn[kParamOxygen];
        name.SetFontColor(kNavyName);
        v[kParamOxygen]->SetColor(name.Color());
        z[kParamOxygen]->SetColor(name.Color());
    }
    Label1.Hide();
    pnDate.SetCaption({});
    RefreshAtOnce();
}

// The values, then (unless the window closes meanwhile) the zones.
bool TFormMom::ReadAndShow() {
    ui::HourGlass wait;
    bool ok = true;
    const uint8_t values = uint8_t(ValueTable()), zones = uint8_t(ZoneTable());
    if (ReadRows({values, 0, 22})) {
        std::memcpy(Values, RowPtr(values, 0), kValueBytes);
        ShowMomValues();
    } else {
        ok = false;
    }
    if (!Closing()) {
        if (ReadRows({zones, 0, 20})) ShowMomZones();
        else ok = false;
    }
    return ok;
}

void TFormMom::ShowMomValues() {
    const uint8_t* d = Values;
    char date[64];
    std::snprintf(date, sizeof date, "%02d.%02d.%02d %02d:%02d:%02d", d[2], d[1], d[0], d[4], d[5], d[6]);
    pnDate.SetCaption(date);
    for (int k = 0; k < kRows; ++k) {
        if (!Shown(k)) continue;
        const uint8_t* p = d + 8 + 4 * k;
        const std::string text =
            IsFloatNanInf(p) ? std::string("NAN") : FloatToStrFixed(GetF32(p), 12, ReportFormat.ParamDigits[k]);
        v[k]->SetCaption(text);
    }
}

void TFormMom::ShowMomZones() {
    const uint8_t* zones = RowPtr(ZoneTable(), 0);
    for (int k = 0; k < kRows; ++k) {
        if (k == kParamGasTemperature || !Shown(k)) continue;
        const int code = zones[k];
        const char* text = texts::ZoneNames.At(code);
        z[k]->SetCaption(text ? text : "?");
        ui::Color c = ui::clWindowText;
        if (code == 1 || code == 2) c = kWarning;
        else if (code == 3 || code == 4) c = ui::clRed;
        else if (code >= 5) c = kUnknownZone;
        z[k]->SetFontColor(c);
    }
}

void TFormMom::BitBtn2Click() {
    SetModalResult(ui::mrCancel);
    StopExchange();
}
