#include "common/LinkStatus.h"

#include <cstdio>

#include "common/ListRecords.h"
#include "common/Rd_wr_ini.h"

ui::StatusBar* MainStatusBar2 = nullptr;
ui::StatusBar* MainStatusBar3 = nullptr;

namespace {

std::string PortText(const LinkParams& p) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " COM%u,   %u біт/с", unsigned(p.COMPort), unsigned(p.Rate));
    return buf;
}

std::string AddressText(unsigned adr) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " Адр. %u", adr);
    return buf;
}

void SetPanel(ui::StatusBar* bar, int panel, std::string text) {
    if (bar) bar->SetPanelText(panel, std::move(text));
}

}  // namespace

void ShowLinkInStatusBar(ui::StatusBar* bar) {
    SetPanel(bar, 0, {});
    SetPanel(bar, 1, {});
    SetPanel(MainStatusBar2, 0, {});
    const ProgramSettingsRecord& s = ProgramSettings;
    switch (s.Conn_Prz) {
    case 0:
        SetPanel(bar, 0, PortText(s.Dir));
        SetPanel(bar, 1, AddressText(s.Dir.Adr));
        break;
    case 1: {
        const PhoneSubscriberList& l = s.Fon.Users;
        // A selection beyond the list (a hand-edited file) shows no subscriber.
        if (l.users_num == 0 || l.user_index >= l.users_num || l.user_index >= MaxSubscribers) break;
        const PhoneSubscriber& u = l.users[l.user_index];
        SetPanel(bar, 0, PortText(s.Fon.Link));
        SetPanel(bar, 1, AddressText(u.contr_adr));
        SetPanel(MainStatusBar2, 0, " " + u.Name() + " (тел. " + u.Phone() + ")");
        break;
    }
    case 2: {
        const EthernetSubscriberList& l = s.Ethr.Users;
        if (l.users_num == 0 || l.user_index >= l.users_num || l.user_index >= MaxSubscribers) break;
        const EthernetSubscriber& u = l.users[l.user_index];
        SetPanel(bar, 1, AddressText(u.contr_adr));
        SetPanel(MainStatusBar2, 0, " " + u.Name() + " (IP-адр. " + IpToText(u.ip_adr) + ")");
        break;
    }
    default: break;
    }
}
