#include "app/Handlers.h"

#include "app/ConfigHandlers.h"
#include "app/EditorHandlers.h"
#include "app/Main.h"
#include "app/ParamHandlers.h"
#include "data/ArchOpen.h"
#include "data/MessageViewers.h"
#include "data/ValueViewers.h"
#include "reports/PrnRegister.h"
#include "reports/ExcelReports.h"
#include "reports/ExcelViewers.h"

void AttachMenuHandlers(TFormMain& form) {
    // The main window attaches its own items ("Вихід", "Зв'язок з іншим
    // пристроєм", the hang-up button, the users and the display format);
    // the archive readers, the file openers and the viewers join here.
    RegisterValueViewers();
    RegisterMessageViewers();
    RegisterPrintedReports();
    form.AttachAll(ArchiveMenuBindings());
    // The viewers' spreadsheet exports and the gas-quality certificates.
    RegisterExcelExports();
    form.AttachAll(ExcelReportMenuBindings());
    // The parameter editors of the links, flow computers, limits and constants.
    AttachEditorHandlers(form);
    // Identification, names, Ethernet, system parameters, clock, monitors, About.
    AttachParamHandlers(form);
    // The configuration files.
    AttachConfigFileHandlers(form);
}
