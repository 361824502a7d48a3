// The table layer against any reply. The configuration image changes only
// in the rows a read asked for, only to the rows of a reply frame that
// echoes that read (table 5 names taken from code page 866 where table 0
// says so), and a write of table 5 only turns its names into what comes
// back from code page 866; nothing outside the table is ever written; a
// range outside its table or too long for one request sends nothing; a
// write carries the image's rows; ReadAllTables never asks for table 13 or
// a table that is not part of the configuration.
#include <array>
#include <cstring>

#include "common/Crc16.h"
#include "common/Question.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReplyHarness.h"
#include "link/Hgcbox.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/TestDriver.h"

namespace zbr_fuzz {

namespace {

using Image = std::array<uint8_t, kConfigImageSize>;

std::size_t Offset(const TableRequestHeader& h) { return ConfigTableDir[h.table].offset + std::size_t(h.first) * ConfigTableDir[h.table].rowSize; }
std::size_t RowBytes(const TableRequestHeader& h) { return std::size_t(h.rows) * ConfigTableDir[h.table].rowSize; }

// Follows the image from request to request.
class TableWatch {
public:
    explicit TableWatch(const LinePeer& peer) : peer_(peer) { shadow_ = ConfigImage; }

    // A new operation; `roundTrip`: the rows of table 5 a write may turn
    // into their code-page round trip.
    // `scope`: the rows a write operation may write (none: no write).
    void BeginOp(int op, const TableRequestHeader* scope = nullptr, bool roundTrip = false) {
        op_ = op;
        scoped_ = scope != nullptr;
        if (scope) scope_ = *scope;
        const std::size_t roundTripFrom = roundTrip ? Offset(*scope) : 0;
        const std::size_t roundTripTo = roundTrip ? Offset(*scope) + RowBytes(*scope) : 0;
        shadow_ = opStart_ = ConfigImage;
        roundTripFrom_ = roundTripFrom;
        roundTripTo_ = roundTripTo;
        lastRead_ = false;
    }

    // At every request the peer reads (and at the end of an operation):
    // what changed since the last one is explained by the last read.
    void Checkpoint(const Bytes* request) {
        bool readChanged = false;
        for (std::size_t i = 0; i < ConfigImage.size(); ++i) {
            if (ConfigImage[i] == shadow_[i]) continue;
            if (i >= roundTripFrom_ && i < roundTripTo_ && ConfigImage[i] == RoundTrip(opStart_[i])) continue;
            if (lastRead_ && i >= Offset(last_) && i < Offset(last_) + RowBytes(last_)) {
                readChanged = true;
                continue;
            }
            Fail("the image changed outside the rows asked for");
        }
        if (readChanged) Check(ReadFrameFound(last_), "rows changed from a reply that does not echo them");
        shadow_ = ConfigImage;
        if (!request) return;
        const Bytes& r = *request;
        const uint8_t cmd = r[3];
        if (cmd == 1) {
            Check(r.size() == 10, "a read request of another length");
            last_ = {r[5], r[6], r[7]};
            Check(CheckTableRange(last_, kMaxReadRowBytes).empty(), "a read request of rows outside the table");
            if (op_ == 3) Check(IsConfigTable(last_.table) && last_.table != 13, "ReadAllTables asked for another table");
            lastRead_ = true;
        } else if (cmd == 2) {
            Check(r.size() >= 26, "a short write request");
            const TableRequestHeader h{r[21], r[22], r[23]};
            Check(CheckTableRange(h, kMaxWriteRowBytes).empty(), "a write request of rows outside the table");
            Check(r.size() == 26 + RowBytes(h), "a write request whose rows do not fit its header");
            Check(scoped_ && h.table == scope_.table && h.first >= scope_.first &&
                      h.first + h.rows <= scope_.first + scope_.rows,
                  "a write of rows the operation does not hold");
            const bool names = h.table == 5 && NamesInCp866();
            const std::size_t at = Offset(h);
            for (std::size_t i = 0; i < RowBytes(h); ++i) {
                const uint8_t want = names ? Cp1251To866Map[opStart_[at + i]] : ConfigImage[at + i];
                Check(r[24 + i] == want, "a write request that does not carry the image's rows");
            }
            lastRead_ = false;
        } else {
            Fail("the table layer sent another function");
        }
    }

    // A frame the peer sent: a read reply of good CRC from address 1 that
    // echoes h and holds exactly its rows, which (converted as the layer
    // converts them) are the image's rows now.
    bool ReadFrameFound(const TableRequestHeader& h) {
        History();
        const std::size_t n = RowBytes(h), len = 10 + n, at = Offset(h);
        const bool names = h.table == 5 && NamesInCp866();
        for (std::size_t p = 0; p + len <= history_.size(); ++p) {
            const uint8_t* f = history_.data() + p;
            if (f[0] != 0x33 || f[1] != 1 || f[2] != len || f[3] != 0x81 || f[5] != h.table || f[6] != h.first ||
                f[7] != h.rows || Crc16(f, len) != 0)
                continue;
            bool same = true;
            for (std::size_t i = 0; i < n && same; ++i) {
                const uint8_t want = names ? Cp866To1251Map[f[8 + i]] : f[8 + i];
                same = ConfigImage[at + i] == want;
            }
            if (same) return true;
        }
        return false;
    }

    // A write reply of good CRC that echoes h, from address 1 (or from the
    // new address a write of table 3 row 0 gives the controller).
    bool WriteEchoFound(const TableRequestHeader& h) {
        History();
        const bool newAddress = h.table == 3 && h.first == 0;
        for (std::size_t p = 0; p + 10 <= history_.size(); ++p) {
            const uint8_t* f = history_.data() + p;
            const std::size_t len = f[2];
            const bool from = f[1] == 1 || (newAddress && f[1] == ConfigImage[cfgofs::kUpperLink]);
            if (f[0] == 0x33 && from && len >= 10 && p + len <= history_.size() && f[3] == 0x82 &&
                f[5] == h.table && f[6] == h.first && f[7] == h.rows && Crc16(f, len) == 0)
                return true;
        }
        return false;
    }

    const Image& OpStart() const { return opStart_; }

private:
    static uint8_t RoundTrip(uint8_t c) { return Cp866To1251Map[Cp1251To866Map[c]]; }
    void History() {
        for (; chunksSeen_ < peer_.Chunks().size(); ++chunksSeen_) {
            const Bytes& c = peer_.Chunks()[chunksSeen_];
            history_.insert(history_.end(), c.begin(), c.end());
        }
    }

    const LinePeer& peer_;
    Image shadow_{}, opStart_{};
    int op_ = -1;
    bool scoped_ = false;
    TableRequestHeader scope_;
    std::size_t roundTripFrom_ = 0, roundTripTo_ = 0;
    bool lastRead_ = false;
    TableRequestHeader last_;
    Bytes history_;
    std::size_t chunksSeen_ = 0;
};

// Table, first row and row count from three choices: mostly a range within
// the table, any bytes when the top bit is set.
TableRequestHeader PickRange(Script& s) {
    TableRequestHeader h;
    h.table = uint8_t(s.Choice() % 48);
    const uint8_t fb = s.Choice(), rb = s.Choice();
    const int rows = h.table < kTableCount ? ConfigTableDir[h.table].rows : 0;
    h.first = (fb & 0x80) || rows == 0 ? fb : uint8_t(fb % rows);
    h.rows = (rb & 0x80) || rows <= h.first ? rb : uint8_t(1 + rb % (rows - h.first));
    return h;
}

}  // namespace

void RunTableReplies(Script& s) {
    ScratchDir();
    const uint8_t cfg = s.Choice();
    InitConfigImage();
    ConfigImage[cfgofs::kNamesCodePage] = cfg & 1;
    ReadAllTablesEndPauseMs = 0;

    ui::test::Driver drv;
    drv.onFailure = [](const std::string&) {};
    drv.onModal<TFormQues>([&](TFormQues& q) {
        if (q.Kind == 3 || q.Kind == 7) q.Answer(s.Choice() & 1);
    });
    ui::Form form(nullptr, "FormMain");
    ui::StatusBar bar(&form, "StatusBar1");
    for (int i = 0; i < 3; ++i) bar.AddPanel(100);
    ui::ProgressBar progress(&form, "ProgressBar1");

    hgcbox box(1);
    box.Retries = (cfg & 2) ? 2 : 1;
    box.ReplyTimeoutMs = 1;
    box.ByteTimeoutMs = 1;
    std::memcpy(box.WritePassword, "12345       ", sizeof box.WritePassword);
    std::memcpy(box.UserCode, "1111", sizeof box.UserCode);
    LinePeer peer(s, box, true);
    HgcBox = &box;
    TableWatch watch(peer);
    peer.onRequest = [&](const Bytes& r) { watch.Checkpoint(&r); };
    // The main window closing in the middle of a request.
    peer.onEscape = [&](uint8_t ctl) {
        if ((ctl & PeerReply::kEscape) && box.Busy()) box.Abort = true;
    };
    drv.onProcessMessages([&] { peer.Pump(); });

    for (int i = 0; i < 4 && !s.Done(); ++i) {
        const uint8_t opByte = s.Choice();
        const int op = (opByte & 0x07) % 5;
        const bool show = (opByte & 0x08) == 0;
        const TableRequestHeader h = PickRange(s);
        const bool sound = CheckTableRange(h, 0).empty();
        const bool names = h.table == 5 && NamesInCp866();
        const int requestsBefore = peer.Requests();

        if (op == 0) {
            watch.BeginOp(op);
            const bool ok = ReadTableRange(h, &bar, show);
            watch.Checkpoint(nullptr);
            if (!CheckTableRange(h, kMaxReadRowBytes).empty()) {
                Check(!ok && peer.Requests() == requestsBefore, "a refused read went out");
            } else if (ok) {
                Check(watch.ReadFrameFound(h), "a read succeeded without a reply that echoes it");
            }
        } else if (op == 1) {
            const bool fits = CheckTableRange(h, kMaxWriteRowBytes).empty();
            watch.BeginOp(op, &h, fits && names);
            const bool ok = WriteTableRange(h, &bar, show);
            watch.Checkpoint(nullptr);
            if (!fits) Check(!ok && peer.Requests() == requestsBefore, "a refused write went out");
            else if (ok) Check(watch.WriteEchoFound(h), "a write succeeded without a reply that echoes it");
        } else if (op == 2) {
            watch.BeginOp(op);
            const bool ok = ReadWholeTable(h.table, &bar, show);
            watch.Checkpoint(nullptr);
            if (!TableExists(h.table)) Check(!ok && peer.Requests() == requestsBefore, "a missing table was read");
            if (ok) {
                const int rows = ConfigTableDir[h.table].rows, chunk = ReadChunkRows(h.table);
                for (int first = 0; first < rows; first += chunk)
                    Check(watch.ReadFrameFound({h.table, uint8_t(first), uint8_t(std::min(chunk, rows - first))}),
                          "a whole table read without replies that echo it");
            }
        } else if (op == 3) {
            watch.BeginOp(op);
            const bool ok = ReadAllTables(&bar, &progress);
            watch.Checkpoint(nullptr);
            if (ok) {
                for (int t = 0; t < kTableCount; ++t) {
                    if (!IsConfigTable(t) || t == 13) continue;
                    const int rows = ConfigTableDir[t].rows, chunk = ReadChunkRows(t);
                    for (int first = 0; first < rows; first += chunk)
                        Check(watch.ReadFrameFound({uint8_t(t), uint8_t(first), uint8_t(std::min(chunk, rows - first))}),
                              "all tables read without replies that echo them");
                }
            }
        } else {
            // An editor's changes to the rows, then the writes of what changed.
            std::vector<uint8_t> old;
            if (sound) {
                const std::span<uint8_t> rows = RowsSpan(h.table, h.first, h.rows);
                old.assign(rows.begin(), rows.end());
                for (int e = s.Choice() % 4; e > 0; --e) {
                    const std::size_t at = s.Choice16() % rows.size();
                    rows[at] = s.Choice();
                }
            }
            watch.BeginOp(op, &h, sound && names);
            const bool changed = sound && !std::equal(old.begin(), old.end(), RowsSpan(h.table, h.first, h.rows).begin());
            WriteChangedRows(h, old, &bar);
            watch.Checkpoint(nullptr);
            if (!changed) Check(peer.Requests() == requestsBefore, "unchanged rows were written");
        }
        Check(!box.Busy(), "the link still busy after an operation");
    }
    HgcBox = nullptr;
}

}  // namespace zbr_fuzz
