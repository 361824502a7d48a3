#include "app/Main.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "config/ArchiveDefaults.h"
#include "common/IniPaths.h"
#include "common/LinkStatus.h"
#include "common/ListFiles.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "common/Suplfunc.h"
#include "config/ConfigImage.h"
#include "config/Changeaccess.h"
#include "config/Formate.h"
#include "config/Shortuspass.h"
#include "data/ArchiveFiles.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "link/Connectmodem.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"
#include "platform/FileWrite.h"
#include "platform/Paths.h"

namespace {

// The sub-folders of the program folder, made at start when missing.
constexpr const char* kFolders[] = {"CONFIG",  "ALAFILES", "AUDFILES", "CALIBRARHIV", "VERIFARHIV",
                                    "MOMDATA", "HOURDATA", "DAYDATA",  "REPORT",      "INI"};

// The filter list of the main window's open dialog, in the order the
// view-from-file items choose their entry by.
constexpr const char* kOpenFilter =
    "Data Files (*.cnf)|*.cnf|DataFiles(*.srt)|*.srt|DataFiles(*.ala)|*.ala|DataFiles(*.aud)|*.aud|"
    "DataFiles(*.mch)|*.mch|DataFiles(*.mwm)|*.mwm|DataFiles(*.hch)|*.hch|DataFiles(*.hwm)|*.hwm|"
    "DataFiles(*.dch)|*.dch|DataFiles(*.dwm)|*.dwm|DataFiles(*.clb)|*.clb|DataFiles(*.vrf)|*.vrf|"
    "DataFiles(*.*)|*.*";

constexpr int kStatusBarHeight = 19;

void ReportWriteFailure(const std::string& file) {
    MessageKind = 1;
    ShowQues("Помилка роботи з файлом", file);
}

}  // namespace

TFormMain* FormMain = nullptr;

TFormMain::TFormMain(ui::Component* owner) : ui::Form(owner, "FormMain") {
    FormMain = this;
    BuildWindow();
    BuildMenu();
    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnCloseQuery = [this](bool& can) { FormCloseQuery(can); };
    OnClose = [this](ui::CloseAction& a) { FormClose(a); };
    TimerStart.OnTimer = [this] { Guarded([this] { TimerStartTimer(); }); };
    TimerMessage.OnTimer = [this] { TimerMessageTimer(); };
    TimerMoney.OnTimer = [this] { TimerMoneyTimer(); };
    BitBtn3.OnClick = [this] { Guarded([this] { BitBtn3Click(); }); };
    // "Вихід" only asks the window to close: during an exchange the close
    // waits until the exchange has unwound.
    NExit.OnClick = [this] { NexitClick(); };
    Attach(Nconnect, [](TFormMain& f, ui::MenuItem&) { f.NconnectClick(); });
    Attach(NUser, [](TFormMain&, ui::MenuItem&) { AskUserIdentity(); });
    Attach(NPass, [](TFormMain& f, ui::MenuItem&) { ChangeUserAccess(&f.StatusBar1); });
    Attach(NFormate, [](TFormMain& f, ui::MenuItem&) { RunReportFormatDialog(&f); });
    TimerClose.OnTimer = [this] { ClosePendingNow(); };
    CallStart = 0;
    FormCreate();
}

TFormMain::~TFormMain() {
    if (!closed_) {
        // Destroyed without being closed (tests): let go of the link quietly.
        Disconnect();
    }
    if (box_) {
        if (HgcBox == box_) HgcBox = nullptr;
        delete box_;
        box_ = nullptr;
    }
    if (MainStatusBar2 == &StatusBar2) MainStatusBar2 = nullptr;
    if (MainStatusBar3 == &StatusBar3) MainStatusBar3 = nullptr;
    ui::Application::OnMessage = nullptr;
    if (FormMain == this) FormMain = nullptr;
}

void TFormMain::BuildWindow() {
    SetBorderStyle(ui::BorderStyle::Sizeable);
    SetBounds(0, 0, 1000, 700);

    Panel1.SetParent(this);
    Panel1.SetAlign(ui::Align::Client);
    Panel1.SetBevelOuter(ui::Bevel::None);
    Panel1.SetColor(0xE8DCC8);  // a quiet steel blue

    LabelTitle.SetParent(&Panel1);
    LabelTitle.SetCaption("Програма обслуговування контролера  ЗБР_11");
    LabelTitle.SetAlignment(ui::TextAlign::Center);
    LabelTitle.SetParentColor(true);
    ui::Font title;
    title.Name = "Arial";
    title.Height = 24;
    title.Bold = true;
    title.Color = 0x804020;
    LabelTitle.SetFont(title);
    Panel1.OnResize = [this] {
        LabelTitle.SetBounds(0, Panel1.Height() / 3, Panel1.Width(), 32);
    };

    // Stacked at the bottom: StatusBar1 lowest, then 2, then 3.
    for (ui::StatusBar* bar : {&StatusBar1, &StatusBar2, &StatusBar3}) {
        bar->SetParent(&Panel1);
        bar->SetAlign(ui::Align::Bottom);
        bar->SetHeight(kStatusBarHeight);
    }
    StatusBar1.AddPanel(175);
    StatusBar1.AddPanel(250);
    StatusBar1.AddPanel(400);
    StatusBar1.AddPanel(50);
    StatusBar2.AddPanel(400);
    StatusBar3.AddPanel(400);

    pnmodem.SetParent(&Panel1);
    pnmodem.SetBounds(0, 0, 290, 74);
    pnmodem.SetBevelOuter(ui::Bevel::Raised);
    Label1.SetParent(&pnmodem);
    Label1.SetCaption("Тривалість зв'язку телефоном");
    Label1.SetBounds(8, 6, 190, 16);
    pntime.SetParent(&pnmodem);
    pntime.SetBounds(200, 4, 80, 20);
    pntime.SetBevelOuter(ui::Bevel::Lowered);
    pntime.SetCaption("00:00:00");
    BitBtn3.SetParent(&pnmodem);
    BitBtn3.SetCaption("Відключити зв'зок");
    BitBtn3.SetBounds(60, 36, 170, 28);
    pnmodem.Hide();

    TimerStart.SetInterval(100);
    TimerStart.SetEnabled(false);
    TimerMessage.SetInterval(3000);
    TimerMessage.SetEnabled(false);
    TimerMoney.SetInterval(1000);
    TimerMoney.SetEnabled(false);
    TimerClose.SetInterval(50);
    TimerClose.SetEnabled(false);

    pod.Filter = kOpenFilter;
    pod.HideReadOnly = true;
    pod.NoChangeDir = true;
    psd.NoChangeDir = true;
}

void TFormMain::BuildMenu() {
    struct Entry {
        ui::MenuItem* item;
        ui::MenuItem* parent;  // null: top level
        int tag;
    };
    const Entry entries[] = {
        {&N1, nullptr, 0},
        {&N5, &N1, 0},
        {&NNewcnf, &N5, 0},
        {&NEditcnf, &N5, 1},
        {&Nrdcnf, &N1, 0},
        {&N2, &N1, 0},
        {&NExit, &N1, 0},
        {&NWorkPar, nullptr, 0},
        {&Nident, &NWorkPar, 0},
        {&NContrName, &NWorkPar, 0},
        {&NLinks, &NWorkPar, 0},
        {&NConVU, &NLinks, 0},
        {&NVrgConn, &NLinks, 0},
        {&NConHGC, &NLinks, 0},
        {&NConnWMT, &NLinks, 0},
        {&N_Ethernet, &NWorkPar, 0},
        {&Nsys, &NWorkPar, 0},
        {&NSinhr, &NWorkPar, 0},
        {&N3, &NWorkPar, 0},
        {&NCurrVich, &NWorkPar, 0},
        {&NDistr, &NWorkPar, 0},
        {&Ndistrpar, &NWorkPar, 0},
        {&N4, &NWorkPar, 0},
        {&NLimits, &NWorkPar, 0},
        {&NInsens, &NLimits, 0},
        {&NLowAttent, &NLimits, 1},
        {&NUpAttent, &NLimits, 2},
        {&NLowLimit, &NLimits, 3},
        {&NUpperLimit, &NLimits, 4},
        {&NConst, &NWorkPar, 0},
        {&N1_Const, &NConst, 0},
        {&N2_Const, &NConst, 1},
        {&N6, &NWorkPar, 0},
        {&NPass, &NWorkPar, 0},
        {&NData, nullptr, 0},
        {&NContrDt, &NData, 0},
        {&NSit, &NData, 0},
        {&NFun, &NData, 0},
        {&NChrom, &NData, 0},
        {&NChrom_Ser_Num, &NChrom, 0},
        {&NChrom_Mom, &NChrom, 0},
        {&NChrom_Mom_1, &NChrom_Mom, 0},
        {&NChrom_Mom_2, &NChrom_Mom, 1},
        {&NChrom_Meas, &NChrom, 0},
        {&NChrom_RdMeas, &NChrom_Meas, 0},
        {&NChrom_RdMeas_1, &NChrom_RdMeas, 0},
        {&NChrom_RdMeas_2, &NChrom_RdMeas, 1},
        {&NChrom_ViewMeas, &NChrom_Meas, 0},
        {&NChrom_Hour, &NChrom, 0},
        {&NChrom_RdHour, &NChrom_Hour, 0},
        {&NChrom_RdHour_1, &NChrom_RdHour, 0},
        {&NChrom_RdHour_2, &NChrom_RdHour, 1},
        {&NChrom_ViewHour, &NChrom_Hour, 0},
        {&NChrom_Day, &NChrom, 0},
        {&NChrom_RdDay, &NChrom_Day, 0},
        {&NChrom_RdDay_1, &NChrom_RdDay, 0},
        {&NChrom_RdDay_2, &NChrom_RdDay, 1},
        {&NChrom_ViewDay, &NChrom_Day, 0},
        {&NChrom_Clb, &NChrom, 0},
        {&NChrom_RdClb, &NChrom_Clb, 0},
        {&NChrom_ViewClb, &NChrom_Clb, 0},
        {&NChrom_Verif, &NChrom, 0},
        {&NChrom_RdVerif, &NChrom_Verif, 0},
        {&NChrom_ViewVerif, &NChrom_Verif, 0},
        {&NWmt_Data, &NData, 0},
        {&NWmt_MomData, &NWmt_Data, 0},
        {&NWmt_Meas, &NWmt_Data, 0},
        {&NWmt_RdMeas, &NWmt_Meas, 0},
        {&NWmt_ViewMeas, &NWmt_Meas, 0},
        {&NWmt_Hour, &NWmt_Data, 0},
        {&NWmt_ReadHour, &NWmt_Hour, 0},
        {&NWmt_ViewHour, &NWmt_Hour, 0},
        {&NWmt_Day, &NWmt_Data, 0},
        {&NWmt_ReadDay, &NWmt_Day, 0},
        {&NWmt_ViewDay, &NWmt_Day, 0},
        {&NAla, &NData, 0},
        {&NAlaInd, &NAla, 0},
        {&NAlaPer, &NAla, 0},
        {&NAlaPrn, &NAla, 0},
        {&NAud, &NData, 0},
        {&NAudInd, &NAud, 1},
        {&NAudPer, &NAud, 1},
        {&NAudPrn, &NAud, 0},
        {&Nexcreport, nullptr, 0},
        {&NExcDay, &Nexcreport, 0},
        {&NExcDay_1, &NExcDay, 0},
        {&NExcDay_2, &NExcDay, 1},
        {&NExcMon, &Nexcreport, 0},
        {&NExcMon_1, &NExcMon, 0},
        {&NExcMon_2, &NExcMon, 1},
        {&Nconnect, nullptr, 0},
        {&Nvers, nullptr, 0},
        {&NUser, &Nvers, 0},
        {&NFormate, &Nvers, 0},
        {&N8, &Nvers, 0},
        {&Nabout, &Nvers, 0},
    };
    for (const Entry& e : entries) {
        e.item->SetTag(e.tag);
        if (e.parent) e.parent->Add(*e.item);
        else MainMenu1.Add(*e.item);
        if (itemCount_ < int(std::size(allItems_))) allItems_[itemCount_++] = e.item;
    }
    SetMenu(&MainMenu1);
}

// ---------------------------------------------------------------- API

void TFormMain::Attach(ui::MenuItem& item, MenuHandler handler) {
    ui::MenuItem* it = &item;
    item.OnClick = [this, it, h = std::move(handler)] {
        if (h) Guarded([&] { h(*this, *it); });
    };
}

bool TFormMain::Attach(std::string_view name, MenuHandler handler) {
    ui::MenuItem* item = MenuItemByName(name);
    if (!item) return false;
    Attach(*item, std::move(handler));
    return true;
}

int TFormMain::AttachAll(const std::vector<MenuBinding>& bindings) {
    int attached = 0;
    for (const MenuBinding& b : bindings) {
        const MenuHandlerFn handler = b.handler;
        if (Attach(b.item, [handler](TFormMain& form, ui::MenuItem& item) { handler(form, item); })) ++attached;
    }
    return attached;
}

ui::MenuItem* TFormMain::MenuItemByName(std::string_view name) const {
    for (int i = 0; i < itemCount_; ++i)
        if (allItems_[i]->Name() == name) return allItems_[i];
    return nullptr;
}

bool TFormMain::Guarded(const std::function<void()>& work) {
    if (closePending_ || closed_) return false;
    ExchangeGuard guard(this);
    if (!guard) return false;
    work();
    return true;
}

void TFormMain::SetExchangeText(const std::string& text) { StatusBar1.SetPanelText(kPanelExchangeText, text); }

void TFormMain::ShowControllerName(const std::string& name) {
    StatusBar1.SetPanelText(kPanelControllerName, name);
}

void TFormMain::ShowResultText(const std::string& text) {
    SetExchangeText(text);
    TimerMessage.SetEnabled(false);
    TimerMessage.SetEnabled(true);
}

void TFormMain::LinkStatusPanel(const std::string& text) {
    StatusBar1.SetPanelText(kPanelExchange, text);
    // A close is waiting: every further request ends at once.
    if (closePending_ && !text.empty() && HgcBox) HgcBox->Abort = true;
}

void TFormMain::ShowListNotes() {
    std::vector<std::pair<std::string, std::string>> notes;
    notes.swap(listNotes_);
    for (const auto& [line1, line2] : notes) ShowQues(6, line1, line2);
}

// ---------------------------------------------------------------- creation

void TFormMain::FormCreate() {
    SetDecimalSeparator(',');
    box_ = new hgcbox(0);
    HgcBox = box_;
    HgcBox->StatusPanel = [this](const std::string& s) { LinkStatusPanel(s); };

    platform::IgnoreFileSizeSignal();
    for (const char* f : kFolders)
        if (!platform::EnsureDir(platform::InWorkDir(f))) foldersNotMade_.push_back(platform::InWorkDir(f));
    // What a run killed in the middle of a save left behind.
    platform::RemoveLeftoverTempFiles(platform::WorkDir());
    for (const char* f : kFolders) platform::RemoveLeftoverTempFiles(platform::InWorkDir(f));

    const double now = platform::NowDateTime();
    ArchiveRequestDefaults = {};  // as at program start: a short file leaves the rest zero
    LoadArchiveDefaults(ArchiveDefaultsPath(), ArchiveRequestDefaults, now);

    ReadProgramIni(SettingsIniPath(), ui::Screen::Width(), ui::Screen::Height());
    const auto noteCut = [this](const std::string& path, int stated, int limit) {
        auto note = ListCutNote(path, stated, limit);
        if (!note.first.empty()) listNotes_.push_back(std::move(note));
    };
    noteCut(PhoneIniPath(), ReadPhoneSubscribers(PhoneIniPath()), MaxSubscribers);
    SortPhoneSubscribers(ProgramSettings.Fon.Users);
    noteCut(EthernetIniPath(), ReadEthernetSubscribers(EthernetIniPath()), MaxSubscribers);
    SortEthernetSubscribers(ProgramSettings.Ethr.Users);
    SettingsShadow = ProgramSettings;
    noteCut(ObjectsIniPath(), ReadObjectList(ObjectsIniPath()), MaxObjects);
    SortObjectList(ObjectList);

    LoadReportFormat(ReportFormatPath(), ReportFormat);

    InitTexts();
    PerfFrequency = platform::GetPerfFrequency();

    HideMainMenu();
    ModemLinked = 0;
    pnmodem.Hide();
    MainStatusBar3 = &StatusBar3;
    StatusBar3.Hide();
    MainStatusBar2 = &StatusBar2;
    StatusBar2.Hide();

    RowsFirstPage = 63;
    RowsNextPage = 71;

    // The bounds kept from the last run; a window saved on a larger screen
    // (or moved off it) comes back whole on this one.
    const ProgramSettingsRecord& s = ProgramSettings;
    int width = s.Form_Width, height = s.Form_Height, left = s.Form_Left, top = s.Form_Top;
    const int screenWidth = ui::Screen::Width(), screenHeight = ui::Screen::Height();
    if (screenWidth > 0 && screenHeight > 0) {
        width = std::clamp(width, 1, screenWidth);
        height = std::clamp(height, 1, screenHeight);
        left = std::clamp(left, 0, screenWidth - width);
        top = std::clamp(top, 0, screenHeight - height);
    }
    SetWidth(width);
    SetHeight(height);
    SetLeft(left);
    SetTop(top);

    TimerStart.SetEnabled(true);
}

void TFormMain::FormShow() {
    const int rest = StatusBar1.Width() - StatusBar1.Panel(0).Width - StatusBar1.Panel(1).Width - 55;
    StatusBar1.Panel(kPanelExchangeText).Width = rest > 50 ? rest : 50;
    char buf[96];
    std::snprintf(buf, sizeof buf, "Програма обслуговування контролера  ЗБР_%02d", kProgramVersion);
    SetCaption(buf);
}

void TFormMain::FormActivate() {
    ui::Application::OnMessage = [this](const ui::Message& m, bool& handled) { AppMessage(m, handled); };
}

void TFormMain::AppMessage(const ui::Message& msg, bool& handled) {
    if (msg.kind != ui::Message::KeyDown || msg.key != ui::key::Escape) return;
    // A modem command waiting for its answer takes the key for itself.
    if (ModemEscapePressed(this)) {
        handled = true;
        return;
    }
    if (ExchangeActive) {
        AbortRequested = 1;
        // The request on the line ends too, so the loop sees the abort now.
        if (HgcBox && HgcBox->Busy()) HgcBox->Abort = true;
    }
}

// ---------------------------------------------------------------- timers, buttons

void TFormMain::TimerMessageTimer() {
    TimerMessage.SetEnabled(false);
    StatusBar1.SetPanelText(kPanelExchangeText, {});
}

void TFormMain::TimerMoneyTimer() {
    double elapsed = platform::NowDateTime() - CallStart;
    if (elapsed < 0) elapsed = 0;
    // Whole seconds that have passed: the elapsed time to the millisecond,
    // then cut (a call of 1 min 7.8 s reads 00:01:07).
    const long long ms = std::llround(elapsed * 86400000.0);
    const long secs = long(ms / 1000);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", (secs / 3600) % 100, (secs / 60) % 60, secs % 60);
    pntime.SetCaption(buf);
}

void TFormMain::NexitClick() { Close(); }

void TFormMain::NconnectClick() { TimerStart.SetEnabled(true); }

void TFormMain::BitBtn3Click() {
    {
        ui::HourGlass wait;
        Disconnect();
    }
    RefreshMenus();
}

// ---------------------------------------------------------------- menus

void TFormMain::HideMainMenu() {
    for (ui::MenuItem* top : MainMenu1.Items().Items()) top->SetVisible(false);
}

void TFormMain::RefreshMenus() {
    MainMenu1.Items().ForEach([](ui::MenuItem& i) { i.SetVisible(true); });
    if (IsConnected) {
        if (ConfigImage[450] == 0) {
            NConnWMT.SetVisible(false);
            NWmt_Data.SetVisible(false);
        }
        if (ConfigImage[451] == 0) {
            for (ui::MenuItem* i : {&NCurrVich, &NVrgConn, &NDistr, &Ndistrpar}) i->SetVisible(false);
        }
        ApplyThreadNames();
    } else {
        for (ui::MenuItem* i : {&NWorkPar, &NChrom_Ser_Num, &NContrDt, &Nexcreport, &NSit, &NFun, &NChrom_Mom,
                                &NChrom_RdMeas, &NChrom_RdHour, &NChrom_RdDay, &NChrom_RdClb, &NChrom_RdVerif,
                                &NWmt_MomData, &NWmt_RdMeas, &NWmt_ReadHour, &NWmt_ReadDay, &NAudInd, &NAudPer,
                                &NAlaInd, &NAlaPer, &Nrdcnf})
            i->SetVisible(false);
        StatusBar1.SetPanelText(kPanelLink, {});
        StatusBar1.SetPanelText(kPanelControllerName, {});
        // The connect dialog shows the subscriber bar as the operator picks
        // a link; without a connection it names no subscriber.
        for (ui::StatusBar* bar : {&StatusBar2, &StatusBar3}) {
            bar->Hide();
            bar->SetPanelText(0, {});
        }
    }
}

void TFormMain::ApplyThreadNames() {
    // The constants items are per line as well: named and hidden with the rest.
    ui::MenuItem* const items[2][7] = {
        {&NChrom_Mom_1, &NChrom_RdMeas_1, &NChrom_RdHour_1, &NChrom_RdDay_1, &NExcDay_1, &NExcMon_1, &N1_Const},
        {&NChrom_Mom_2, &NChrom_RdMeas_2, &NChrom_RdHour_2, &NChrom_RdDay_2, &NExcDay_2, &NExcMon_2, &N2_Const}};
    const uint8_t lines = ConfigImage[796];
    for (int n = 0; n < 2; ++n) {
        const bool inUse = (lines >> n) & 1;
        std::string name = platform::ReadField(RowPtr(5, n + 1), kNameWidth, platform::CodePage::Cp1251, true);
        const std::size_t start = name.find_first_not_of(' ');
        name = start == std::string::npos ? std::string() : name.substr(start);
        for (ui::MenuItem* i : items[n]) {
            if (inUse) i->SetCaption(name);
            i->SetVisible(inUse);
        }
    }
}

// ---------------------------------------------------------------- files

bool TFormMain::SaveSettings() {
    bool ok = true;
    if (!WriteProgramIni(SettingsIniPath())) {
        ReportWriteFailure("zbr.ini");
        ok = false;
    }
    if (!SaveArchiveDefaults(ArchiveDefaultsPath(), ArchiveRequestDefaults)) {
        ReportWriteFailure("rd_arh.ini");
        ok = false;
    }
    return ok;
}

// ---------------------------------------------------------------- closing

void TFormMain::FormCloseQuery(bool& canClose) {
    if (closed_) return;
    if (ExchangeGuard::Count() > 0 || LinkBusy()) {
        // Not under a running exchange: ask it to end, close afterwards.
        canClose = false;
        closePending_ = true;
        AbortRequested = 1;
        if (HgcBox && HgcBox->Busy()) HgcBox->Abort = true;
        // A dial in progress ends as if Esc had been pressed.
        if (ModemWaiting()) ModemEscapePressed(this);
        TimerClose.SetEnabled(true);
    }
}

void TFormMain::ClosePendingNow() {
    if (closed_ || !closePending_) {
        TimerClose.SetEnabled(false);
        return;
    }
    if (ExchangeGuard::Count() > 0 || LinkBusy()) return;  // still unwinding: the next tick looks again
    TimerClose.SetEnabled(false);
    closePending_ = false;
    Close();
}

void TFormMain::FormClose(ui::CloseAction&) {
    ui::HourGlass wait;
    TimerStart.SetEnabled(false);
    TimerMessage.SetEnabled(false);
    Disconnect();
    if (box_) {
        if (HgcBox == box_) HgcBox = nullptr;
        delete box_;
        box_ = nullptr;
    }
    closed_ = true;
    SaveSettings();
    for (TempArchive t : {TempArchive::Intervention, TempArchive::Diagnostic, TempArchive::Measured,
                          TempArchive::Calib, TempArchive::HourDay, TempArchive::Verif}) {
        std::error_code ec;
        std::filesystem::remove(TempArchivePath(t), ec);
    }
}
