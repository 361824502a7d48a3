#include "config/Config.h"

#include <cstring>
#include <string>

#include "common/Question.h"
#include "config/Access.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/Const_Par.h"
#include "config/ContrName.h"
#include "config/Distr.h"
#include "config/Ident.h"
#include "config/LimitRanges.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgRows.h"
#include "config/PrzDistr.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/Users.h"
#include "link/Conneth.h"

namespace {

constexpr int kWidth = 760, kHeight = 548;
constexpr int kColumnWidth = 364;
constexpr int kLeftColumn = 8, kRightColumn = 380;
constexpr int kButtonLeft = 318, kButtonWidth = 34, kButtonHeight = 24;
constexpr int kRow = 30;  // one row of label and button

// A label beside its button: one line, or two (the button between them).
void PlaceRow(ui::Control* parent, ui::Label& label, const char* text, ui::Button& button, int left, int top) {
    label.SetParent(parent);
    label.SetCaption(text);
    label.SetBounds(left, top + 4, kButtonLeft - left - 8, 16);
    button.SetParent(parent);
    button.SetCaption("...");
    button.SetBounds(kButtonLeft, top, kButtonWidth, kButtonHeight);
}

void PlaceTwoLineRow(ui::Control* parent, ui::Label& first, const char* line1, ui::Label& second,
                     const char* line2, ui::Button& button, int left, int top) {
    PlaceRow(parent, first, line1, button, left, top);
    first.SetTop(top - 4);
    second.SetParent(parent);
    second.SetCaption(line2);
    second.SetBounds(left, top + 12, kButtonLeft - left - 8, 16);
    button.SetTop(top + 1);
}

void PlaceGroup(ui::GroupBox& g, ui::Control* parent, const char* caption, int left, int top, int height) {
    g.SetParent(parent);
    g.SetCaption(caption);
    g.SetBounds(left, top, kColumnWidth, height);
}

}  // namespace

TFormConfig::TFormConfig(ui::Component* owner) : ui::Form(owner, "FormConfig") {
    SetCaption(" Параметри конфігурації контролера ");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetBounds(0, 0, kWidth, kHeight);

    Panel1.SetAlign(ui::Align::Client);
    Panel1.SetBevelOuter(ui::Bevel::None);
    Panel1.SetColor(kIdleColor);
    ui::Control* p = &Panel1;

    // Left column.
    PlaceRow(p, Label2, "Найменування", BitBtn19, kLeftColumn + 10, 10);
    PlaceRow(p, Label3, "Параметри ідентифікації", BitBtn24, kLeftColumn + 10, 10 + kRow);
    BitBtn19.SetLeft(kLeftColumn + kButtonLeft);  // in line with the buttons of the groups below
    BitBtn24.SetLeft(kLeftColumn + kButtonLeft);

    PlaceGroup(GroupBox1, p, " Параметри налаштувань ", kLeftColumn, 74, 86);
    PlaceRow(&GroupBox1, Label4, "Системні параметри", BitBtn6, 10, 20);
    PlaceRow(&GroupBox1, Label5, "Синхронізація часу", BitBtn18, 10, 20 + kRow);

    PlaceGroup(GroupBox2, p, " Параметри зв'язку ", kLeftColumn, 168, 176);
    PlaceRow(&GroupBox2, Label6, "З верхнім рівнем", BitBtn16, 10, 20);
    PlaceRow(&GroupBox2, Label14, "З обчислювачами витрати газу", BitBtn12, 10, 20 + kRow);
    PlaceRow(&GroupBox2, Label7, "З хроматографом", BitBtn17, 10, 20 + 2 * kRow);
    PlaceRow(&GroupBox2, Label8, "З вологоміром", BitBtn13, 10, 20 + 3 * kRow);
    PlaceRow(&GroupBox2, Label9, "Параметри Ethernet ", BitBtn22, 10, 20 + 4 * kRow);

    PlaceGroup(GroupBox3, p, " Параметри роботи з обчислювачами витрати газу ", kLeftColumn, 352, 126);
    PlaceRow(&GroupBox3, Label27, "Параметри обчислювачів", BitBtn3, 10, 20);
    PlaceTwoLineRow(&GroupBox3, Label31, "Необхідність запису", Label28, "значень параметрів газу в ОВГ", BitBtn4,
                    10, 56);
    PlaceTwoLineRow(&GroupBox3, Label43, "Період запису середніх за годину", Label1,
                    "значень параметрів газу в ОВГ", BitBtn5, 10, 92);

    // Right column.
    PlaceGroup(GroupBox4, p, " Уставки параметрів газу ", kRightColumn, 6, 200);
    PlaceRow(&GroupBox4, Label10, "Зона нечутливості змін", BitBtn7, 10, 20);
    PlaceRow(&GroupBox4, Label11, "Нижня попереджувальна уставка", BitBtn8, 10, 20 + kRow);
    PlaceRow(&GroupBox4, Label12, "Верхня попереджувальна уставка", BitBtn9, 10, 20 + 2 * kRow);
    PlaceTwoLineRow(&GroupBox4, Label13, "Нижня межа значень параметра", Label15,
                    "газу, припустимої до запису в ОВГ", BitBtn10, 10, 20 + 3 * kRow + 6);
    PlaceTwoLineRow(&GroupBox4, Label16, "Верхня межа значень параметра", Label17,
                    "газу, припустимої до запису в ОВГ", BitBtn11, 10, 20 + 4 * kRow + 16);

    PlaceGroup(GroupBox5, p, " Доступ користувачів до запису в контролер ", kRightColumn, 216, 56);
    PlaceRow(&GroupBox5, Label18, "Зареєстровані коистувачі", BitBtn15, 10, 20);

    PlaceGroup(GroupBox6, p, " Константи параметрів газу ", kRightColumn, 282, 86);
    PlaceRow(&GroupBox6, Label19, "Нитка 1", BitBtn20, 10, 20);
    PlaceRow(&GroupBox6, Label20, "Нитка 2", BitBtn21, 10, 20 + kRow);
    BitBtn20.SetTag(0);
    BitBtn21.SetTag(1);

    // The window's own buttons, one accept button in place of the other.
    for (ui::Button* b : {&BitBtn1, &BitBtn14}) {
        b->SetParent(p);
        b->SetGlyph(ui::Glyph::Ok);
        b->SetBounds(kRightColumn + 8, 428, 190, 32);
        b->OnClick = [this] { BitBtn1Click(); };
    }
    BitBtn1.SetCaption("Прийняти");
    BitBtn14.SetCaption("Записати в пристрій");
    BitBtn2.SetParent(p);
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetBounds(kRightColumn + 210, 428, 140, 32);
    BitBtn2.SetCancel(true);
    BitBtn2.OnClick = [this] { BitBtn2Click(); };

    BitBtn19.OnClick = [this] { BitBtn19Click(); };
    BitBtn24.OnClick = [this] { BitBtn24Click(); };
    BitBtn6.OnClick = [this] { BitBtn6Click(); };
    BitBtn18.OnClick = [this] { BitBtn18Click(); };
    BitBtn16.OnClick = [this] { BitBtn16Click(); };
    BitBtn12.OnClick = [this] { BitBtn12Click(); };
    BitBtn17.OnClick = [this] { BitBtn17Click(); };
    BitBtn13.OnClick = [this] { BitBtn13Click(); };
    BitBtn22.OnClick = [this] { BitBtn22Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
    BitBtn7.OnClick = [this] { LimitsClick(0); };
    BitBtn8.OnClick = [this] { LimitsClick(1); };
    BitBtn9.OnClick = [this] { LimitsClick(2); };
    BitBtn10.OnClick = [this] { LimitsClick(3); };
    BitBtn11.OnClick = [this] { LimitsClick(4); };
    BitBtn15.OnClick = [this] { BitBtn15Click(); };
    BitBtn20.OnClick = [this] { ConstClick(BitBtn20.Tag()); };
    BitBtn21.OnClick = [this] { ConstClick(BitBtn21.Tag()); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormConfig::FormCreate() {
    Record = nullptr;
    Mode = 0;
    changed = 0;
    accepted = 0;
}

void TFormConfig::SetNameCaption(bool leading) {
    const std::string name = Record ? Record->ControllerName() : std::string();
    SetCaption(std::string(leading ? " " : "") + "Параметри конфігурації контролера \"" + name + "\" ");
}

void TFormConfig::FormShow() {
    SetWidth(kWidth);
    SetHeight(kHeight);
    changed = 0;
    accepted = 0;
    SetNameCaption(true);
    if (Record) backup = *Record;
    EnableConfigButtons();
    BitBtn14.SetVisible(Mode == 1);
    BitBtn1.SetVisible(Mode != 1);
    BitBtn2.SetFocus();
}

void TFormConfig::EnableConfigButtons() {
    if (!Record) return;
    const bool flow = (*Record)[cnfofs::kFlowPresent] != 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Label14, &BitBtn12, &GroupBox3, &Label27, &BitBtn3,
                                                              &Label31, &Label28, &BitBtn4, &Label43, &Label1,
                                                              &BitBtn5})
        c->SetEnabled(flow);
    const bool wmt = (*Record)[cnfofs::kWmtPresent] != 0;
    Label8.SetEnabled(wmt);
    BitBtn13.SetEnabled(wmt);
}

void TFormConfig::BitBtn1Click() {
    changed = Record && *Record != backup ? 1 : 0;
    accepted = 1;
    SetModalResult(ui::mrOk);
}

void TFormConfig::BitBtn2Click() { SetModalResult(ui::mrCancel); }

void TFormConfig::WithEditor(const std::function<void()>& open, bool dim) {
    if (!Record) return;
    if (dim) Panel1.SetColor(kBusyColor);
    open();
    if (dim) Panel1.SetColor(kIdleColor);
}

uint8_t TFormConfig::Oxygen() const {
    return Record && ((*Record)[cnfofs::kLines] & 0x04) != 0 ? 1 : 0;
}

// ---- the editors, each on its block of the record, in accept mode

void TFormConfig::BitBtn19Click() {
    WithEditor([this] {
        TFormContrName f(this);
        f.Block = Record->At(cnfofs::kNames);
        f.Mode = 0;
        f.ShowModal();
        if (f.accepted) SetNameCaption(false);
    });
}

void TFormConfig::BitBtn24Click() {
    WithEditor([this] {
        // A record read from a controller has the whole identification; a
        // new one only the type and the version.
        TFormIdent f(this);
        f.Ident = Record->At(cnfofs::kIdent);
        f.FullView = (*Record)[cnfofs::kSource] == 1 ? 1 : 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn6Click() {
    WithEditor([this] {
        TFormSys f(this);
        f.Block = Record->At(cnfofs::kSystem);
        f.Mode = 0;
        f.ShowModal();
        // The presence flags live in this block.
        if (f.accepted) EnableConfigButtons();
    });
}

void TFormConfig::BitBtn18Click() {
    WithEditor([this] {
        static constexpr std::size_t kPlaces[4] = {cnfofs::kSyncFlow, cnfofs::kSyncPc, cnfofs::kChromSyncFlow,
                                                   cnfofs::kChromSyncPc};
        uint8_t flags[4];
        for (int i = 0; i < 4; ++i) flags[i] = (*Record)[kPlaces[i]];
        TFormTime_Sinhr f(this);
        f.Block = flags;
        f.Mode = 0;
        f.ShowModal();
        if (f.accepted)
            for (int i = 0; i < 4; ++i) (*Record)[kPlaces[i]] = flags[i];
    });
}

void TFormConfig::BitBtn16Click() {
    WithEditor([this] {
        TFormConVU f(this);
        f.Block = Record->At(cnfofs::kUpperLink);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn12Click() {
    WithEditor([this] {
        TFormConVich f(this);
        f.Block = Record->At(cnfofs::kFlowLink);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn17Click() {
    WithEditor([this] {
        // The flow computers in use, when the record has any.
        uint8_t addresses[kRecordFlowRows] = {};
        int n = 0;
        if ((*Record)[cnfofs::kFlowPresent] != 0) {
            n = Record->FlowCount();
            for (int i = 0; i < n; ++i) addresses[i] = Record->FlowRow(i)[0];
        }
        TFormConHGC f(this);
        f.Block = Record->At(cnfofs::kChromLink);
        f.Names = Record->At(cnfofs::kNames);
        f.OvgCount = uint8_t(n);
        f.OvgAddresses = addresses;
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn13Click() {
    WithEditor([this] {
        TFormConWMT f(this);
        f.Block = Record->At(cnfofs::kWmtLink);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn22Click() {
    WithEditor([this] {
        TFormConEth f(this);
        f.Block = Record->At(cnfofs::kEthernet);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn3Click() {
    WithEditor([this] {
        // The list works on a copy of the count, held to the rows there are.
        TFormOvgList f(this);
        f.Rows = reinterpret_cast<OvgRow*>(Record->FlowRow(0));
        f.Count = uint8_t(Record->FlowCount());
        f.ThreadByte = (*Record)[cnfofs::kLines];
        f.Mode = 0;
        f.ShowModal();
        if (f.accepted) (*Record)[cnfofs::kFlowLink] = uint8_t(ClampOvgCount(f.Count));
    });
}

void TFormConfig::BitBtn4Click() {
    WithEditor([this] {
        TFormPrzDistr f(this);
        f.Block = Record->At(cnfofs::kDistr);
        f.Oxygen = Oxygen();
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn5Click() {
    WithEditor([this] {
        TFormDistr f(this);
        f.Block = Record->At(cnfofs::kAverPeriod);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::LimitsClick(int kind) {
    if (kind < 0 || kind >= kLimitKindCount) return;
    WithEditor([&] {
        TFormLimits f(this);
        f.Block = Record->At(cnfofs::kLimits + std::size_t(kind) * cnfofs::kLimitStep);
        f.Oxygen = Oxygen();
        f.Kind = uint8_t(kind);
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::BitBtn15Click() {
    WithEditor([this] {
        TFormAccess f(this);
        f.Rows = reinterpret_cast<UserRow*>(Record->At(cnfofs::kUsers));
        f.Mode = 0;
        f.ShowModal();
    });
}

void TFormConfig::ConstClick(int line) {
    if (line != 0 && line != 1) return;
    WithEditor(
        [&] {
            TFormConst_Par f(this);
            f.Line = uint8_t(line);
            f.Block = Record->At(cnfofs::kConst + std::size_t(line) * cnfofs::kConstLine);
            f.Oxygen = Oxygen();
            f.Mode = 0;
            f.ShowModal();
        },
        false);
}
