// Helpers of the spreadsheet export and certificate tests: reading saved
// workbooks back through openpyxl (an independent reader), the certificate
// templates the build made, LibreOffice for PDF conversions.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "sheet/SheetTestUtil.h"

namespace xt {

// Cell values of the active sheet: texts as JSON texts ("null" for an empty
// cell), numbers as "#<number format> <the number as that format shows it,
// with a decimal comma>" ("#0.000 9,250"); "error" holds a failure of the
// reader.
inline std::map<std::string, std::string> Values(const std::string& file, const std::vector<std::string>& cells) {
    static const char* const kScript = R"PY(
import json, re, sys
import openpyxl
from openpyxl.utils.escape import unescape
try:
    wb = openpyxl.load_workbook(sys.argv[1])
except Exception as e:
    print("error\t" + json.dumps(repr(e)))
    sys.exit(0)
ws = wb.active
for q in sys.argv[2:]:
    c = ws[q]
    v = c.value
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        m = re.fullmatch(r"0(?:\.(0+))?", c.number_format)
        shown = ("%.*f" % (len(m.group(1) or ""), v)).replace(".", ",") if m else "?" + repr(v)
        print(q + "\t#" + c.number_format + " " + shown)
        continue
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

// What Values gives for a cell written with `text`: a number when the text
// is one in the program's form (blanks around, an optional minus, an integer
// part without leading zeros, the decimal comma; at most 15 significant
// digits; not a negative zero), else the text; null for an empty text.
inline std::string Cell(const std::string& text) {
    if (text.empty()) return "null";
    static const std::regex kNumber(" *(-?)(0|[1-9][0-9]*)(?:,([0-9]+))? *");
    std::smatch m;
    if (std::regex_match(text, m, kNumber)) {
        const std::string digits = m.str(2) + m.str(3);
        const std::size_t first = digits.find_first_not_of('0');
        const bool negativeZero = !m.str(1).empty() && first == std::string::npos;
        if (!negativeZero && m.length(2) <= 15 && m.length(3) <= 15 &&
            (first == std::string::npos || digits.size() - first <= 15)) {
            const std::string format = m.length(3) ? "0." + std::string(std::size_t(m.length(3)), '0') : "0";
            return "#" + format + " " + m.str(1) + m.str(2) + (m.length(3) ? "," + m.str(3) : "");
        }
    }
    return sheettest::Json(text);
}

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
