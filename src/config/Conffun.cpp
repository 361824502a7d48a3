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
