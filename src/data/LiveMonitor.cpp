#include "data/LiveMonitor.h"

#include "config/Globals.h"
#include "link/Hgcbox.h"

namespace {

constexpr char kRefreshOn[] = "Не оновлювати дані";
constexpr char kRefreshOff[] = "Оновлювати дані";

}  // namespace

LiveMonitorForm::LiveMonitorForm(ui::Component* owner, std::string name) : ui::Form(owner, std::move(name)) {
    OnCloseQuery = [this](bool&) { StopExchange(); };
    OnClose = [this](ui::CloseAction&) { StopExchange(); };
}

void LiveMonitorForm::AttachRefresh(ui::Timer& timer, ui::Button& refreshButton, ui::Label& state, int tickMs,
                                    BeforeTick before) {
    timer_ = &timer;
    refreshButton_ = &refreshButton;
    state_ = &state;
    before_ = before;
    state.SetFontColor(ui::clRed);
    refreshButton.SetCaption(kRefreshOn);
    timer.SetEnabled(false);
    timer.SetInterval(tickMs);
    timer.OnTimer = [this] { Timer1Timer(); };
    refreshButton.OnClick = [this] { RefreshButtonClick(); };
}

void LiveMonitorForm::RefreshAtOnce() {
    state_->SetCaption({});
    refresh_ = true;
    refreshButton_->SetCaption(kRefreshOn);
    Timer1Timer();
}

void LiveMonitorForm::RefreshByTimer() {
    refresh_ = true;
    refreshButton_->SetCaption(kRefreshOn);
    timer_->SetEnabled(true);
}

bool LiveMonitorForm::Closing() const { return ModalResult() != ui::mrNone || !Visible(); }

void LiveMonitorForm::StopExchange() {
    if (timer_) timer_->SetEnabled(false);
}

void LiveMonitorForm::RestartTimer() { timer_->SetEnabled(refresh_ && !Closing()); }

void LiveMonitorForm::RestartMessageTimer() {
    if (MessageTimer) {
        MessageTimer->SetEnabled(false);
        MessageTimer->SetEnabled(true);
    }
}

bool LiveMonitorForm::ReadRows(const TableRequestHeader& h) {
    if (ReadTableRange(h, StatusBar, false)) return true;
    failure_ = HgcBox ? HgcBox->ErrorText() : std::string();
    return false;
}

void LiveMonitorForm::ShowFailure() {
    const std::string why = !failure_.empty() ? failure_ : HgcBox ? HgcBox->ErrorText() : std::string();
    state_->SetCaption("Дані не оновлено: " + why);
    if (StatusBar) StatusBar->SetPanelText(kPanelExchangeText, why);
}

void LiveMonitorForm::Timer1Timer() {
    timer_->SetEnabled(false);
    if (busy_) return;
    if (before_ == BeforeTick::ProcessMessages) ui::Application::ProcessMessages();
    if (!refresh_ || Closing()) return;
    ExchangeGuard guard(this);
    if (!guard) {  // another exchange runs: the next tick tries again
        RestartTimer();
        return;
    }
    busy_ = true;
    failure_.clear();
    const bool ok = ReadAndShow();
    busy_ = false;
    if (ok) state_->SetCaption({});
    else if (!Closing()) ShowFailure();
    RestartMessageTimer();
    RestartTimer();
}

void LiveMonitorForm::RefreshButtonClick() {
    if (refresh_) {
        timer_->SetEnabled(false);
        refreshButton_->SetCaption(kRefreshOff);
        refresh_ = false;
    } else {
        refreshButton_->SetCaption(kRefreshOn);
        refresh_ = true;
        if (!busy_) timer_->SetEnabled(true);
    }
}
