#include "data/ArhMeas_Chr.h"

#include "data/ChromError.h"

TFormArhMeas_Chr::TFormArhMeas_Chr(ui::Component* owner)
    : TwoGridViewer(owner, "FormArhMeas_Chr", {{2, {}}, {72, {"Дата"}}, {72, {"Час"}}}) {
    screenHeightMargin_ = 60;
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] {
        if (ExcelAction) ExcelAction(*this);
    };
    BitBtn3.OnClick = [] {};  // no printing from this window
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormArhMeas_Chr::FormCreate() {
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

void TFormArhMeas_Chr::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    FillHeadings(OxygenShown() ? std::initializer_list<int>{} : std::initializer_list<int>{kParamOxygen});
    SetCaption(ViewerFormat("Вимірювальні дані хроматографа (сер. № %u; нитка \"%s\") за період  з  %s  по  %s",
                       h.Serial(), h.LineNameText().c_str(), ViewerDateTimeText(h.FromDate).c_str(),
                       ViewerDateTimeText(h.ToDate).c_str()));
    FillMeasGrids();
    BitBtn3.Hide();
    ShowActionButtons(false, bool(ExcelAction));
    BitBtn4.SetEnabled(!Records.empty());
    ShowLaidOut(false);
}

void TFormArhMeas_Chr::FillMeasGrids() { SetRows(int(Records.size())); }

void TFormArhMeas_Chr::DateTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    ChromMeasDateTexts(Records[std::size_t(row)], t);
}

void TFormArhMeas_Chr::ValueTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    const ChromMeasRecord& r = Records[std::size_t(row)];
    if (!RecordCrcOk(r)) return;
    const bool oxygen = OxygenShown();
    PutValues(t, [&](int code, const GasValueFormat& gas) { return ChromMeasValueText(r, code, oxygen, gas); });
}

std::string TFormArhMeas_Chr::StateCaption(const ChromMeasRecord& r) const {
    const DeviceDateTime& t = r.time;
    return ViewerFormat(" Вимірювальні дані (%02d.%02d.%02d  %02d:%02d:%02d)", t.day, t.month, t.year, t.hour, t.minute,
                   t.second);
}

void TFormArhMeas_Chr::BitBtn4Click() {
    const int row = StringGrid2.Row();
    if (row < 0 || row >= int(Records.size())) return;
    const ChromMeasRecord& r = Records[row];
    if (!RecordCrcOk(r)) return;  // the status of an unreliable record means nothing
    TFormChromError form(this);
    form.mode = 0;
    form.wordLow = r.chromStatus[0];
    form.wordHigh = r.chromStatus[1];
    form.ctrlStatus = r.controllerStatus;
    form.SetCaption(StateCaption(r));
    form.ShowModal();
}

void TFormArhMeas_Chr::BitBtn2Click() {
    SaveRecords(ArchiveKind::ChromMeas, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
