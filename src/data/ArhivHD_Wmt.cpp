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

void TFormArhivHD_Wmt::FillWmtArchiveGrid() {
    const uint8_t type = Hdr().MoistureMeterType;
    for (int row = 0; row < int(Records.size()); ++row) {
        const WmtArchiveRecord& r = Records[row];
        if (!RecordCrcOk(r)) {
            StringGrid1.SetCell(0, row, "     Дані");
            StringGrid1.SetCell(1, row, " недостов.");
            continue;
        }
        StringGrid1.SetCell(0, row, ViewerFormat("  %02d.%02d.%02d", r.day, r.month, r.year));
        StringGrid1.SetCell(1, row, ViewerFormat("  %02d:%02d:%02d", r.startHour, r.startMinute, r.startSecond));
        if (!Daily())
            StringGrid1.SetCell(2, row, ViewerFormat("   %02d:%02d:%02d", r.endHour, r.endMinute, r.endSecond));
        else if (r.EndMarkedWithStar())
            StringGrid1.SetCell(2, row, ViewerFormat("   %02d:%02d:%02d*", r.endHour, r.endMinute, r.endSecond));
        else
            StringGrid1.SetCell(2, row, ViewerFormat("   %02d:%02d:%02d", r.EndHourValue(), r.endMinute, r.endSecond));
        StringGrid1.SetCell(3, row, r.status == 0 ? std::string("  Норма") : ViewerFormat("  0x%02X", r.status));
        for (int i = 0; i < kWmtValueCount; ++i) {
            std::string text;
            if (r.status & 0x02) text = "  Викл.";
            else if (r.status & 0x04) text = "      --";
            else text = ValueText(r.Value(i), i, type);
            StringGrid1.SetCell(4 + i, row, text);
        }
    }
}

void TFormArhivHD_Wmt::BitBtn2Click() {
    SaveRecords(Daily() ? ArchiveKind::WmtDay : ArchiveKind::WmtHour, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
