#include "data/Iniaud.h"

#include <algorithm>
#include <cstring>

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

std::array<int, InterventionRow::kFieldCount> TFormAud::Columns() const {
    return {colDate, colTime, colParameter, colOld, colNew, colUnit, colOperator};
}

void TFormAud::ShowInterventionRecords() {
    fromFile_ = false;
    records_ = Records;
    savedRows_ = {};
    namesIn866_ = NamesIn866.has_value() ? *NamesIn866 : TablePtr(0)[12] == 0;
    PrepareRows(int(records_.size()));
    if (!AllRecordsSound(records_)) MarkUnreliable(kUnreliableText);
}

void TFormAud::ShowSavedInterventionRows() {
    fromFile_ = true;
    records_ = {};
    savedRows_ = SavedRows;
    PrepareRows(int(savedRows_.size()));
}

// As in TFormAla: a record shows what its saved row will hold, a file's row
// its fields as they stand.
void TFormAud::RowTexts(int row, std::vector<std::string>& texts) const {
    const std::size_t n = std::size_t(row);
    if (fromFile_) {
        if (n < savedRows_.size()) PutTexts(TextsOf(savedRows_[n]), Columns(), texts);
    } else if (n < records_.size()) {
        PutTexts(InterventionTextsAsSaved(DecodeInterventionRecord(records_[n], namesIn866_)), Columns(), texts);
    }
}

InterventionRow TFormAud::SavedRow(std::size_t n) const {
    if (fromFile_) return n < savedRows_.size() ? SavedAgain(savedRows_[n]) : InterventionRow{};
    return n < records_.size() ? MakeInterventionRow(DecodeInterventionRecord(records_[n], namesIn866_))
                               : InterventionRow{};
}

std::vector<InterventionRow> TFormAud::Rows() const {
    std::vector<InterventionRow> rows;
    rows.reserve(std::size_t(RowCount()));
    for (int n = 0; n < RowCount(); ++n) rows.push_back(SavedRow(std::size_t(n)));
    return rows;
}

void TFormAud::BitBtn2Click() {
    // As in TFormAla: a file's rows that save unchanged are saved as they are.
    if (fromFile_ && std::all_of(savedRows_.begin(), savedRows_.end(), [](const InterventionRow& r) {
            const InterventionRow again = SavedAgain(r);
            return std::memcmp(&again, &r, sizeof r) == 0;
        })) {
        SaveRecords<InterventionRow>(ArchiveKind::Intervention, kArchiveSaveTitle, "Файл %s вже є.", savedRows_);
        return;
    }
    const std::vector<InterventionRow> rows = Rows();
    SaveRecords<InterventionRow>(ArchiveKind::Intervention, kArchiveSaveTitle, "Файл %s вже є.", rows);
}

void ShowInterventionView(ArchiveView& v) { ShowMessageView<TFormAud, InterventionRecord, InterventionRow>(v); }
