#include "reports/PrnRegister.h"

#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHD_Wmt.h"
#include "reports/PrnHDM_Wmt.h"

void RegisterPrintedReports() {
    TFormArhMeas_Wmt::PrintAction = [](TFormArhMeas_Wmt& f) { PrintWmtMeasurements(f.Hdr(), f.Records); };
    TFormArhivHD_Wmt::PrintAction = [](TFormArhivHD_Wmt& f) {
        PrintWmtArchive(f.Hdr(), f.Records, f.Daily() ? kPrintWmtDay : kPrintWmtHour);
    };
}
