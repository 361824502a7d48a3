// What the live monitors (the chromatograph's and the moisture meter's
// latest values, the controller's current state) have in common: a timer
// that refreshes the window from the controller, the button that switches
// refreshing off and on ("Не оновлювати дані" / "Оновлювати дані"), and the
// line under the values that says when a refresh failed.
//
// A tick stops the timer, takes the exchange guard (refused: the timer is
// restarted and the next tick tries again), lets the window read and show
// its tables (ReadAndShow, each read through ReadRows), then clears the
// failure line, or, unless the window is closing, says "Дані не оновлено:
// <error>" there and puts the error in the status bar's exchange panel. The
// error is that of the read that failed (the last one, when more did), not
// of the link's last exchange: a later read of the same tick that went well
// does not turn it into "Команда виконана". It restarts the main window's
// message timer (which clears the exchange text) and, while refreshing is
// on and the window is not closing, its own timer: the timer stands while a
// tick runs, and a tick reached again meanwhile does nothing.
//
// Closing stops the timer. A request already on the line is left to end
// (cutting it short would leave its reply to meet the next request); the
// tick then unwinds without starting another.
//
// The window keeps its own controls under their own names and hands the
// timer, the refresh button and the failure line over in its constructor:
//
//   class TFormXxx : public LiveMonitorForm {
//       ...
//       ui::Label lbState{this, "lbState"};
//       ui::Button BitBtn1{this, "BitBtn1"};
//       ui::Timer Timer1{this, "Timer1"};
//       bool ReadAndShow() override;          // the requests of one tick
//   };
//   TFormXxx::TFormXxx(ui::Component* owner) : LiveMonitorForm(owner, "FormXxx") {
//       ...
//       AttachRefresh(Timer1, BitBtn1, lbState, kTickMs, BeforeTick::Nothing);
//   }
//   TFormXxx::~TFormXxx() { Timer1.SetEnabled(false); }
//   void TFormXxx::FormShow() { ...; RefreshAtOnce(); }
#pragma once
#include <string>

#include "config/Conffun.h"
#include "ui/Ui.h"

class LiveMonitorForm : public ui::Form {
public:
    // Set by the caller: the main window's status bar (the exchange text)
    // and its message timer.
    ui::StatusBar* StatusBar = nullptr;
    ui::Timer* MessageTimer = nullptr;

    bool Refreshing() const { return refresh_; }
    // One tick (the timer's handler).
    void Timer1Timer();

protected:
    // What a tick does before it looks whether it may run: nothing, or let
    // the messages that wait (a click on "Вихід") come first.
    enum class BeforeTick { Nothing, ProcessMessages };

    LiveMonitorForm(ui::Component* owner, std::string name);

    // Ties the window's timer, refresh button and failure line to the
    // mechanism: the timer stopped at `tickMs`, the button's caption and
    // click, the line's red font. Called once, in the constructor.
    void AttachRefresh(ui::Timer& timer, ui::Button& refreshButton, ui::Label& state, int tickMs,
                       BeforeTick before);

    // The requests of one tick and the showing of what they brought; false
    // when a read failed (what was shown stays). Runs under the exchange
    // guard with the timer stopped.
    virtual bool ReadAndShow() = 0;
    // One read of a tick: rows into the configuration image, no question on
    // failure; a failure's text is kept for the failure line.
    bool ReadRows(const TableRequestHeader& h);

    // At show: the failure line cleared, refreshing on, the first tick now.
    void RefreshAtOnce();
    // At show: refreshing on, the first tick with the timer.
    void RefreshByTimer();

    // The window has a modal result or is hidden.
    bool Closing() const;
    // The timer off (closing: see above).
    void StopExchange();
    // The timer on again while refreshing is on and the window stays.
    void RestartTimer();
    // After the exchanges of a tick or a button: the main window's message
    // timer starts anew.
    void RestartMessageTimer();
    // A tick or one of the window's own exchanges runs.
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }

private:
    void RefreshButtonClick();
    void ShowFailure();

    ui::Timer* timer_ = nullptr;
    ui::Button* refreshButton_ = nullptr;
    ui::Label* state_ = nullptr;
    std::string failure_;  // the error of the tick's failed read
    BeforeTick before_ = BeforeTick::Nothing;
    bool refresh_ = true;
    bool busy_ = false;
};
