#include "data/Iniala.h"

#include <array>

#include "data/ArchView.h"

TFormAla::TFormAla(ui::Component* owner)
    : MessageListForm(owner, "FormAla", 992, {4, 72, 73, 278, 279, 85, 85, 85},
                      {{1, 1, 0, kHeadHeight, {"Дата"}},
                       {2, 2, 0, kHeadHeight, {"Час"}},
                       {3, 4, 0, kHeadHeight / 2, {"Повідомлення"}},
                       {3, 3, kHeadHeight / 2, kHeadHeight / 2, {"Подія"}},
                       {4, 4, kHeadHeight / 2, kHeadHeight / 2, {"Об'єкт / Причина"}},
                       {5, 5, 0, kHeadHeight, {"Поточне", "значення", "парам."}},
                       {6, 6, 0, kHeadHeight, {"Значення", "уставки"}},
                       {7, 7, 0, kHeadHeight, {"Одиниця", "виміру"}}}) {
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormAla::FormCreate() {
    colDate = 1, colTime = 2, colEvent = 3, colObject = 4, colValue = 5, colSetpoint = 6, colUnit = 7;
    Header = nullptr;
    Records = {};
    SavedRows = {};
    Mode = 0;
    suppressResize_ = true;
}

void TFormAla::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    if (Mode == 0) {
        const uint32_t n = uint32_t(Records.size());
        SetCaption(ViewerFormat(" Діагностичні повідомлення з індексами від %u до %u", FirstIndex,
                                n ? FirstIndex + n - 1 : FirstIndex));
    } else {
        SetCaption(ViewerFormat(" Діагностичні повідомлення за період з %s по %s", ViewerDateTimeText(h.FromDate).c_str(),
                                ViewerDateTimeText(h.ToDate).c_str()));
    }
    ShowActionButtons(bool(PrintAction), false);
    if (Mode == 2)
        ShowSavedDiagnosticRows();
    else
        ShowDiagnosticRecords();
    ShowLaidOut();
}

std::array<int, DiagnosticRow::kFieldCount> TFormAla::Columns() const {
    return {colDate, colTime, colEvent, colObject, colValue, colSetpoint, colUnit};
}

void TFormAla::ShowDiagnosticRecords() {
    const uint8_t wmtType = Hdr().MoistureMeterType;
    ShowRecords(Records, Columns(), kUnreliableText,
                [wmtType](const DiagnosticRecord& r) { return DecodeDiagnosticRecord(r, wmtType); }, MakeDiagnosticRow,
                rows_);
}

void TFormAla::ShowSavedDiagnosticRows() { ShowSavedRows(SavedRows, Columns(), MakeDiagnosticRow, rows_); }

void TFormAla::BitBtn2Click() {
    SaveRecords<DiagnosticRow>(ArchiveKind::Diagnostic, kArchiveSaveTitle, "Файл %s вже є.", rows_);
}

void TFormAla::BitBtn3Click() {
    if (PrintAction) PrintAction(*this);
}

void ShowDiagnosticView(ArchiveView& v) { ShowMessageView<TFormAla, DiagnosticRecord, DiagnosticRow>(v); }
