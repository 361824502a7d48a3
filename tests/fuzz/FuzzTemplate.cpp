// Spreadsheet templates, from any bytes: a damaged workbook is refused with a
// reason, an accepted one can be filled and saved, and a failed save leaves
// no file behind.
#include <filesystem>

#include "fuzz/FuzzSupport.h"
#include "sheet/Workbook.h"

using namespace zbr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputFile(data, size, "template.xlsx");
    const std::string out = ScratchDir() + "/report.xlsx";
    std::error_code ec;
    std::filesystem::remove(out, ec);
    sheet::Workbook wb;
    if (!wb.Open(path)) {
        Check(!wb.LastError().empty(), "a refused template without a reason");
        return 0;
    }
    sheet::Worksheet ws = wb.ActiveSheet();
    ws.Cells(2, 28).SetValue("Серійний номер хроматографа 4021;  Нитка 1");
    ws.Cells(10, 1).SetValue("01.03.24  10:00");
    ws.Cells(34, 11).SetValue("34,10");   // a number: the template's number formats extended
    const bool saved = wb.SaveAs(out);
    Check(saved || !wb.LastError().empty(), "a failed save without a reason");
    Check(saved == std::filesystem::exists(out), "a save that says otherwise than the file");
    wb.Close();
    return 0;
}
