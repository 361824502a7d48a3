#include "data/Iniaud.h"

#include <algorithm>
#include <cstring>

#include "config/ConfigImage.h"
#include "data/ArchView.h"

TFormAud::TFormAud(ui::Component* owner)
    : MessageRowsForm(owner, "FormAud", 854, {4, 78, 80, 310, 110, 109, 68, 65},
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
    if (Mode != 2) namesIn866_ = NamesIn866.has_value() ? *NamesIn866 : TablePtr(0)[12] == 0;
    ShowEntries(kUnreliableText);
    ShowLaidOut();
}

std::array<int, InterventionRow::kFieldCount> TFormAud::Columns() const {
    return {colDate, colTime, colParameter, colOld, colNew, colUnit, colOperator};
}

TFormAud::Texts TFormAud::ShownTexts(const InterventionRecord& r) const {
    return InterventionTextsAsSaved(DecodeInterventionRecord(r, namesIn866_));
}

InterventionRow TFormAud::MadeRow(const InterventionRecord& r) const {
    return MakeInterventionRow(DecodeInterventionRecord(r, namesIn866_));
}

void TFormAud::BitBtn2Click() { SaveRows(ArchiveKind::Intervention); }

void ShowInterventionView(ArchiveView& v) { ShowMessageView<TFormAud, InterventionRecord, InterventionRow>(v); }
