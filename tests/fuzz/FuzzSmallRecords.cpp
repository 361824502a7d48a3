// rd_arh.ini (the last archive request) and rep_format.ini (the display
// format), from any bytes: dates stay sane, decimals stay usable.
#include <cmath>

#include "common/ReportFormat.h"
#include "config/ArchiveDefaults.h"
#include "fuzz/FuzzSupport.h"

using namespace zbr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const double now = 46000.5;
    const std::string rd = InputFile(data, size, "INI/rd_arh.ini");
    ArchiveRequestDefaultsRecord rec;
    LoadArchiveDefaults(rd, rec, now);
    for (double d : {rec.PeriodBegin, rec.PeriodEnd})
        Check(std::isfinite(d) && d > -1e6 && d < 3e6, "an archive request date outside any calendar");

    const std::string rf = InputFile(data, size, "INI/rep_format.ini");
    ReportFormatRecord fmt;
    LoadReportFormat(rf, fmt);
    return 0;
}
