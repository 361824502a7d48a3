// Hands the value archives to their viewers: registers, for the eight value
// archive kinds, the viewer that the readers and the "view from file"
// openers show (through SetArchiveViewer, ArchView.h).
//
//   chromatograph measured values    TFormArhMeas_Chr
//   chromatograph hourly / daily     TFormArhivHDM_Chr, mode 0 / 1
//   calibration / verification       TFormArhiv_Clb / TFormArhiv_Verif
//   moisture-meter measured values   TFormArhMeas_Wmt
//   moisture-meter hourly / daily    TFormArhivHD_Wmt, mode 6 / 7
//
// Call once at start-up (before any archive is read or opened).
#pragma once

#include "data/ArchView.h"

void RegisterValueViewers();

// Shows one view in the viewer of its kind (what the registered functions
// do). False for a kind that is not a value archive.
bool ShowValueViewer(ArchiveView& view);
