#include "data/ArhMeas_Wmt.h"

TFormArhMeas_Wmt::TFormArhMeas_Wmt(ui::Component* owner)
    : WmtViewer(owner, "FormArhMeas_Wmt",
                {{"Дата"}, {"Час"}, {"Статус", "контролера"}, {" Ознаки ", " стану", "вологоміра"}}) {
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] {
        if (PrintAction) PrintAction(*this);
    };
    BitBtn5.OnClick = [this] {
        if (ExcelAction) ExcelAction(*this);
    };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormArhMeas_Wmt::FormCreate() {
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

void TFormArhMeas_Wmt::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    SetCaption(ViewerFormat(" Миттєві дані вологоміра за період  з  %s  по  %s", ViewerDateTimeText(h.FromDate).c_str(),
                       ViewerDateTimeText(h.ToDate).c_str()));
    ShowActionButtons(bool(PrintAction), bool(ExcelAction));
    PrepareShow(int(Records.size()));
    FillWmtMomentaryGrid();
    StringGrid1.SetRow(0);
    StringGrid1.SetFocus();
}

void TFormArhMeas_Wmt::FillWmtMomentaryGrid() { StringGrid1.RowsChanged(); }

void TFormArhMeas_Wmt::RecordTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    WmtMomentaryRecordTexts(Records[std::size_t(row)], Hdr().MoistureMeterType, t);
}

void TFormArhMeas_Wmt::BitBtn2Click() {
    SaveRecords(ArchiveKind::WmtMeas, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
