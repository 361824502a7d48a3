#include "config/Conffun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "common/Question.h"
#include "common/Stringi.h"
#include "link/Hgcbox.h"
#include "platform/Codepage.h"
#include "platform/MessagePump.h"
#include "ui/Application.h"
#include "ui/Controls.h"

// Windows-1251 -> 866: every letter and sign that exists in both code pages
// maps to its counterpart; І/і become the Latin I/i, the bullet becomes 866's
// bullet operator, «» §¶ become the 866 control-area look-alikes, © ® ¬ and the
// soft hyphen become c r - -, everything else without a counterpart '_'.
// 866 -> Windows-1251: box-drawing lines become ¦ - +, shades and blocks '_',
// the control-area look-alikes of ¤ ¶ § and the bullet operator come back.
const std::array<uint8_t, 256> Cp1251To866Map{{
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // 0_
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,  // 1_
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 2_
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 3_
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 4_
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,  // 5_
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // 6_
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,  // 7_
    0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F,  // 8_
    0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0xF9, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F,  // 9_
    0x5F, 0xF6, 0xF7, 0x5F, 0xFD, 0x5F, 0x7C, 0x15, 0xF0, 0x63, 0xF2, 0x11, 0x2D, 0x2D, 0x72, 0xF4,  // A_
    0xF8, 0x5F, 0x49, 0x69, 0x5F, 0x5F, 0x14, 0xFA, 0xF1, 0xFC, 0xF3, 0x10, 0x5F, 0x5F, 0x5F, 0xF5,  // B_
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,  // C_
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,  // D_
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,  // E_
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,  // F_
}};

const std::array<uint8_t, 256> Cp866To1251Map{{
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xA4,  // 0_
    0x10, 0x11, 0x12, 0x13, 0xB6, 0xA7, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,  // 1_
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 2_
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 3_
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 4_
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,  // 5_
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,  // 6_
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,  // 7_
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,  // 8_
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,  // 9_
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,  // A_
    0x5F, 0x5F, 0x5F, 0xA6, 0xA6, 0xA6, 0xA6, 0x2B, 0x2B, 0xA6, 0xA6, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B,  // B_
    0x2B, 0x2D, 0x2D, 0x2B, 0x2D, 0x2B, 0xA6, 0xA6, 0x2B, 0x2B, 0x2D, 0x2D, 0xA6, 0x2D, 0x2B, 0x2D,  // C_
    0x2D, 0x2D, 0x2D, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F,  // D_
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,  // E_
    0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2, 0xB0, 0x95, 0xB7, 0x5F, 0xB9, 0xA4, 0x5F, 0x5F,  // F_
}};

void CodePage1251To866(uint8_t* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) text[i] = Cp1251To866Map[text[i]];
}

void CodePage866To1251(uint8_t* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) text[i] = Cp866To1251Map[text[i]];
}

bool NamesInCp866() {
    return ConfigImage[cfgofs::kNamesCodePage] == 0;
}

std::string CheckTableRange(const TableRequestHeader& h, std::size_t maxBytes) {
    char buf[160];
    if (!TableExists(h.table)) {
        std::snprintf(buf, sizeof buf, "Таблиця %d відсутня", h.table);
        return buf;
    }
    const TableDescriptor& d = ConfigTableDir[h.table];
    if (h.rows == 0 || int(h.first) + int(h.rows) > d.rows) {
        std::snprintf(buf, sizeof buf, "Поля %d-%d поза таблицею %d (поля 0-%d)", h.first,
                      int(h.first) + int(h.rows) - 1, h.table, d.rows - 1);
        return buf;
    }
    if (maxBytes != 0 && std::size_t(h.rows) * d.rowSize > maxBytes) {
        std::snprintf(buf, sizeof buf, "Забагато даних в одному запиті до таблиці %d (%zu байт, не більше %zu)",
                      h.table, std::size_t(h.rows) * d.rowSize, maxBytes);
        return buf;
    }
    return {};
}

namespace {

int ChunkRows(std::size_t maxBytes, int rowSize) {
    return rowSize <= 0 ? 0 : std::max(1, int(maxBytes) / rowSize);
}

// Cuts rows [first, first + rows) into write requests that fit.
void AppendChunks(std::vector<RowRange>& out, int first, int rows, int rowSize) {
    const int chunk = ChunkRows(kMaxWriteRowBytes, rowSize);
    for (int r = first; r < first + rows; r += chunk) out.push_back({r, std::min(chunk, first + rows - r)});
}

// Bytes on the wire of writing `rows` rows, cut into requests that fit.
std::size_t WriteCost(int rows, int rowSize) {
    std::vector<RowRange> parts;
    AppendChunks(parts, 0, rows, rowSize);
    std::size_t cost = 0;
    for (const RowRange& p : parts) cost += std::size_t(p.rows) * rowSize + kWriteFrameOverhead;
    return cost;
}

}  // namespace

std::vector<RowRange> PlanChangedRowWrites(const TableRequestHeader& h, std::span<const uint8_t> oldRows,
                                           std::span<const uint8_t> newRows) {
    std::vector<RowRange> plan;
    if (!CheckTableRange(h, 0).empty()) return plan;
    const int size = ConfigTableDir[h.table].rowSize;
    const std::size_t bytes = std::size_t(h.rows) * size;
    if (oldRows.size() < bytes || newRows.size() < bytes) return plan;

    std::vector<bool> changed(h.rows);
    int firstChanged = -1, lastChanged = -1;
    for (int i = 0; i < h.rows; ++i) {
        changed[i] = std::memcmp(oldRows.data() + std::size_t(i) * size, newRows.data() + std::size_t(i) * size,
                                 size) != 0;
        if (changed[i]) {
            if (firstChanged < 0) firstChanged = i;
            lastChanged = i;
        }
    }
    if (firstChanged < 0) return plan;

    std::vector<RowRange> runs;
    for (int i = firstChanged; i <= lastChanged;) {
        if (!changed[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 <= lastChanged && changed[j + 1]) ++j;
        runs.push_back({h.first + i, j - i + 1});
        i = j + 1;
    }
    const int span = lastChanged - firstChanged + 1;
    if (runs.size() > 1) {
        std::size_t runsCost = 0;
        for (const RowRange& r : runs) runsCost += WriteCost(r.rows, size);
        if (runsCost <= WriteCost(span, size)) {
            for (const RowRange& r : runs) AppendChunks(plan, r.first, r.rows, size);
            return plan;
        }
    }
    AppendChunks(plan, h.first + firstChanged, span, size);
    return plan;
}

std::string ControllerName() {
    std::string name = platform::ReadField(RowPtr(5, 0), kNameWidth, platform::CodePage::Cp1251, true);
    const std::size_t start = name.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : name.substr(start);
}

namespace {

template <class... Ints>
std::string Format(const char* fmt, Ints... v) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, int(v)...);
    return buf;
}

std::string Title(int t) {
    const char* title = texts::TableNames.At(t);
    return title ? title : "";
}

// "Табл. %d "<title>"."
std::string TableLine(int t) {
    return Format("Табл. %d \"", t) + Title(t) + "\".";
}

void SetPanel(ui::StatusBar* bar, int panel, const std::string& text) {
    if (bar) bar->SetPanelText(panel, text);
}

// Lets the status bar show its new text.
void Repaint() {
    ui::Application::ProcessMessages();
}

// Asks whether to repeat a failed request (kind 7 adds "Повторити спробу?");
// the exchange text leaves the status bar either way.
bool AskRetry(ui::StatusBar* bar, const std::string& line1, const std::string& line2) {
    MessageKind = 7;
    ShowQues(line1, line2);
    SetPanel(bar, kPanelExchangeText, "");
    return MessageAnswer == 1;
}

// A request the layer refuses before sending: told with the show flag.
bool Refuse(const std::string& why, bool show) {
    if (show) {
        MessageKind = 1;
        ShowQues(why, "");
    }
    return false;
}

std::string ProgressText(const char* many, const char* one, const TableRequestHeader& h) {
    return h.rows > 1 ? Format(many, h.table, h.first, h.first + h.rows - 1) : Format(one, h.table, h.first);
}

// The reply in the link object's receive buffer echoes the header.
bool EchoMatches(const TableRequestHeader& h) {
    const hgcbox& box = *HgcBox;
    if (box.RxLen < kReadReplyOverhead) return false;
    return box.Rx[5] == h.table && box.Rx[6] == h.first && box.Rx[7] == h.rows;
}

// A read reply echoes the header and carries exactly the rows asked for
// (status byte, header, rows).
bool ReadReplyMatches(const TableRequestHeader& h, std::size_t rowBytes) {
    return EchoMatches(h) && HgcBox->RxLen == kReadReplyOverhead + rowBytes;
}

// The request was cut short on purpose (Esc, or the main window closing):
// asking to repeat it would only hold up the way out.
bool StoppedByOperator() {
    return HgcBox->Error == hgcbox::kErrAborted;
}

// A failed exchange told with the show flag: the link's error in the status
// bar, then, unless the operator stopped the request, the retry question.
bool RetryAfterLinkError(ui::StatusBar* bar, const std::string& line1, const std::string& line2) {
    SetPanel(bar, kPanelExchangeText, HgcBox->ErrorText());
    Repaint();
    return !StoppedByOperator() && AskRetry(bar, line1, line2);
}

bool IsNameTableCp866(int t) {
    return t == 5 && NamesInCp866();
}

}  // namespace

bool ReadTableRange(const TableRequestHeader& h, ui::StatusBar* bar, bool show) {
    if (std::string why = CheckTableRange(h, kMaxReadRowBytes); !why.empty()) return Refuse(why, show);
    if (!HgcBox) return false;
    const std::size_t n = std::size_t(h.rows) * ConfigTableDir[h.table].rowSize;
    uint8_t* dest = RowPtr(h.table, h.first);
    const uint8_t request[3] = {h.table, h.first, h.rows};
    for (;;) {
        if (show) SetPanel(bar, kPanelExchangeText,
                           ProgressText("Читання з таблиці %d (поля %d-%d)", "Читання з таблиці %d (поле %d)", h));
        Repaint();
        const bool ok = HgcBox->Exchange(1, request, sizeof request, 0);
        Repaint();
        if (ok) {
            if (ReadReplyMatches(h, n)) {
                std::memcpy(dest, HgcBox->Rx + 8, n);
                if (IsNameTableCp866(h.table)) CodePage866To1251(dest, n);
                if (show) SetPanel(bar, kPanelExchangeText, "");
                return true;
            }
            // Another request's reply: ours may still be on its way, and is
            // let go by before anything else is sent.
            HgcBox->ReplyMismatch();
            if (AskRetry(bar, "Неспівпадіння запитаних і переданих даних.", TableLine(h.table))) continue;
            return false;
        }
        if (!show) return false;
        if (!RetryAfterLinkError(bar, Format("Не виконано читання з таблиці %d.", h.table), "\"" + Title(h.table) + "\""))
            return false;
    }
}

bool WriteTableRange(const TableRequestHeader& h, ui::StatusBar* bar, bool show) {
    if (std::string why = CheckTableRange(h, kMaxWriteRowBytes); !why.empty()) return Refuse(why, show);
    if (!HgcBox) return false;
    const std::size_t n = std::size_t(h.rows) * ConfigTableDir[h.table].rowSize;
    // The rows travel from a copy: names go out in the controller's code
    // page while the image keeps them in Windows-1251.
    uint8_t buffer[3 + kMaxWriteRowBytes];
    buffer[0] = h.table;
    buffer[1] = h.first;
    buffer[2] = h.rows;
    uint8_t* rows = RowPtr(h.table, h.first);
    std::memcpy(buffer + 3, rows, n);
    if (IsNameTableCp866(h.table)) {
        CodePage1251To866(buffer + 3, n);
        // The image takes the names back from the code page they go out in:
        // what the window and the status bar show afterwards is what the
        // controller holds (Ukrainian І/і come back as the Latin letters).
        std::memcpy(rows, buffer + 3, n);
        CodePage866To1251(rows, n);
    }
    for (;;) {
        SetPanel(bar, kPanelExchangeText,
                 ProgressText("Запис в таблицю %d (поля %d-%d)", "Запис в таблицю %d (поле %d)", h));
        Repaint();
        const bool ok = HgcBox->Exchange(2, buffer, uint32_t(n + 3), 0);
        Repaint();
        if (ok) {
            if (EchoMatches(h)) {
                SetPanel(bar, kPanelExchangeText, "");
                return true;
            }
            HgcBox->ReplyMismatch();
            if (AskRetry(bar, "Невідповідність заголовку відповіді заголовку запиту на запис.", TableLine(h.table)))
                continue;
            return false;
        }
        if (!show) {
            // The progress text went up without the flag; take it down.
            SetPanel(bar, kPanelExchangeText, "");
            return false;
        }
        if (!RetryAfterLinkError(bar, Format("Не виконано  запис в таблицю %d.", h.table), "\"" + Title(h.table) + "\"."))
            return false;
    }
}

bool WriteChangedRows(const TableRequestHeader& h, std::span<const uint8_t> oldRows, ui::StatusBar* bar) {
    if (std::string why = CheckTableRange(h, 0); !why.empty()) return Refuse(why, true);
    const std::span<const uint8_t> now = RowsSpan(h.table, h.first, h.rows);
    if (oldRows.size() != now.size()) return Refuse(Format("Невірна копія полів таблиці %d", h.table), true);
    bool result = true;
    for (const RowRange& r : PlanChangedRowWrites(h, oldRows, now)) {
        result = WriteTableRange({h.table, uint8_t(r.first), uint8_t(r.rows)}, bar, true);
        if (!result) break;
    }
    return result;
}

int ReadChunkRows(int t) {
    return TableExists(t) ? ChunkRows(kMaxReadRowBytes, ConfigTableDir[t].rowSize) : 0;
}

int WriteChunkRows(int t) {
    return TableExists(t) ? ChunkRows(kMaxWriteRowBytes, ConfigTableDir[t].rowSize) : 0;
}

bool ReadWholeTable(int t, ui::StatusBar* bar, bool show) {
    if (!TableExists(t)) return Refuse(Format("Таблиця %d відсутня", t), show);
    const int rows = ConfigTableDir[t].rows, chunk = ReadChunkRows(t);
    for (int first = 0; first < rows; first += chunk) {
        const TableRequestHeader h{uint8_t(t), uint8_t(first), uint8_t(std::min(chunk, rows - first))};
        if (!ReadTableRange(h, bar, show)) return false;
    }
    return true;
}

int ReadAllTablesEndPauseMs = 500;

bool ReadAllTables(ui::StatusBar* bar, ui::ProgressBar* progress) {
    if (progress) {
        progress->SetRange(0, kConfigTableCount + 1);
        progress->SetPosition(0);
    }
    for (int t = 0; t < kTableCount; ++t) {
        if (!IsConfigTable(t) || t == 13) continue;
        if (!ReadWholeTable(t, bar, true)) return false;
        if (progress) progress->StepBy(1);
        Repaint();
        if (t == 5) SetPanel(bar, kPanelControllerName, ControllerName());
    }
    if (progress) progress->SetPosition(progress->Max());
    Repaint();
    // Let the full bar be seen for a moment.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ReadAllTablesEndPauseMs);
    while (std::chrono::steady_clock::now() < until) platform::IdleSlice(10);
    return true;
}
