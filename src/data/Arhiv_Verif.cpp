#include "data/Arhiv_Verif.h"

TFormArhiv_Verif::TFormArhiv_Verif(ui::Component* owner)
    : TwoGridViewer(owner, "FormArhiv_Verif",
                    {{2, {}}, {64, {"Дата"}}, {64, {"Час"}}, {48, {"Стан"}}, {48, {"Номер", "нитки"}}}) {
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn5.OnClick = [this] {
        if (ExcelAction) ExcelAction(*this);
    };
    // A verification has no state signs.
    BitBtn4.Hide();
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormArhiv_Verif::FormCreate() {
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

void TFormArhiv_Verif::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    if (OxygenShown()) FillHeadings({kParamGasTemperature});
    else FillHeadings({kParamOxygen, kParamGasTemperature});
    SetCaption(ViewerFormat(" Дані верифікації хроматографа (сер. № %u) за період  з  %s  по  %s", h.Serial(),
                       ViewerDateTimeText(h.FromDate).c_str(), ViewerDateTimeText(h.ToDate).c_str()));
    FillVerifGrids();
    BitBtn3.Hide();
    BitBtn4.Hide();
    ShowActionButtons(false, bool(ExcelAction));
    ShowLaidOut(true);
}

void TFormArhiv_Verif::FillVerifGrids() { SetRows(int(Records.size())); }

void TFormArhiv_Verif::DateTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    VerifDateTexts(Records[std::size_t(row)], t);
}

void TFormArhiv_Verif::ValueTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    const VerifRecord& r = Records[std::size_t(row)];
    if (!RecordCrcOk(r)) return;
    const bool oxygen = OxygenShown();
    PutValues(t, [&](int code, const GasValueFormat& gas) { return VerifValueText(r, code, oxygen, gas); });
}

void TFormArhiv_Verif::BitBtn2Click() {
    SaveRecords(ArchiveKind::Verif, kArchiveSaveTitle, "Файл %s уже є.", Records);
}
