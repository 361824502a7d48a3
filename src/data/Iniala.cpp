#include "data/Iniala.h"

#include <algorithm>
#include <array>
#include <cstring>

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
    fromFile_ = false;
    records_ = Records;
    savedRows_ = {};
    moistureMeterType_ = Hdr().MoistureMeterType;
    PrepareRows(int(records_.size()));
    if (!AllRecordsSound(records_)) MarkUnreliable(kUnreliableText);
}

void TFormAla::ShowSavedDiagnosticRows() {
    fromFile_ = true;
    records_ = {};
    savedRows_ = SavedRows;
    PrepareRows(int(savedRows_.size()));
}

// A record shows what its saved row will hold (a text longer than its field
// cut there), so that a reopened file reads like this window; a file's row
// shows its fields as they stand.
void TFormAla::RowTexts(int row, std::vector<std::string>& texts) const {
    const std::size_t n = std::size_t(row);
    if (fromFile_) {
        if (n < savedRows_.size()) PutTexts(TextsOf(savedRows_[n]), Columns(), texts);
    } else if (n < records_.size()) {
        PutTexts(DiagnosticTextsAsSaved(DecodeDiagnosticRecord(records_[n], moistureMeterType_)), Columns(), texts);
    }
}

DiagnosticRow TFormAla::SavedRow(std::size_t n) const {
    if (fromFile_) return n < savedRows_.size() ? SavedAgain(savedRows_[n]) : DiagnosticRow{};
    return n < records_.size() ? MakeDiagnosticRow(DecodeDiagnosticRecord(records_[n], moistureMeterType_))
                               : DiagnosticRow{};
}

std::vector<DiagnosticRow> TFormAla::Rows() const {
    std::vector<DiagnosticRow> rows;
    rows.reserve(std::size_t(RowCount()));
    for (int n = 0; n < RowCount(); ++n) rows.push_back(SavedRow(std::size_t(n)));
    return rows;
}

void TFormAla::BitBtn2Click() {
    // A file's rows are saved as they are when saving gives them back
    // unchanged (every file this window saved); the others are made now.
    if (fromFile_ && std::all_of(savedRows_.begin(), savedRows_.end(), [](const DiagnosticRow& r) {
            const DiagnosticRow again = SavedAgain(r);
            return std::memcmp(&again, &r, sizeof r) == 0;
        })) {
        SaveRecords<DiagnosticRow>(ArchiveKind::Diagnostic, kArchiveSaveTitle, "Файл %s вже є.", savedRows_);
        return;
    }
    const std::vector<DiagnosticRow> rows = Rows();
    SaveRecords<DiagnosticRow>(ArchiveKind::Diagnostic, kArchiveSaveTitle, "Файл %s вже є.", rows);
}

void TFormAla::BitBtn3Click() {
    if (PrintAction) PrintAction(*this);
}

void ShowDiagnosticView(ArchiveView& v) { ShowMessageView<TFormAla, DiagnosticRecord, DiagnosticRow>(v); }
