// Attaches the printed reports to the viewers' "Друк" buttons: the
// moisture meter's measured-value viewer and its hourly / daily viewer.
// Call once at start-up. (The diagnostic-message list prints through
// PrintDiagnosticList, PrnArhiv.h.)
#pragma once

void RegisterPrintedReports();
