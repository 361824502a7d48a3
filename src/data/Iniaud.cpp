#include "data/Iniaud.h"

#include "config/ConfigImage.h"
#include "data/ArchView.h"

TFormAud::TFormAud(ui::Component* owner)
    : MessageListForm(owner, "FormAud", 854, {4, 78, 80, 310, 110, 109, 68, 65},
                      {{1, 1, 0, kHeadHeight, {"Дата"}},
                       {2, 2, 0, kHeadHeight, {"Час"}},
                       {3, 3, 0, kHeadHeight, {"Найменування", "зміненого параметру"}},
                       {4, 4, 0, kHeadHeight, {"Старе", "значення"}},
                       {5, 5, 0, kHeadHeight, {"Нове", "значення"}},
                       {6, 6, 0, kHeadHeight, {"Одиниця", "вимір."}},
                       {7, 7, 0, kHeadHeight, {"И'мя", "оператора"}}}) {
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [] {};  // no printing from this window
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormAud::FormCreate() {
    colDate = 1, colTime = 2, colParameter = 3, colOld = 4, colNew = 5, colUnit = 6, colOperator = 7;
    Header = nullptr;
    Records = {};
    SavedRows = {};
    Mode = 0;
    BitBtn3.Hide();
    suppressResize_ = true;
}

void TFormAud::FormShow() {
    const ArchiveFileHeader& h = Hdr();
    if (Mode == 0) {
        const uint32_t n = uint32_t(Records.size());
        SetCaption(ViewerFormat("Повідомлення про втручання оператора з індексами від %u до %u", FirstIndex,
                                n ? FirstIndex + n - 1 : FirstIndex));
    } else {
        SetCaption(ViewerFormat("Повідомлення про втручання оператора за період з %s по %s",
                                ViewerDateTimeText(h.FromDate).c_str(), ViewerDateTimeText(h.ToDate).c_str()));
    }
    ShowActionButtons(false, false);
    if (Mode == 2)
        ShowSavedInterventionRows();
    else
        ShowInterventionRecords();
    ShowLaidOut();
}

void TFormAud::PutRow(int n, const InterventionTexts& t) {
    const int cols[InterventionRow::kFieldCount] = {colDate, colTime, colParameter, colOld, colNew, colUnit, colOperator};
    for (int i = 0; i < InterventionRow::kFieldCount; ++i)
        if (!t[std::size_t(i)].empty()) StringGrid1.SetCell(cols[i], n, t[std::size_t(i)]);
}

void TFormAud::ShowInterventionRecords() {
    const int count = int(Records.size());
    PrepareRows(count);
    rows_.assign(std::size_t(count), InterventionRow{});
    const bool cp866 = NamesIn866.has_value() ? *NamesIn866 : TablePtr(0)[12] == 0;
    for (int n = 0; n < count; ++n) {
        const InterventionRecord& r = Records[std::size_t(n)];
        if (!RecordCrcOk(r)) MarkUnreliable(kUnreliableText);
        // The row shows what its saved line holds: a text longer than its
        // field is cut there, so a reopened file reads like this window.
        rows_[std::size_t(n)] = MakeInterventionRow(DecodeInterventionRecord(r, cp866));
        PutRow(n, TextsOf(rows_[std::size_t(n)]));
    }
}

void TFormAud::ShowSavedInterventionRows() {
    const int count = int(SavedRows.size());
    PrepareRows(count);
    rows_.assign(std::size_t(count), InterventionRow{});
    for (int n = 0; n < count; ++n) {
        const InterventionTexts t = TextsOf(SavedRows[std::size_t(n)]);
        PutRow(n, t);
        rows_[std::size_t(n)] = MakeInterventionRow(t);
    }
}

void TFormAud::BitBtn2Click() {
    SaveRecords<InterventionRow>(ArchiveKind::Intervention, kArchiveSaveTitle, "Файл %s вже є.", rows_);
}

void ShowInterventionView(ArchiveView& v) {
    TFormAud form(nullptr);
    form.Header = &v.header;
    form.FirstIndex = v.firstIndex;
    std::vector<InterventionRecord> records;
    std::vector<InterventionRow> rows;
    if (v.entrySize == sizeof(InterventionRow)) {
        rows = EntriesAs<InterventionRow>(v.records);
        if (rows.size() > v.count) rows.resize(v.count);
        form.Mode = 2;
        form.SavedRows = rows;
    } else if (v.entrySize == sizeof(InterventionRecord)) {
        records = EntriesAs<InterventionRecord>(v.records);
        if (records.size() > v.count) records.resize(v.count);
        form.Mode = uint8_t(v.mode == viewmode::kByIndex ? 0 : 1);
        form.Records = records;
    } else {
        return;
    }
    form.ShowModal();
}
