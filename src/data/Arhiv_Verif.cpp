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

void TFormArhiv_Verif::FillVerifGrids() {
    const int n = int(Records.size());
    SetRows(n);
    const bool oxygen = OxygenShown();
    for (int row = 0; row < n; ++row) {
        const VerifRecord& r = Records[row];
        if (!RecordCrcOk(r)) {
            StringGrid1.SetCell(1, row, "     Дані");
            StringGrid1.SetCell(2, row, "недостов.");
            continue;
        }
        const DeviceDateTime& t = r.time;
        StringGrid1.SetCell(1, row, ViewerFormat("   %02d.%02d.%02d", t.day, t.month, t.year));
        StringGrid1.SetCell(2, row, ViewerFormat("   %02d:%02d:%02d", t.hour, t.minute, t.second));
        StringGrid1.SetCell(3, row, r.result == 0 ? "   OK" : "  Bad");
        StringGrid1.SetCell(4, row, ViewerFormat("  %d", int(r.line)));
        for (int code = 0; code < kGasParamCount; ++code) {
            if (code == kParamGasTemperature || (code == kParamOxygen && !oxygen)) continue;
            SetValue(row, code, FormatGasValue(r.Value(code), code));
        }
    }
}

void TFormArhiv_Verif::BitBtn2Click() {
    SaveRecords(ArchiveKind::Verif, kArchiveSaveTitle, "Файл %s уже є.", Records);
}
