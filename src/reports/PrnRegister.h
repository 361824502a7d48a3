// Attaches the printed reports to the viewers' "Друк" buttons: the
// moisture meter's measured-value viewer, its hourly / daily viewer and the
// diagnostic-message list. Call once at start-up.
#pragma once

void RegisterPrintedReports();
