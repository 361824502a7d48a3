// The link object against the controller emulator: how long a request takes
// and how much processor time the link spends, above all while it waits.
//
// CPU time is the benchmark thread's own (the link's); the emulator runs in
// threads of its own and is not counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "emulator/Emulator.h"
#include "link/DripPeer.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "platform/Tcp.h"

namespace {

bool Connect(hgcbox& box, int port) {
    sockaddr_in sa{};
    if (!platform::SetTcpAddress("127.0.0.1", std::to_string(port).c_str(), sa, "TCP")) return false;
    box.Sock = platform::TcpSocket();
    return platform::TcpConnect(box.Sock, sa, 2000) == 0;
}

// Opens the box's line for the benchmarks of a line that fails: reply wait
// 300 ms, byte wait 40 ms, `retries` attempts, `pauseMs` before a TCP send,
// the line kept open. Over loopback TCP to the port `startTcp()` serves on,
// or over the pseudo-terminal COM5 that `startPty()` opens, at 115200 bit/s
// (direct link). False, the benchmark skipped, when it does not open.
template <class StartTcp, class StartPty>
bool OpenFailingLine(benchmark::State& state, hgcbox& box, bool tcp, uint32_t pauseMs, uint8_t retries,
                     const std::string& peer, StartTcp&& startTcp, StartPty&& startPty) {
    box.OpenPerExchange = false;
    box.TcpSendDelayMs = pauseMs;
    box.ReplyTimeoutMs = 300;
    box.ByteTimeoutMs = 40;
    box.Retries = retries;
    if (tcp) {
        box.LinkType = hgcbox::kLinkTcp;
        if (!Connect(box, startTcp())) {
            state.SkipWithError(("no TCP connection to the " + peer).c_str());
            return false;
        }
        return true;
    }
    startPty();
    box.ComPort = 5;
    box.Baud = 115200;
    if (!box.OpenPort()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return false;
    }
    return true;
}

const uint8_t kTable0Row0[3] = {0, 0, 1};
const uint8_t kTable4All[3] = {4, 0, 11};

// One table read per iteration over loopback TCP without the pre-send pause.
void BM_TableReadTcp(benchmark::State& state, const uint8_t* request) {
    emu::Emulator emu;
    const int port = emu.StartTcp();
    hgcbox box(1);
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    box.TcpSendDelayMs = 0;
    box.Retries = 1;
    if (!Connect(box, port)) {
        state.SkipWithError("no TCP connection to the emulator");
        return;
    }
    for (auto _ : state) {
        if (!box.Exchange(1, request, 3)) {
            state.SkipWithError(box.ErrorText().c_str());
            break;
        }
        benchmark::DoNotOptimize(box.Rx[8]);
    }
    state.counters["reply_bytes"] = box.RxLen;
}
BENCHMARK_CAPTURE(BM_TableReadTcp, table0_row0, kTable0Row0)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TableReadTcp, table4_11rows, kTable4All)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// The same over a pseudo-terminal linked as WorkDir/dev/com5 (direct link,
// RTS timing at 115200 bit/s).
void BM_TableReadPty(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "zbr-link-bench";
    std::filesystem::create_directories(dir);
    platform::SetWorkDir(dir.string());
    emu::Emulator emu;
    emu.StartPty((dir / "dev" / "com5").string());
    hgcbox box(1);
    box.ComPort = 5;
    box.Baud = 115200;
    box.OpenPerExchange = false;
    box.Retries = 1;
    if (!box.OpenPort()) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    for (auto _ : state) {
        if (!box.Exchange(1, kTable0Row0, 3)) {
            state.SkipWithError(box.ErrorText().c_str());
            break;
        }
    }
    box.ClosePort();
    emu.Stop();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TableReadPty)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// A reply that comes 2 s late: the CPU time spent in that wait.
void BM_LateReplyTcp(benchmark::State& state) {
    emu::Emulator emu;
    const int port = emu.StartTcp();
    hgcbox box(1);
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    box.TcpSendDelayMs = 0;
    box.ReplyTimeoutMs = 3000;
    box.Retries = 1;
    if (!Connect(box, port)) {
        state.SkipWithError("no TCP connection to the emulator");
        return;
    }
    for (auto _ : state) {
        emu.QueueFault({emu::FaultKind::ReplyDelay, 2000});
        if (!box.Exchange(1, kTable0Row0, 3)) {
            state.SkipWithError(box.ErrorText().c_str());
            break;
        }
    }
}
BENCHMARK(BM_LateReplyTcp)->Iterations(3)->Unit(benchmark::kMillisecond);

// One read with the link's normal 500 ms pause before a TCP send.
void BM_SendPauseTcp(benchmark::State& state) {
    emu::Emulator emu;
    const int port = emu.StartTcp();
    hgcbox box(1);
    box.LinkType = hgcbox::kLinkTcp;
    box.OpenPerExchange = false;
    box.Retries = 1;
    if (!Connect(box, port)) {
        state.SkipWithError("no TCP connection to the emulator");
        return;
    }
    for (auto _ : state) {
        if (!box.Exchange(1, kTable0Row0, 3)) {
            state.SkipWithError(box.ErrorText().c_str());
            break;
        }
    }
}
BENCHMARK(BM_SendPauseTcp)->Iterations(3)->Unit(benchmark::kMillisecond);

// What a reply that missed its wait costs the request after it. Each
// iteration times the reads that follow one that failed (reply wait 300 ms,
// byte wait 40 ms, one attempt): with `late` the reply comes 100 ms after
// the wait gave up, without it none comes at all. The failed read itself is
// not timed. Over a pseudo-terminal at 115200 bit/s (direct link) or over
// loopback TCP without the pause before a send.
void BM_ReadAfterFailure(benchmark::State& state, bool tcp, bool late) {
    const auto dir = std::filesystem::temp_directory_path() / "zbr-link-bench-late";
    std::filesystem::create_directories(dir);
    platform::SetWorkDir(dir.string());
    emu::Emulator emu;
    hgcbox box(1);
    if (!OpenFailingLine(
            state, box, tcp, 0, 1, "emulator", [&] { return emu.StartTcp(); },
            [&] { emu.StartPty((dir / "dev" / "com5").string()); }))
        return;
    const uint8_t other[3] = {5, 0, 1};
    uint64_t settles = 0, dropped = 0;
    for (auto _ : state) {
        state.PauseTiming();
        emu.QueueFault(late ? emu::Fault{emu::FaultKind::ReplyDelay, 400} : emu::Fault{emu::FaultKind::Silence, 0});
        const hgcbox::LineCounters before = box.Counters;
        if (box.Exchange(1, kTable0Row0, 3)) {
            state.SkipWithError("the spoilt read went through");
            break;
        }
        state.ResumeTiming();
        // Two reads: the first lets the line settle; after silence the
        // second does as well (the first one's reply may have been the
        // silent request's).
        for (int i = 0; i < 2; ++i)
            if (!box.Exchange(1, other, 3) || box.Rx[5] != 5) {
                state.SkipWithError("the next read is not right");
                break;
            }
        settles += box.Counters.settles - before.settles;
        dropped += box.Counters.droppedBytes - before.droppedBytes;
    }
    state.counters["waits_per_failure"] = double(settles) / double(state.iterations());
    state.counters["bytes_dropped"] = double(dropped) / double(state.iterations());
    box.ClosePort();
    box.CloseSocket();
    emu.Stop();
    std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_ReadAfterFailure, pty_late, false, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAfterFailure, pty_silent, false, false)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAfterFailure, tcp_late, true, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAfterFailure, tcp_silent, true, false)->Iterations(5)->Unit(benchmark::kMillisecond);

// A line that never goes quiet: a peer that sends a noise byte every 50 ms
// and no reply (reply wait 300 ms, byte wait 40 ms, two attempts: 600 ms
// prescribed). `failed`: each iteration times one failed exchange after a
// failed one; otherwise the read that follows one, the peer answering. Over
// a pseudo-terminal at 115200 bit/s (direct link) or over loopback TCP with
// the given pause before a send.
void BM_NeverQuietLine(benchmark::State& state, bool tcp, uint32_t pauseMs, bool failed) {
    const auto dir = std::filesystem::temp_directory_path() / "zbr-link-bench-noisy";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    platform::SetWorkDir(dir.string());
    linktest::DripPeer peer;
    hgcbox box(1);
    if (!OpenFailingLine(
            state, box, tcp, pauseMs, 2, "peer", [&] { return peer.StartTcp(); },
            [&] { peer.StartPty(dir / "dev" / "com5"); }))
        return;
    const uint8_t other[3] = {5, 0, 1};
    for (auto _ : state) {
        state.PauseTiming();
        peer.answer = false;
        box.Exchange(1, other, 3);  // leaves the line unsettled
        peer.answer = !failed;
        state.ResumeTiming();
        if (box.Exchange(1, other, 3) == failed) {
            state.SkipWithError(failed ? "the peer answered" : box.ErrorText().c_str());
            break;
        }
    }
    box.ClosePort();
    box.CloseSocket();
    std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_NeverQuietLine, pty_failed, false, 0u, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NeverQuietLine, pty_next, false, 0u, false)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NeverQuietLine, tcp_failed, true, 0u, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NeverQuietLine, tcp_next, true, 0u, false)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NeverQuietLine, tcp_pause_failed, true, 500u, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NeverQuietLine, tcp_pause_next, true, 500u, false)->Iterations(5)->Unit(benchmark::kMillisecond);

// A line that keeps dripping frames that look like a reply: from the first
// request on, the peer sends 255-byte frames with the start byte, the
// address asked and a length, one byte every 100 ms (25.5 s a frame), their
// CRC never right (reply wait 300 ms, byte wait 50 ms, one attempt). The
// first read gets nothing else; for the read after it the peer answers at
// once as well. Each iteration times both reads from the first one's start.
void BM_DrippingFrames(benchmark::State& state, bool tcp) {
    const auto dir = std::filesystem::temp_directory_path() / "zbr-link-bench-frames";
    const uint8_t other[3] = {5, 0, 1};
    double first = 0, later = 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        platform::SetWorkDir(dir.string());
        linktest::DripPeer peer;
        peer.dripMs = 100;
        peer.frames = true;
        peer.answer = false;
        hgcbox box(1);
        if (!OpenFailingLine(
                state, box, tcp, 0, 1, "peer", [&] { return peer.StartTcp(); },
                [&] { peer.StartPty(dir / "dev" / "com5"); }))
            return;
        box.ByteTimeoutMs = 50;
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        box.Exchange(1, other, 3);
        const auto t1 = std::chrono::steady_clock::now();
        peer.answer = true;
        const bool ok = box.Exchange(1, other, 3);
        const auto t2 = std::chrono::steady_clock::now();
        state.PauseTiming();
        first += std::chrono::duration<double>(t1 - t0).count();
        later += std::chrono::duration<double>(t2 - t0).count();
        ++n;
        const std::string text = box.ErrorText();
        box.ClosePort();
        box.CloseSocket();
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError(("the later read failed: " + text).c_str());
            break;
        }
    }
    if (n > 0) {
        state.counters["first_read_s"] = first / n;
        state.counters["later_read_done_s"] = later / n;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_DrippingFrames, pty, false)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrippingFrames, tcp, true)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
