#include "data/MessageViewers.h"

#include "data/ArchView.h"
#include "data/Iniala.h"
#include "data/Iniaud.h"

void RegisterMessageViewers() {
    SetArchiveViewer(ArchiveKind::Diagnostic, [](ArchiveView& v) { ShowDiagnosticView(v); });
    SetArchiveViewer(ArchiveKind::Intervention, [](ArchiveView& v) { ShowInterventionView(v); });
}
