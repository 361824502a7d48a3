// Helpers of the spreadsheet export and certificate tests: reading saved
// workbooks back through openpyxl (an independent reader), the certificate
// templates the build made, LibreOffice for PDF conversions.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sheet/SheetTestUtil.h"

namespace xt {

// Cell values of the active sheet as JSON texts ("null" for an empty cell);
// "error" holds a failure of the reader.
inline std::map<std::string, std::string> Values(const std::string& file, const std::vector<std::string>& cells) {
    static const char* const kScript = R"PY(
import json, sys
import openpyxl
from openpyxl.utils.escape import unescape
try:
    wb = openpyxl.load_workbook(sys.argv[1])
except Exception as e:
    print("error\t" + json.dumps(repr(e)))
    sys.exit(0)
ws = wb.active
for q in sys.argv[2:]:
    v = ws[q].value
    if isinstance(v, str):
        v = unescape(v)
    print(q + "\t" + json.dumps(v, ensure_ascii=False))
)PY";
    std::vector<std::string> args{file};
    args.insert(args.end(), cells.begin(), cells.end());
    std::string out;
    std::map<std::string, std::string> result;
    if (sheettest::RunPython(kScript, args, out) != 0) {
        result["error"] = out;
        return result;
    }
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(at, end - at);
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) result[line.substr(0, tab)] = line.substr(tab + 1);
        at = end + 1;
    }
    return result;
}

// JSON text of a cell holding `text`, or null for an empty text.
inline std::string Cell(const std::string& text) { return text.empty() ? "null" : sheettest::Json(text); }

// "A1"-style name.
inline std::string Name(int row, int col) {
    std::string letters;
    for (int c = col; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

// The certificate templates made by the build.
inline std::string BuiltTemplate(const char* name) { return std::string(ZBR_BUILD_DIR) + "/src/app/" + name; }

// soffice when LibreOffice is installed, else "".
inline std::string Soffice() {
    for (const char* p : {"/usr/bin/soffice", "/usr/lib/libreoffice/program/soffice"})
        if (std::filesystem::exists(p)) return p;
    return {};
}

// Runs a shell command; its exit status, its output in `out`.
inline int Run(const std::string& cmd, std::string& out) {
    out.clear();
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = pclose(p);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

}  // namespace xt
