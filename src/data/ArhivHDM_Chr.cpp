#include "data/ArhivHDM_Chr.h"

#include "common/Suplfunc.h"
#include "data/ChromError.h"

TFormArhivHDM_Chr::TFormArhivHDM_Chr(ui::Component* owner)
    : TwoGridViewer(owner, "FormArhivHDM_Chr",
                    {{2, {}},
                     {64, {"Дата"}},
                     {64, {"Початок", "Час"}},
                     // wide enough for the daily end time with its "*"
                     {72, {"Кінець", "Час"}},
                     {63, {"Кільк.", "ліквід.", "данихх"}}}) {
    for (int k = 0; k < 3; ++k)
        if (auto* l = Find<ui::Label>("hd4_" + std::to_string(k))) l->SetName("Label" + std::to_string(k + 1));
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] {
        if (ExcelAction) ExcelAction(*this);
    };
    BitBtn3.OnClick = [] {};  // no printing from this window
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormArhivHDM_Chr::FormCreate() {
    Mode = 0;
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

void TFormArhivHDM_Chr::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    FillHeadings(OxygenShown() ? std::initializer_list<int>{} : std::initializer_list<int>{kParamOxygen});
    const std::string line = h.LineNameText();
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    if (Daily())
        SetCaption(ViewerFormat("Добові дані хроматографа (сер. № %u; нитка \"%s\") за період  з  %02d.%02d.%02d  по  "
                           "%02d.%02d.%02d",
                           h.Serial(), line.c_str(), f.day, f.month, f.year, t.day, t.month, t.year));
    else
        SetCaption(ViewerFormat("Годинні дані хроматографа (сер. № %u; нитка \"%s\") за період  з  %02d.%02d.%02d  "
                           "%02dч  по  %02d.%02d.%02d  %02dч",
                           h.Serial(), line.c_str(), f.day, f.month, f.year, f.hour, t.day, t.month, t.year,
                           t.hour));
    FillHdmGrid();
    BitBtn3.Hide();
    ShowActionButtons(false, bool(ExcelAction));
    BitBtn4.SetEnabled(!Records.empty());
    ShowLaidOut(true);
}

void TFormArhivHDM_Chr::FillHdmGrid() { SetRows(int(Records.size())); }

void TFormArhivHDM_Chr::DateTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    HdmDateTexts(Records[std::size_t(row)], Daily(), t);
}

void TFormArhivHDM_Chr::ValueTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    const HdmArchiveRecord& r = Records[std::size_t(row)];
    if (!RecordCrcOk(r)) return;
    const bool oxygen = OxygenShown();
    PutValues(t, [&](int code, const GasValueFormat& gas) { return HdmValueText(r, code, oxygen, gas); });
}

std::string TFormArhivHDM_Chr::StateCaption(const HdmArchiveRecord& r) const {
    if (!Daily())
        return ViewerFormat(" Годинні дані з %02d.%02d.%02d %02d:%02d:%02d по %02d:%02d:%02d", r.day, r.month, r.year,
                       r.startHour, r.startMinute, r.startSecond, r.endHour, r.endMinute, r.endSecond);
    return ViewerFormat(r.EndMarkedWithStar() ? " Добові дані з %02d.%02d.%02d %02d:%02d:%02d по %02d:%02d:%02d*"
                                         : " Добові дані з %02d.%02d.%02d %02d:%02d:%02d по %02d:%02d:%02d",
                   r.day, r.month, r.year, r.startHour, r.startMinute, r.startSecond,
                   r.EndMarkedWithStar() ? r.endHour : r.EndHourValue(), r.endMinute, r.endSecond);
}

void TFormArhivHDM_Chr::BitBtn4Click() {
    const int row = StringGrid2.Row();
    if (row < 0 || row >= int(Records.size())) return;
    const HdmArchiveRecord& r = Records[row];
    // The status of an unreliable record means nothing.
    if (!RecordCrcOk(r)) return;
    TFormChromError form(this);
    form.mode = 1;
    form.ctrlStatus = r.status;
    form.SetCaption(StateCaption(r));
    form.ShowModal();
}

void TFormArhivHDM_Chr::BitBtn2Click() {
    SaveRecords(Daily() ? ArchiveKind::ChromDay : ArchiveKind::ChromHour, kArchiveSaveTitle,
                "Файл %s вже є.", Records);
}
