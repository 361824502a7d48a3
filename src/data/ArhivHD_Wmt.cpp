#include "data/ArhivHD_Wmt.h"

TFormArhivHD_Wmt::TFormArhivHD_Wmt(ui::Component* owner)
    : WmtViewer(owner, "FormArhivHD_Wmt",
                {{"Дата", "початку  "}, {"Час", "початку  "}, {"Час", "закінчення"}, {"Статус", "контролера"}}) {
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

void TFormArhivHD_Wmt::FormCreate() {
    Mode = 6;
    Header = nullptr;
    Records = {};
    suppressResize_ = true;
}

void TFormArhivHD_Wmt::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    const DeviceDateTime& f = h.FromDate;
    const DeviceDateTime& t = h.ToDate;
    if (Daily())
        SetCaption(ViewerFormat("Добові дані вологоміра за період  з  %02d.%02d.%02d  по  %02d.%02d.%02d", f.day, f.month,
                           f.year, t.day, t.month, t.year));
    else
        SetCaption(ViewerFormat("Годинні дані вологоміра за період  з  %02d.%02d.%02d  %02dч  по  %02d.%02d.%02d  %02dч",
                           f.day, f.month, f.year, f.hour, t.day, t.month, t.year, t.hour));
    ShowActionButtons(bool(PrintAction), bool(ExcelAction));
    PrepareShow(int(Records.size()));
    FillWmtArchiveGrid();
    StringGrid1.SetRow(0);
    StringGrid1.SetFocus();
}

void TFormArhivHD_Wmt::FillWmtArchiveGrid() { StringGrid1.RowsChanged(); }

void TFormArhivHD_Wmt::RecordTexts(int row, std::vector<std::string>& t) const {
    if (std::size_t(row) >= Records.size()) return;  // fewer records than when the window showed
    WmtArchiveRecordTexts(Records[std::size_t(row)], Hdr().MoistureMeterType, Daily(), t);
}

void TFormArhivHD_Wmt::BitBtn2Click() {
    SaveRecords(Daily() ? ArchiveKind::WmtDay : ArchiveKind::WmtHour, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
