#include "data/Iniala.h"

#include <algorithm>

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

void TFormAla::PutRow(int n, const DiagnosticTexts& t) {
    const int cols[DiagnosticRow::kFieldCount] = {colDate, colTime, colEvent, colObject, colValue, colSetpoint, colUnit};
    for (int i = 0; i < DiagnosticRow::kFieldCount; ++i)
        if (!t[std::size_t(i)].empty()) StringGrid1.SetCell(cols[i], n, t[std::size_t(i)]);
}

void TFormAla::ShowDiagnosticRecords() {
    const int count = int(Records.size());
    PrepareRows(count);
    rows_.assign(std::size_t(count), DiagnosticRow{});
    const uint8_t wmtType = Hdr().MoistureMeterType;
    for (int n = 0; n < count; ++n) {
        const DiagnosticRecord& r = Records[std::size_t(n)];
        if (!RecordCrcOk(r)) MarkUnreliable(kUnreliableText);
        // The row shows what its saved line holds: a text longer than its
        // field is cut there, so a reopened file reads like this window.
        rows_[std::size_t(n)] = MakeDiagnosticRow(DecodeDiagnosticRecord(r, wmtType));
        PutRow(n, TextsOf(rows_[std::size_t(n)]));
    }
}

void TFormAla::ShowSavedDiagnosticRows() {
    const int count = int(SavedRows.size());
    PrepareRows(count);
    rows_.assign(std::size_t(count), DiagnosticRow{});
    for (int n = 0; n < count; ++n) {
        const DiagnosticTexts t = TextsOf(SavedRows[std::size_t(n)]);
        PutRow(n, t);
        // What is saved again is what is shown: every field ends in a zero byte.
        rows_[std::size_t(n)] = MakeDiagnosticRow(t);
    }
}

void TFormAla::BitBtn2Click() {
    SaveRecords<DiagnosticRow>(ArchiveKind::Diagnostic, kArchiveSaveTitle, "Файл %s вже є.", rows_);
}

void TFormAla::BitBtn3Click() {
    if (PrintAction) PrintAction(*this);
}

void ShowDiagnosticView(ArchiveView& v) {
    TFormAla form(nullptr);
    form.Header = &v.header;
    form.FirstIndex = v.firstIndex;
    std::vector<DiagnosticRecord> records;
    std::vector<DiagnosticRow> rows;
    // Only whole entries of the right size, never more than the view counts.
    if (v.entrySize == sizeof(DiagnosticRow)) {
        rows = EntriesAs<DiagnosticRow>(v.records);
        if (rows.size() > v.count) rows.resize(v.count);
        form.Mode = 2;
        form.SavedRows = rows;
    } else if (v.entrySize == sizeof(DiagnosticRecord)) {
        records = EntriesAs<DiagnosticRecord>(v.records);
        if (records.size() > v.count) records.resize(v.count);
        form.Mode = uint8_t(v.mode == viewmode::kByIndex ? 0 : 1);
        form.Records = records;
    } else {
        return;
    }
    form.ShowModal();
}
