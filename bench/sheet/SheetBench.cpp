// Time and memory of an export-sized workbook: a formatted heading (title
// row, grey caption block with borders, widths, fonts) and 10,000 rows of
// 23 text cells, written and saved as .xlsx.
//
//   bench_sheet [folder] [rows] [runs]
#include "sheet/Workbook.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTimes.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;
using Times = bench::WorkbookTimes;

bool Run(const std::string& file, int rows, Times& t) {
    const auto t0 = Clock::now();
    sheet::Workbook wb;
    if (!wb.Add()) return false;
    sheet::Worksheet ws = wb.ActiveSheet();
    const int cols = 23;
    for (int c = 1; c <= 3; ++c) ws.SetColumnWidth(c, 9);
    for (int c = 4; c <= cols; ++c) ws.SetColumnWidth(c, 10);

    sheet::Range title = ws.Range(ws.Cells(1, 1), ws.Cells(1, 22));
    title.SetBorder(sheet::Border::Top);
    title.SetBorder(sheet::Border::Bottom);
    title.SetHorizontalAlignment(sheet::HAlign::General);
    title.SetRowHeight(18);
    title.SetFontName("Times New Roman");
    title.SetFontSize(12);
    ws.Cells(1, 1).SetValue("Годинні дані хроматографа ЗБР_11 «Нитка 1»");

    sheet::Range head = ws.Range(ws.Cells(2, 1), ws.Cells(5, cols));
    head.SetInteriorColor(sheet::kHeadingGrey);
    head.SetHorizontalAlignment(sheet::HAlign::Center);
    head.SetFontName("Times New Roman");
    head.SetFontSize(10);
    ws.Range(ws.Cells(5, 1), ws.Cells(5, cols)).SetBorder(sheet::Border::Bottom);
    ws.Cells(2, 1).SetValue("                            Початок");
    ws.Cells(2, 3).SetValue("Кінець");
    ws.Range("C2:C5").SetBorder(sheet::Border::Left);
    ws.Range("C2:C5").SetBorder(sheet::Border::Right);
    ws.Cells(4, 1).SetValue("Дата");
    ws.Cells(4, 2).SetValue("Час");
    for (int c = 4; c <= cols; ++c) {
        ws.Cells(2, c).SetValue("Молярна");
        ws.Cells(3, c).SetValue("частка");
        ws.Cells(4, c).SetValue("метану");
        ws.Cells(5, c).SetValue("%");
        ws.Range(ws.Cells(2, c), ws.Cells(5, c)).SetBorder(sheet::Border::Right);
    }

    sheet::Range data = ws.Range(ws.Cells(6, 1), ws.Cells(rows + 6, cols));
    data.SetFontName("Times New Roman");
    data.SetFontSize(10);
    data.SetHorizontalAlignment(sheet::HAlign::Center);
    char buf[32];
    for (int i = 0; i < rows; ++i) {
        const int row = i + 6;
        std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", 1 + i / 24 % 28, 1 + i / 672 % 12, 24);
        ws.Cells(row, 1).SetValue(buf);
        std::snprintf(buf, sizeof buf, "%02d:00", i % 24);
        ws.Cells(row, 2).SetValue(buf);
        std::snprintf(buf, sizeof buf, "%02d:00", (i + 1) % 24);
        ws.Cells(row, 3).SetValue(buf);
        for (int c = 4; c <= cols; ++c) {
            std::snprintf(buf, sizeof buf, "%.4f", 90.0 + (i * 31 + c * 17) % 1000 / 97.0);
            ws.Cells(row, c).SetValue(buf);
        }
    }
    const auto t1 = Clock::now();
    if (!wb.SaveAs(file)) {
        std::fprintf(stderr, "save failed: %s\n", wb.LastError().c_str());
        return false;
    }
    wb.Close();
    const auto t2 = Clock::now();
    t.fill = Ms(t1 - t0);
    t.save = Ms(t2 - t1);
    t.total = Ms(t2 - t0);
    struct stat st;
    t.bytes = stat(file.c_str(), &st) == 0 ? st.st_size : -1;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int rows = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::string file = folder + "/bench_sheet.xlsx";
    std::vector<double> fill, save, total;
    long long bytes = 0;
    for (int i = 0; i < runs; ++i) {
        Times t;
        if (!Run(file, rows, t)) return 1;
        fill.push_back(t.fill);
        save.push_back(t.save);
        total.push_back(t.total);
        bytes = t.bytes;
    }
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    std::printf("rows %d x 23 text cells, %d runs, file %lld bytes\n", rows, runs, bytes);
    std::printf("fill  median %8.1f ms  min %8.1f ms\n", Median(fill), *std::min_element(fill.begin(), fill.end()));
    std::printf("save  median %8.1f ms  min %8.1f ms\n", Median(save), *std::min_element(save.begin(), save.end()));
    std::printf("total median %8.1f ms  min %8.1f ms\n", Median(total), *std::min_element(total.begin(), total.end()));
    std::printf("peak memory (ru_maxrss) %ld KiB\n", ru.ru_maxrss);
    std::remove(file.c_str());
    return 0;
}
