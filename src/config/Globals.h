// Program-wide state of the main window: the connection flags, the print
// pagination, and the one guard that keeps a second exchange from starting
// while one runs.
#pragma once
#include <cstdint>

namespace ui {
class Form;
}

// The controller software version the program serves (caption, default
// names, file names, version byte of configuration and archive files).
inline constexpr int kProgramVersion = 11;

// A controller is connected and identified.
extern uint8_t IsConnected;
// A long archive exchange is running (hold an ArchiveExchange to set it).
extern uint8_t ExchangeActive;
// The operator pressed Esc during a long exchange (or closed the window).
extern uint8_t AbortRequested;
// Inside one connect sequence: disconnect after the restore.
extern uint8_t RestoreThenDisconnect;
// Ticks per second of the high-resolution counter (platform::PerfCounter).
extern int64_t PerfFrequency;
// Printed-report pagination: rows on the first page and on further pages.
extern uint32_t RowsFirstPage;
extern uint32_t RowsNextPage;

// True while a request is on the line or a long archive exchange runs.
bool LinkBusy();

// The guard of every way into the controller. A menu item, a button or a
// timer that may start an exchange takes one first and does nothing when it
// is refused:
//
//   void LiveMonitorForm::Timer1Timer() {
//       ExchangeGuard guard(this);
//       if (!guard) return;      // another exchange runs; try at the next tick
//       ... ReadTableRange(...) ...
//   }
//
// A guard is refused while a request is on the line (LinkBusy) and while
// another guard is held by the same window or by a window below it. A modal
// window opened by the holder (an editor, a monitor, the table-state window)
// sits above it and may take its own guard for its exchanges; the holder's
// window cannot get a guard again until the holder lets go. So a handler
// reached through the message processing inside an exchange never starts
// another one. The main window's menu items, its buttons and its start timer
// are guarded by TFormMain::Guarded.
class ExchangeGuard {
public:
    // `from`: the window whose control fires (null: the main window's level).
    explicit ExchangeGuard(const ui::Form* from = nullptr);
    ~ExchangeGuard();
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

    explicit operator bool() const { return held_; }
    bool Held() const { return held_; }

    // Whether a guard asked for by `from` would be refused now.
    static bool Refused(const ui::Form* from);
    // Guards held now.
    static int Count();

private:
    bool held_ = false;
    int level_ = 0;
};

// A long archive exchange: sets ExchangeActive and clears AbortRequested for
// its life; afterwards ExchangeActive is 0 again and an abort that came too
// late for the loop is dropped (the link object's abort flag is cleared).
class ArchiveExchange {
public:
    ArchiveExchange();
    ~ArchiveExchange();
    ArchiveExchange(const ArchiveExchange&) = delete;
    ArchiveExchange& operator=(const ArchiveExchange&) = delete;
};
