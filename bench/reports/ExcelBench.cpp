// Time and memory of the hourly viewer's spreadsheet export: 10,000 hourly
// chromatograph records turned into the viewer's texts, laid out on the
// export's sheet (title, grey headings with the 20 parameter captions,
// widths, frames, fonts) and saved as .xlsx, as the "Зберегти у форматі
// Excel" button does once the file name is chosen.
//
//   bench_excel [folder] [records] [runs]
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTimes.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "common/Suplfunc.h"
#include "data/ArchiveRecords.h"
#include "reports/ExcelExport.h"
#include "platform/Codepage.h"
#include "reports/ExcelViewers.h"
#include "sheet/Workbook.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;
using Times = bench::WorkbookTimes;

// A year-like run of hourly records with values that change from hour to
// hour; one in 500 without a chromatograph link, one in 1,000 with a broken
// CRC.
std::vector<HdmArchiveRecord> Records(int n) {
    std::vector<HdmArchiveRecord> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        HdmArchiveRecord& r = out[std::size_t(i)];
        r.year = 23;
        r.month = uint8_t(1 + i / 720 % 12);
        r.day = uint8_t(1 + i / 24 % 28);
        r.startHour = r.endHour = uint8_t(i % 24);
        r.endMinute = r.endSecond = 59;
        r.status = i % 500 == 7 ? 0x20 : 0;
        r.SetCount(uint16_t(20));
        for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, 0.5f + float(k) + float(i % 97) * 0.0137f);
        r.SetValue(kParamMethane, 92.0f + float(i % 113) * 0.0071f);
        SealRecord(r);
        if (i % 1000 == 500) r.crc[0] ^= 0x5A;
    }
    return out;
}

bool Run(const std::string& file, const std::vector<HdmArchiveRecord>& recs, Times& t) {
    const auto t0 = Clock::now();
    ExcelSheetContent c;
    c.member = ExcelMember::ChromHourDay;
    c.caption = "Годинні дані хроматографа (сер. № 7200123; нитка \"Нитка 1\") за період  з  01.01.23  00ч  по  "
                "17.02.24  15ч";
    c.rows = int(recs.size());
    c.row = [&recs](int i, std::vector<std::string>& cells) {
        std::vector<std::string> row = ExcelHdmRow(recs[std::size_t(i)], false, false);
        for (std::size_t k = 0; k < cells.size() && k < row.size(); ++k) cells[k] = platform::TrimBlanks(row[k]);
    };
    sheet::Workbook wb;
    if (!wb.Add()) return false;
    sheet::Worksheet ws = wb.ActiveSheet();
    int steps = 0;
    if (!FillExcelSheet(ws, c, [&steps] { ++steps; })) {
        std::fprintf(stderr, "fill: %s\n", wb.LastError().c_str());
        return false;
    }
    const auto t1 = Clock::now();
    if (!wb.SaveAs(file)) {
        std::fprintf(stderr, "save: %s\n", wb.LastError().c_str());
        return false;
    }
    wb.Close();
    const auto t2 = Clock::now();
    t.fill = Ms(t1 - t0);
    t.save = Ms(t2 - t1);
    t.total = Ms(t2 - t0);
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) t.bytes = st.st_size;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int n = argc > 2 ? std::max(0, std::atoi(argv[2])) : 10000;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    SetDecimalSeparator(',');
    ParamOrder = ParamOrderDefault;
    const std::vector<HdmArchiveRecord> recs = Records(n);
    const std::string file = folder + "/bench_excel.xlsx";
    std::vector<double> fill, save, total;
    Times t;
    for (int i = 0; i < runs; ++i) {
        if (!Run(file, recs, t)) return 1;
        fill.push_back(t.fill);
        save.push_back(t.save);
        total.push_back(t.total);
    }
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("records %d, runs %d\n", n, runs);
    std::printf("texts + fill  median %.1f ms  min %.1f ms\n", Median(fill), *std::min_element(fill.begin(), fill.end()));
    std::printf("save          median %.1f ms  min %.1f ms\n", Median(save), *std::min_element(save.begin(), save.end()));
    std::printf("total         median %.1f ms  min %.1f ms\n", Median(total),
                *std::min_element(total.begin(), total.end()));
    std::printf("file %.2f MB, peak memory %.1f MB\n", double(t.bytes) / 1e6, double(ru.ru_maxrss) / 1024.0);
    std::remove(file.c_str());
    return 0;
}
