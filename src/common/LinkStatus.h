// The current link as the main window's status bars show it.
//
//   ShowLinkInStatusBar(&StatusBar1);
//
// Panel 0 of the given bar: port and rate (direct and telephone links);
// panel 1: the controller address; panel 0 of MainStatusBar2: the
// subscriber of a telephone or Ethernet link.
#pragma once
#include "ui/Ui.h"

// The panels of the main window's StatusBar1.
inline constexpr int kPanelLink = 0;            // port and rate (panel 1 holds the address)
inline constexpr int kPanelControllerName = 1;  // controller name (table 5 row 0)
inline constexpr int kPanelExchangeText = 2;    // progress and result of an exchange
inline constexpr int kPanelExchange = 3;        // "Обмін..." while a request is on the line

// The main window's second and third status bars (subscriber of the link,
// modem progress). The main window points them at its StatusBar2 and
// StatusBar3 when it is created; both stay null until then, and every user
// here checks for that.
extern ui::StatusBar* MainStatusBar2;
extern ui::StatusBar* MainStatusBar3;

// Writes the current link (ProgramSettings.Conn_Prz) into `bar` (may be
// null) and into MainStatusBar2.
void ShowLinkInStatusBar(ui::StatusBar* bar);
