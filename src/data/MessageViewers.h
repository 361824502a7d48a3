// Hands the diagnostic-message and intervention archives to their windows:
// registers TFormAla and TFormAud (through SetArchiveViewer, ArchView.h) for
// what the readers bring (modes 0 by index, 1 by period) and for the saved
// .ala / .aud files (mode 2). Call once at start-up.
#pragma once

void RegisterMessageViewers();
