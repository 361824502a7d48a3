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

void TFormArhMeas_Wmt::FillWmtMomentaryGrid() {
    const uint8_t type = Hdr().MoistureMeterType;
    for (int row = 0; row < int(Records.size()); ++row) {
        const WmtMomentaryRecord& r = Records[row];
        if (!RecordCrcOk(r)) {
            StringGrid1.SetCell(0, row, "     Данные");
            StringGrid1.SetCell(1, row, " недостов.");
            continue;
        }
        const DeviceDateTime& t = r.time;
        StringGrid1.SetCell(0, row, ViewerFormat("  %02d.%02d.%02d", t.day, t.month, t.year));
        StringGrid1.SetCell(1, row, ViewerFormat("  %02d:%02d:%02d", t.hour, t.minute, t.second));
        StringGrid1.SetCell(2, row, r.status == 0 ? std::string("  Норма") : ViewerFormat("  0x%02X", r.status));
        if (r.status & 0x02) {
            for (int i = 0; i < kWmtValueCount; ++i) StringGrid1.SetCell(4 + i, row, "  Викл.");
        } else if (r.status & 0x04) {
            StringGrid1.SetCell(3, row, " Нема зв'зку");
            for (int i = 0; i < kWmtValueCount; ++i) StringGrid1.SetCell(4 + i, row, "       0");
        } else {
            StringGrid1.SetCell(3, row, r.MeterState() == 0
                                            ? std::string("  Норма")
                                            : ViewerFormat("  0x%02X%02X", r.meterState[1], r.meterState[0]));
            for (int i = 0; i < kWmtValueCount; ++i) StringGrid1.SetCell(4 + i, row, ValueText(r.Value(i), i, type));
        }
    }
}

void TFormArhMeas_Wmt::BitBtn2Click() {
    SaveRecords(ArchiveKind::WmtMeas, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
