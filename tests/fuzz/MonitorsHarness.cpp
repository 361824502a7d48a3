// The live monitors and the information windows against any table bytes:
// the tables they show are filled from the input, and the reads of the live
// monitors are answered by a peer on the link (LinePeer.h), each window
// created headless, shown, refreshed once more where it refreshes, its
// buttons pressed where the input says so, and destroyed.
//
// Promises checked (besides no crash, no read or write past a buffer, no
// endless loop): a window changes no byte of the configuration image
// outside the tables it reads or edits; the exchange guard and the link are
// free once a window is gone.
#include <array>
#include <cstring>
#include <vector>

#include "app/TableInfo.h"
#include "common/Crc16.h"
#include "common/Question.h"
#include "common/ReportFormat.h"
#include "config/Chrom_Ser_Num.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/ContrName.h"
#include "config/Dt.h"
#include "config/FunInfo.h"
#include "config/Globals.h"
#include "config/Ident.h"
#include "config/PrzDistr.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/VichInf.h"
#include "data/Momhr.h"
#include "data/Momwmt.h"
#include "data/Prz.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/ReplyHarness.h"
#include "link/Hgcbox.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/TestDriver.h"

namespace zbr_fuzz {

namespace {

std::size_t TableBytes(int t) { return std::size_t(ConfigTableDir[t].rows) * ConfigTableDir[t].rowSize; }

// A read reply of good CRC for the read `request`, its rows from `data`
// (cut or padded with zeros to the rows asked for).
Bytes ReadReply(const Bytes& request, const Bytes& data) {
    if (request.size() < 10 || request[3] != 1 || request[5] >= kTableCount) return data;
    const std::size_t n = std::size_t(request[7]) * ConfigTableDir[request[5]].rowSize;
    if (n + 10 > 255) return data;
    Bytes f = {0x33, request[1], uint8_t(n + 10), 0x81, 0, request[5], request[6], request[7]};
    f.insert(f.end(), data.begin(), data.begin() + std::ptrdiff_t(std::min(n, data.size())));
    f.resize(n + 10, 0);
    Crc16Append(f.data(), n + 8);
    return f;
}

// Tables a window may change: those it reads from the controller or edits.
void CheckImage(const std::array<uint8_t, kConfigImageSize>& before, std::initializer_list<int> tables) {
    for (std::size_t i = 0; i < kConfigImageSize; ++i) {
        if (ConfigImage[i] == before[i]) continue;
        bool inside = false;
        for (int t : tables) {
            const std::size_t at = ConfigTableDir[t].offset;
            if (i >= at && i < at + TableBytes(t)) inside = true;
        }
        if (!inside) Fail("a window changed the image outside its tables");
    }
}

}  // namespace

void RunMonitors(Script& s) {
    ScratchDir();
    InitConfigImage();
    ReportFormat = DefaultReportFormat();

    // The tables as the input gives them.
    for (int fills = s.Choice() % 12; fills > 0 && !s.Done(); --fills) {
        const int t = kMonitorTables[s.Choice() % sizeof kMonitorTables];
        uint8_t* p = RowPtr(t, 0);
        for (std::size_t i = 0, n = TableBytes(t); i < n; ++i) p[i] = s.Choice();
    }

    ui::test::Driver drv;
    drv.onFailure = [](const std::string&) {};
    drv.onModal<TFormQues>([&](TFormQues& q) { q.Answer(s.Choice() & 1); });
    ui::Form main(nullptr, "FormMain");
    ui::StatusBar bar(&main, "StatusBar1");
    for (int i = 0; i < 3; ++i) bar.AddPanel(100);
    ui::Timer messageTimer(&main, "TimerMessage");

    hgcbox box(1);
    box.Retries = 1;
    box.ReplyTimeoutMs = 1;
    box.ByteTimeoutMs = 1;
    std::memcpy(box.WritePassword, "12345       ", sizeof box.WritePassword);
    std::memcpy(box.UserCode, "1111", sizeof box.UserCode);
    LinePeer peer(s, box, true);
    HgcBox = &box;
    // kFixRecords here: the chunk is the rows of a good read reply.
    peer.onAnswer = [](const Bytes& request, PeerReply& reply) {
        if (reply.ctl & PeerReply::kFixRecords) reply.bytes = ReadReply(request, reply.bytes);
    };
    peer.onEscape = [&](uint8_t ctl) {
        if ((ctl & PeerReply::kEscape) && box.Busy()) box.Abort = true;
    };
    drv.onProcessMessages([&] { peer.Pump(); });

    // A live monitor: one more tick, refreshing switched off and on as
    // the input says, then "Вихід".
    auto live = [&](LiveMonitorForm& f, ui::Timer& timer, ui::Button& refresh, ui::Button& exit, uint8_t how) {
        if (how & 0x10) refresh.Click();
        drv.fireTimer(timer);
        if (how & 0x20) refresh.Click();
        if (how & 0x40) f.Timer1Timer();
        exit.Click();
    };

    for (int w = 0; w < 4 && !s.Done(); ++w) {
        const uint8_t pick = s.Choice();
        const uint8_t how = s.Choice();
        std::array<uint8_t, kConfigImageSize> before = ConfigImage;
        switch (pick % 15) {
            case 0:
            case 1: {
                drv.onModal<TFormMom>([&](TFormMom& f) { live(f, f.Timer1, f.BitBtn1, f.BitBtn2, how); });
                TFormMom f(&main);
                f.Line = pick % 2;
                f.Oxygen = how & 1;
                f.StatusBar = &bar;
                f.MessageTimer = &messageTimer;
                f.ShowModal();
                CheckImage(before, {30, 32, 38, 39});
                break;
            }
            case 2: {
                drv.onModal<TFormMomWmt>([&](TFormMomWmt& f) { live(f, f.Timer1, f.BitBtn1, f.BitBtn2, how); });
                TFormMomWmt f(&main);
                f.StatusBar = &bar;
                f.MessageTimer = &messageTimer;
                f.ShowModal();
                CheckImage(before, {37});
                break;
            }
            case 3: {
                TableCheckBlock block{};
                drv.onModal<TFormVichInf>([](TFormVichInf&) {});
                drv.onModal<TFormPrz>([&](TFormPrz& f) {
                    drv.fireTimer(f.Timer1);
                    if (how & 1) f.BitBtn6.Click();
                    if (how & 2) f.BitBtn1.Click();
                    else live(f, f.Timer1, f.BitBtn10, f.BitBtn2, how);
                });
                TFormPrz f(&main);
                f.Block = &block;
                f.StatusBar = &bar;
                f.MessageTimer = &messageTimer;
                f.ShowModal();
                CheckImage(before, {7, 9, 16, 18, 33, 34, 35});
                if (f.Result != 1) break;
                drv.onModal<TFormTableInfo>([&](TFormTableInfo& t) {
                    if (how & 4) t.BitBtn1.Click();
                });
                TFormTableInfo info(&main);
                info.Block = &block;
                info.StatusBar = &bar;
                info.ShowModal();
                break;
            }
            case 4: {
                TableCheckBlock block = MakeTableCheckBlock(ConfigImage.data() + cfgofs::kTableStates);
                for (uint8_t& m : block.Marks) m = s.Choice() & 1;
                drv.onModal<TFormTableInfo>([&](TFormTableInfo& t) {
                    if (how & 1) t.BitBtn1.Click();
                    else if (how & 2) t.BitBtn2.Click();
                    else if (how & 4) t.BitBtn3.Click();
                });
                TFormTableInfo info(&main);
                info.Block = &block;
                info.StatusBar = &bar;
                info.ShowModal();
                CheckImage(before, {});
                break;
            }
            case 5:
            case 6: {
                drv.onModal<TFormIdent>([](TFormIdent&) {});
                TFormIdent f(&main);
                f.Ident = RowPtr(0, 0);
                f.FullView = pick % 2;
                f.ShowModal();
                CheckImage(before, {});
                break;
            }
            case 7: {
                drv.onModal<TFormSys>([&](TFormSys& f) {
                    if (how & 1) f.BitBtn1.Click();
                });
                TFormSys f(&main);
                f.Block = RowPtr(6, 0);
                f.Mode = (how >> 1) & 1;
                f.ShowModal();
                CheckImage(before, {6});
                break;
            }
            case 8: {
                drv.onModal<TFormDt>([&](TFormDt& f) {
                    if (how & 1) f.BitBtn3.Click();
                });
                TFormDt f(&main);
                f.PcTime = 36000 + s.Choice16() + s.Choice16() / 65536.0;
                f.ShowModal();
                CheckImage(before, {});
                break;
            }
            case 9: {
                drv.onModal<TFormContrName>([&](TFormContrName& f) {
                    if (how & 1) f.BitBtn1.Click();
                });
                TFormContrName f(&main);
                f.Block = RowPtr(5, 0);
                f.Mode = (how >> 1) & 1;
                f.ShowModal();
                CheckImage(before, {5});
                break;
            }
            case 10: {
                drv.onModal<TFormFunInfo>([](TFormFunInfo&) {});
                TFormFunInfo f(&main);
                f.ShowModal();
                CheckImage(before, {});
                break;
            }
            case 11: {
                drv.onModal<TFormChrom_Ser_Num>([](TFormChrom_Ser_Num&) {});
                TFormChrom_Ser_Num f(&main);
                std::memcpy(&f.SerialNumber, RowPtr(41, 0), 4);
                f.ShowModal();
                break;
            }
            case 12: {
                uint8_t block[TFormVichInf::kBlockBytes];
                for (uint8_t& b : block) b = s.Choice();
                drv.onModal<TFormVichInf>([](TFormVichInf&) {});
                TFormVichInf f(&main);
                f.Block = block;
                f.ShowModal();
                CheckImage(before, {});
                break;
            }
            case 13: {
                drv.onModal<TFormPrzDistr>([&](TFormPrzDistr& f) {
                    if (how & 1) f.BitBtn1.Click();
                });
                TFormPrzDistr f(&main);
                f.Block = RowPtr(21, 0);
                f.Oxygen = (how >> 2) & 1;
                f.Mode = (how >> 1) & 1;
                f.ShowModal();
                CheckImage(before, {21});
                break;
            }
            default: {
                uint8_t flags[4] = {RowPtr(6, 10)[0], RowPtr(6, 11)[0], RowPtr(14, 8)[0], RowPtr(14, 9)[0]};
                drv.onModal<TFormTime_Sinhr>([&](TFormTime_Sinhr& f) {
                    if (how & 1) f.BitBtn1.Click();
                });
                TFormTime_Sinhr f(&main);
                f.Block = flags;
                f.Mode = (how >> 1) & 1;
                f.ShowModal();
                CheckImage(before, {});
                break;
            }
        }
        Check(!box.Busy(), "the link still busy after a window");
        Check(ExchangeGuard::Count() == 0, "the exchange guard still taken after a window");
    }
    HgcBox = nullptr;
}

}  // namespace zbr_fuzz
