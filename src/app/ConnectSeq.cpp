// The connect sequence of the main window: choose and open the link, dial a
// telephone subscriber, check the controller's type and software version,
// identify the operator, show the table states, read the identification
// tables and show the menus that fit the controller.
#include <cstring>

#include "app/Main.h"
#include "app/Restore.h"
#include "app/TableInfo.h"
#include "common/LinkStatus.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "config/Conffun.h"
#include "config/Shortuspass.h"
#include "common/GasParams.h"
#include "link/Connect.h"
#include "link/Connectmodem.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"

namespace {

// A link that did not come up (the controller did not answer and the
// operator declined to ask again, or the dial was given up): said plainly,
// not left to the reduced menus.
void SayNotConnected() {
    MessageKind = 1;
    ShowQues("Зв'язок з пристроєм не встановлено", "");
}

std::string Format(const char* fmt, int v) {
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// A name written as a terminated string into its 20-byte row of table 5.
void PutName(int row, const std::string& utf8) {
    uint8_t* p = RowPtr(5, row);
    if (!p) return;
    const std::string bytes = platform::Utf8ToCp1251(utf8);
    const std::size_t n = std::min<std::size_t>(bytes.size(), kNameWidth - 1);
    std::memcpy(p, bytes.data(), n);
    p[n] = 0;
}

}  // namespace

void TFormMain::TimerStartTimer() {
    TimerStart.SetEnabled(false);
    if (!foldersNotMade_.empty()) {
        // Nothing can be saved there: say so before anything is read.
        std::string where = foldersNotMade_.front();
        if (foldersNotMade_.size() > 1) where += " (і ще " + std::to_string(foldersNotMade_.size() - 1) + ")";
        foldersNotMade_.clear();
        ShowQues(1, "Не вдалося створити папку", where);
    }
    ShowListNotes();
    {
        ui::HourGlass wait;
        Disconnect();
        ShowLinkInStatusBar(&StatusBar1);
        StatusBar1.SetPanelText(kPanelControllerName, {});
        HideMainMenu();
        ParamOrder = ParamOrderDefault;
    }
    bool accepted = false;
    {
        TFormConnect f(this);
        f.status_bar = &StatusBar1;
        f.ShowModal();
        accepted = f.accepted != 0;
    }
    if (!accepted || closePending_) {
        RefreshMenus();
        return;
    }
    SaveSettings();
    if (ConnectSteps() && !closePending_) {
        RefreshMenus();
        return;
    }
    IsConnected = 0;
    {
        ui::HourGlass wait;
        Disconnect();
    }
    RefreshMenus();
}

bool TFormMain::ConnectSteps() {
    const uint8_t kind = ProgramSettings.Conn_Prz;
    if (kind == 1) {
        AskUserIdentity();
        ModemLinked = DialSubscriber() ? 1 : 0;
        if (closePending_) return false;
        if (!ModemLinked) {
            SayNotConnected();
            return false;
        }
    }

    bool ok;
    {
        ui::HourGlass wait;
        ok = ReadTableRange({0, 0, 18}, &StatusBar1, true);
    }
    if (closePending_) return false;
    if (!ok) {
        SayNotConnected();
        return false;
    }

    const uint8_t type = ConfigImage[cfgofs::kControllerType];
    if (type != 'I') {
        MessageKind = 6;
        ShowQues(Format("Код типу підключеного контроллера  %d", type), "Програма обслуговує контролери ЗБР");
        return false;
    }
    const uint8_t version = ConfigImage[cfgofs::kSoftwareVersion];
    if (version != 11 && version != 14) {
        MessageKind = 6;
        ShowQues(Format("Версія ПЗ підключеного контролера %d", version),
                 Format("Програма обслуговує контролери ЗБР тільки з версією ПЗ %02d", kProgramVersion));
        return false;
    }

    // Address 255 (any): keep the address the controller answered from; the
    // next settings save stores it.
    LinkParams& link = CurrentLinkParams(ProgramSettings);
    if (link.Adr == 255 && HgcBox) link.Adr = HgcBox->Address;
    IsConnected = 1;
    if (kind != 1) AskUserIdentity();
    if (closePending_) return false;

    if (!(version == 11 && ConfigImage[cfgofs::kDamagedTable] == 0)) {
        if (!TableStateSteps(version)) return false;
        if (closePending_) return false;
    }
    IsConnected = ReadControllerIdentity() ? 1 : 0;
    return IsConnected != 0;
}

// The table states; true to go on with the identification tables.
bool TFormMain::TableStateSteps(uint8_t version) {
    uint8_t* states = ConfigImage.data() + cfgofs::kTableStates;
    if (version == 11) {
        bool ok;
        {
            ui::HourGlass wait;
            ok = ReadTableRange({7, 0, 47}, &StatusBar1, true);
        }
        if (!ok) return true;
    } else {
        // A version-14 controller is in its recovery state: every table is
        // taken as damaged, and its states are not asked for.
        std::memset(states, 1, kTableCount);
    }
    TableCheckBlock block = MakeTableCheckBlock(states);
    uint8_t result = 0;
    {
        TFormTableInfo f(this);
        f.Block = &block;
        f.StatusBar = &StatusBar1;
        f.ShowModal();
        result = f.Result;
    }
    switch (result) {
    case 1: {
        bool others = false;
        for (int t = 0; t < kTableCount; ++t)
            if (t != 2 && block.Marks[t]) others = true;
        if (!others) {
            if (block.Marks[2] && CanWriteTime(block)) WriteControllerTime();
            return true;
        }
        break;
    }
    case 2:
        if (version == 11) return true;
        RestoreThenDisconnect = 1;
        break;
    case 3:
        IsConnected = 0;
        return false;
    default:  // "Вихід"
        if (version == 14) {
            IsConnected = 0;
            return false;
        }
        return true;
    }
    const bool written = RestoreTablesFromConfigFile(block);
    if (RestoreThenDisconnect) {
        // The link ends here: a write that went through must not look like
        // a dropped link.
        if (written) {
            MessageKind = 5;
            ShowQues("Таблиці записано в контролер.", "Зв'язок з контролером буде завершено.");
        }
        IsConnected = 0;
        RestoreThenDisconnect = 0;
        return false;
    }
    return true;
}

bool TFormMain::ReadControllerIdentity() {
    ui::HourGlass wait;
    if (uint8_t* name = RowPtr(5, 0)) std::memset(name, ' ', kNameWidth);

    // The names arrive in Windows-1251 already: the table layer converts
    // them when the controller keeps them in code page 866.
    if (!ReadTableRange({5, 0, 3}, &StatusBar1, true)) {
        PutName(0, Format("Контролер ЗБР_%02d", kProgramVersion));
        PutName(1, "Нитка 1");
        PutName(2, "Нитка 2");
    }
    bool ok = ReadTableRange({6, 0, 12}, &StatusBar1, true);
    if (ok) ok = ReadTableRange({14, 0, 14}, &StatusBar1, true);
    if (ok && ConfigImage[cfgofs::kChromLink + 6] != 3) {
        MessageKind = 6;
        ShowQues(Format("Код підключеного хроматографа %d.", ConfigImage[cfgofs::kChromLink + 6]),
                 "Повинен бути 3 (Orvix7200)");
        ok = false;
    }
    std::memset(ConfigImage.data() + cfgofs::kChromSerial, 0, 4);
    if (ok) ReadTableRange({41, 0, 1}, &StatusBar1, true);
    if (ok && ConfigImage[cfgofs::kSystem + 8] != 0) ok = ReadTableRange({15, 6, 1}, &StatusBar1, true);
    if (!ok) {
        MessageKind = 5;
        ShowQues("Не прочитані дані, для організації", "подальшого обміну з пристроєм");
    }
    StatusBar1.SetPanelText(kPanelControllerName, ControllerName());
    return ok;
}

bool TFormMain::DialSubscriber() {
    const PhoneConnParams& fon = ProgramSettings.Fon;
    const PhoneSubscriberList& list = fon.Users;
    const std::string phone = list.user_index < list.users_num && list.user_index < MaxSubscribers
                                  ? list.users[list.user_index].Phone()
                                  : std::string();
    const ModemPanel panel = [this](const std::string& s) {
        StatusBar3.SetPanelText(0, s);
        ui::Application::ProcessMessages();
    };
    for (;;) {
        int r;
        {
            ui::HourGlass wait;
            r = DialModem(HgcBox ? HgcBox->hCom : -1, phone, fon.CommandText(), this, panel, fon.Conn_Repeat,
                          fon.ConnectWaitTime);
        }
        if (r == kModemOk) break;
        if (closePending_) {  // the window is closing: no question, no new dial
            StatusBar3.SetPanelText(0, {});
            return false;
        }
        MessageKind = 3;
        ShowQues(ModemErrorText(r), "Повторити спробу з'єднання?");
        if (MessageAnswer == 1 && !closePending_) continue;
        StatusBar3.SetPanelText(0, {});
        return false;
    }
    CallStart = platform::NowDateTime();
    pntime.SetCaption("00:00:00");
    TimerMoney.SetEnabled(true);
    ShowModemPanel();
    StatusBar3.SetPanelText(0, {});
    return true;
}

void TFormMain::ShowModemPanel() {
    // Bottom right of the window, above the three status bars.
    const int top = Panel1.Height() - StatusBar1.Height() - StatusBar2.Height() - StatusBar3.Height() -
                    pnmodem.Height() - 8;
    pnmodem.SetBounds(Panel1.Width() - pnmodem.Width() - 4, top, pnmodem.Width(), pnmodem.Height());
    pnmodem.Show();
}

void TFormMain::Disconnect() {
    if (HgcBox) {
        if (HgcBox->Sock != platform::kNoSocket || HgcBox->Reconnect) {
            // Also a TCP link the controller side already dropped: it must
            // not come back by itself.
            HgcBox->CloseSocket();
        } else if (ModemLinked) {
            HangUpModem(HgcBox->hCom, true);
            ModemLinked = 0;
        }
        if (HgcBox->hCom != platform::kNoHandle) HgcBox->ClosePort();
    }
    ModemLinked = 0;
    pnmodem.Hide();
    TimerMoney.SetEnabled(false);
    StatusBar3.Hide();
    StatusBar2.Hide();
    StatusBar1.SetPanelText(kPanelControllerName, {});
    StatusBar2.SetPanelText(0, {});
    IsConnected = 0;
}
