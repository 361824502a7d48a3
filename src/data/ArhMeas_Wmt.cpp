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
    const WmtMomentaryRecord& r = Records[std::size_t(row)];
    if (!RecordCrcOk(r)) {
        t = {"     Данные", " недостов."};
        return;
    }
    t.resize(8);
    const DeviceDateTime& d = r.time;
    t[0] = ViewerFormat("  %02d.%02d.%02d", d.day, d.month, d.year);
    t[1] = ViewerFormat("  %02d:%02d:%02d", d.hour, d.minute, d.second);
    t[2] = r.status == 0 ? std::string("  Норма") : ViewerFormat("  0x%02X", r.status);
    if (r.status & 0x02) {
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = "  Викл.";
    } else if (r.status & 0x04) {
        t[3] = " Нема зв'зку";
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = "       0";
    } else {
        const uint8_t type = Hdr().MoistureMeterType;
        t[3] = r.MeterState() == 0 ? std::string("  Норма")
                                   : ViewerFormat("  0x%02X%02X", r.meterState[1], r.meterState[0]);
        for (int i = 0; i < kWmtValueCount; ++i) t[std::size_t(4 + i)] = ValueText(r.Value(i), i, type);
    }
}

void TFormArhMeas_Wmt::BitBtn2Click() {
    SaveRecords(ArchiveKind::WmtMeas, kArchiveSaveTitle, "Файл %s вже є.", Records);
}
