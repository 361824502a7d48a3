#include "app/EditorHandlers.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "app/Main.h"
#include "app/ParamEdit.h"
#include "common/LinkStatus.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Suplfunc.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/ConfigImage.h"
#include "config/Const_Par.h"
#include "config/Distr.h"
#include "config/GasParamRows.h"
#include "config/LimitRanges.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgRows.h"
#include "config/PrzDistr.h"
#include "link/Hgcbox.h"
#include "ui/Ui.h"

namespace {

constexpr std::size_t kLinesInUse = cfgofs::kChromLink + 7;  // table 14 byte 7
constexpr std::size_t kOvgPresent = cfgofs::kSystem + 9;     // table 6 byte 9

uint8_t LinesInUse() { return ConfigImage[kLinesInUse]; }
uint8_t OxygenFlag() { return gasrows::OxygenInComponents(LinesInUse()) ? 1 : 0; }

bool Read(TFormMain& form, const TableRequestHeader& h) {
    ui::HourGlass busy;
    return ReadTableRange(h, &form.StatusBar1, true);
}

// ---- upper-level link

// After a write of table 3 the controller answers at its new address (and,
// on the direct link, at its new rate): the link object and the settings of
// the link in use follow. Over a modem or Ethernet the program's own line
// rate is not the controller's, so it stays.
void FollowUpperLink(TFormMain& form) {
    const uint8_t address = *RowPtr(3, 0);
    const uint32_t baud = CodeToBaud(*RowPtr(3, 1));
    LinkParams& link = CurrentLinkParams(ProgramSettings);
    if (HgcBox) HgcBox->Address = address;
    link.Adr = address;
    if (ProgramSettings.Conn_Prz == hgcbox::kLinkDirect && baud != 0) {
        if (HgcBox) HgcBox->Baud = baud;
        link.Rate = baud;
    }
    ShowLinkInStatusBar(&form.StatusBar1);
}

// ---- flow computers

struct OvgTableCopies {
    uint8_t rows[4][kMaxOvgCount] = {};  // tables 17..20 as they were before editing
};

// Tables 17..20, rows 0..n-1 each; the copies hold the tables after the reads.
bool ReadOvgTables(TFormMain& form, int n, OvgTableCopies& copies) {
    n = ClampOvgCount(n);
    for (int k = 0; k < 4; ++k) {
        const uint8_t t = uint8_t(17 + k);
        if (n > 0 && !Read(form, {t, 0, uint8_t(n)})) return false;
        std::memcpy(copies.rows[k], RowPtr(t, 0), kMaxOvgCount);
    }
    return true;
}

// The accepted list into the image and to the controller: table 9 (all of
// it, or only its count when the count changed), tables 17..20 against the
// copies, then the password of every row that got a new one. Stops at the
// first failure. Rows from `rowsRead` on were added in the list and never read
// from the controller: what the image holds there says nothing of what the
// controller holds, so they are written whole.
void WriteOvgList(TFormMain& form, TFormOvgList& ed, const OvgRow* rows, OvgTableCopies copies,
                  bool wholeTable9, uint8_t oldCount, int rowsRead) {
    const int n = ClampOvgCount(ed.Count);
    *RowPtr(9, 0) = uint8_t(n);
    OvgRowsToImage(rows, n);
    for (int k = 0; k < 4; ++k)
        for (int i = std::max(rowsRead, 0); i < n; ++i) copies.rows[k][i] = uint8_t(~*RowPtr(uint8_t(17 + k), uint8_t(i)));
    ui::HourGlass busy;
    if (wholeTable9) {
        if (!WriteEditedRows(form, {9, 0, 6})) return;
    } else if (n != oldCount) {
        if (!WriteTableRange({9, 0, 1}, &form.StatusBar1, true)) return;
    }
    if (n == 0) return;
    for (int k = 0; k < 4; ++k) {
        const TableRequestHeader h{uint8_t(17 + k), 0, uint8_t(n)};
        if (!WriteChangedRows(h, std::span<const uint8_t>(copies.rows[k], std::size_t(n)), &form.StatusBar1)) return;
    }
    for (int i = 0; i < n; ++i) {
        if (!ed.PasswordChanged[i]) continue;
        if (!WriteTableRange({uint8_t(kOvgPasswordTable), uint8_t(i), 1}, &form.StatusBar1, true)) return;
    }
}

// Opens the list on rows 0..n-1 of the image; true when it was accepted.
bool EditOvgList(TFormOvgList& ed, OvgRow* rows, int n) {
    OvgRowsFromImage(rows, n);
    ed.Rows = rows;
    ed.Count = uint8_t(ClampOvgCount(n));
    ed.ThreadByte = LinesInUse();
    ed.Mode = 1;
    ed.ShowModal();
    return ed.accepted != 0;
}

}  // namespace

void NConVUClick(TFormMain& form, ui::MenuItem&) {
    const TableRequestHeader h{3, 0, 4};
    if (!ReadRowsForEdit(form, h)) return;
    {
        TFormConVU ed(&form);
        ed.Block = RowPtr(3, 0);
        ed.Mode = 1;
        ed.ShowModal();
        if (!ed.accepted) return;
    }
    bool unchanged = false;
    if (!WriteEditedRows(form, h, &unchanged) || unchanged) return;
    FollowUpperLink(form);
    // Once more, now at the new address and rate: the controller confirms it
    // answers there.
    if (!WriteEditedRows(form, h)) return;
    FollowUpperLink(form);
}

void NVrgConnClick(TFormMain& form, ui::MenuItem&) {
    const TableRequestHeader h9{9, 0, 6};
    if (!ReadRowsForEdit(form, h9)) return;
    const uint8_t oldCount = form.OldRows[0];
    {
        TFormConVich ed(&form);
        ed.Block = RowPtr(9, 0);
        ed.Mode = 1;
        ed.ShowModal();
        if (!ed.accepted) return;
    }
    const uint8_t count = *RowPtr(9, 0);
    if (count <= oldCount) {
        WriteEditedRows(form, h9);
        return;
    }
    // More flow computers than the controller knows need their rows first.
    auto restoreTable9 = [&form] { std::memcpy(RowPtr(9, 0), form.OldRows, 6); };
    MessageKind = 3;
    ShowQues("Кількість обчислювачів не може бути збільшена",
             "без введення параметрів. Виконати введення параметрів зараз?");
    if (MessageAnswer != 1) return restoreTable9();
    OvgTableCopies copies;
    if (!ReadOvgTables(form, count, copies)) return restoreTable9();
    OvgRow rows[kMaxOvgCount] = {};
    TFormOvgList ed(&form);
    if (!EditOvgList(ed, rows, count)) return restoreTable9();
    WriteOvgList(form, ed, rows, copies, true, oldCount, ClampOvgCount(count));
}

void NCurrVichClick(TFormMain& form, ui::MenuItem&) {
    if (!ReadRowsForEdit(form, {9, 0, 1})) return;
    const uint8_t oldCount = form.OldRows[0];
    const int n = ClampOvgCount(oldCount);
    OvgTableCopies copies;
    if (!ReadOvgTables(form, n, copies)) return;
    OvgRow rows[kMaxOvgCount] = {};
    TFormOvgList ed(&form);
    if (!EditOvgList(ed, rows, n)) return;
    WriteOvgList(form, ed, rows, copies, false, oldCount, n);
}

void NConHGCClick(TFormMain& form, ui::MenuItem&) {
    int n = 0;
    if (ConfigImage[kOvgPresent] != 0) {
        if (!Read(form, {9, 0, 1})) return;
        n = ClampOvgCount(*RowPtr(9, 0));
        if (n > 0 && !Read(form, {18, 0, uint8_t(n)})) return;
    }
    if (!Read(form, {5, 1, 2})) return;
    EditTableRows(
        form, {14, 0, 14},
        [&] {
            TFormConHGC ed(&form);
            ed.Block = RowPtr(14, 0);
            ed.Names = RowPtr(5, 0);
            ed.OvgCount = uint8_t(n);
            ed.OvgAddresses = RowPtr(18, 0);
            ed.Mode = 1;
            ed.ShowModal();
            return ed.accepted != 0;
        },
        [&] { form.ApplyThreadNames(); });
}

void NConnWMTClick(TFormMain& form, ui::MenuItem&) {
    EditTableRows(form, {15, 0, 8}, [&] {
        TFormConWMT ed(&form);
        ed.Block = RowPtr(15, 0);
        ed.Mode = 1;
        ed.ShowModal();
        return ed.accepted != 0;
    });
}

void NLimitsClick(TFormMain& form, ui::MenuItem& item) {
    const int kind = item.Tag();
    if (kind < 0 || kind >= kLimitKindCount) return;
    const uint8_t t = uint8_t(kFirstLimitTable + kind);
    EditTableRows(form, {t, 0, 20}, [&] {
        TFormLimits ed(&form);
        ed.Block = RowPtr(t, 0);
        ed.Oxygen = OxygenFlag();
        ed.Mode = 1;
        ed.Kind = uint8_t(kind);
        ed.ShowModal();
        return ed.accepted != 0;
    });
}

void NDistrClick(TFormMain& form, ui::MenuItem&) {
    EditTableRows(form, {21, 0, 20}, [&] {
        TFormPrzDistr ed(&form);
        ed.Block = RowPtr(21, 0);
        ed.Oxygen = OxygenFlag();
        ed.Mode = 1;
        ed.ShowModal();
        return ed.accepted != 0;
    });
}

void NdistrparClick(TFormMain& form, ui::MenuItem&) {
    EditTableRows(form, {28, 0, 2}, [&] {
        TFormDistr ed(&form);
        ed.Block = RowPtr(28, 0);
        ed.Mode = 1;
        ed.ShowModal();
        return ed.accepted != 0;
    });
}

void N_ConstClick(TFormMain& form, ui::MenuItem& item) {
    const int line = item.Tag();
    if (line != 0 && line != 1) return;
    const uint8_t flagTable = uint8_t(43 + 2 * line), valueTable = uint8_t(flagTable + 1);
    if (!Read(form, {flagTable, 0, 20}) || !Read(form, {valueTable, 0, 20})) return;
    uint8_t block[kConstBlockSize], before[kConstBlockSize];
    std::memcpy(block, RowPtr(flagTable, 0), kConstValuesAt);
    std::memcpy(block + kConstValuesAt, RowPtr(valueTable, 0), kConstBlockSize - kConstValuesAt);
    std::memcpy(before, block, sizeof before);
    {
        TFormConst_Par ed(&form);
        ed.Line = uint8_t(line);
        ed.Block = block;
        ed.Oxygen = OxygenFlag();
        ed.Mode = 1;
        ed.ShowModal();
        if (!ed.accepted) return;
    }
    std::memcpy(RowPtr(flagTable, 0), block, kConstValuesAt);
    std::memcpy(RowPtr(valueTable, 0), block + kConstValuesAt, kConstBlockSize - kConstValuesAt);
    ui::HourGlass busy;
    // The values first: a flag never points at a constant the controller lacks.
    if (!WriteChangedRows({valueTable, 0, 20}, std::span<const uint8_t>(before + kConstValuesAt, 80), &form.StatusBar1))
        return;
    WriteChangedRows({flagTable, 0, 20}, std::span<const uint8_t>(before, kConstValuesAt), &form.StatusBar1);
}

int AttachEditorHandlers(TFormMain& form) {
    const struct {
        const char* item;
        TFormMain::MenuHandler handler;
    } bindings[] = {
        {"NConVU", NConVUClick},         {"NVrgConn", NVrgConnClick},   {"NConHGC", NConHGCClick},
        {"NConnWMT", NConnWMTClick},     {"NCurrVich", NCurrVichClick}, {"NInsens", NLimitsClick},
        {"NLowAttent", NLimitsClick},    {"NUpAttent", NLimitsClick},   {"NLowLimit", NLimitsClick},
        {"NUpperLimit", NLimitsClick},   {"NDistr", NDistrClick},       {"Ndistrpar", NdistrparClick},
        {"N1_Const", N_ConstClick},      {"N2_Const", N_ConstClick},
    };
    int attached = 0;
    for (const auto& b : bindings) attached += form.Attach(b.item, b.handler) ? 1 : 0;
    return attached;
}
