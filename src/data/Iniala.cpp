#include "data/Iniala.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "data/ArchView.h"

TFormAla::TFormAla(ui::Component* owner)
    : MessageRowsForm(owner, "FormAla", 992, {4, 72, 73, 278, 279, 85, 85, 85},
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
    moistureMeterType_ = h.MoistureMeterType;
    ShowEntries(kUnreliableText);
    ShowLaidOut();
}

std::array<int, DiagnosticRow::kFieldCount> TFormAla::Columns() const {
    return {colDate, colTime, colEvent, colObject, colValue, colSetpoint, colUnit};
}

TFormAla::Texts TFormAla::ShownTexts(const DiagnosticRecord& r) const {
    return DiagnosticTextsAsSaved(DecodeDiagnosticRecord(r, moistureMeterType_));
}

DiagnosticRow TFormAla::MadeRow(const DiagnosticRecord& r) const {
    return MakeDiagnosticRow(DecodeDiagnosticRecord(r, moistureMeterType_));
}

void TFormAla::BitBtn2Click() { SaveRows(ArchiveKind::Diagnostic); }

void TFormAla::BitBtn3Click() {
    if (PrintAction) PrintAction(*this);
}

void ShowDiagnosticView(ArchiveView& v) { ShowMessageView<TFormAla, DiagnosticRecord, DiagnosticRow>(v); }
