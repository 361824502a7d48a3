#include "reports/PrnRegister.h"

#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Iniala.h"
#include "reports/PrnArhiv.h"
#include "reports/PrnHDM_Wmt.h"

void RegisterPrintedReports() {
    TFormArhMeas_Wmt::PrintAction = [](TFormArhMeas_Wmt& f) { PrintWmtMeasurements(f.Hdr(), f.Records); };
    TFormArhivHD_Wmt::PrintAction = [](TFormArhivHD_Wmt& f) {
        PrintWmtArchive(f.Hdr(), f.Records, f.Daily() ? kPrintWmtDay : kPrintWmtHour);
    };
    TFormAla::PrintAction = [](TFormAla& f) { PrintDiagnosticList(f.Hdr(), f.Rows()); };
}
