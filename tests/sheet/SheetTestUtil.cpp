#include "SheetTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestFolders.h"

namespace sheettest {

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q.push_back(c);
    }
    return q + "'";
}

const char* const kReadBackScript = R"PY(
import json, sys
import openpyxl
from openpyxl.utils.escape import unescape

def out(key, value):
    print(key + "\t" + json.dumps(value, ensure_ascii=False))

try:
    wb = openpyxl.load_workbook(sys.argv[1])
except Exception as e:
    out("error", repr(e))
    sys.exit(0)
ws = wb.active
out("sheets", wb.sheetnames)
out("active", wb.sheetnames.index(ws.title))
out("merged", sorted(str(r) for r in ws.merged_cells.ranges))
for q in sys.argv[2:]:
    if q.startswith("col:"):
        key = q[4:]
        out(q, ws.column_dimensions[key].width if key in ws.column_dimensions else None)
        continue
    if q.startswith("row:"):
        n = int(q[4:])
        out(q, ws.row_dimensions[n].height if n in ws.row_dimensions else None)
        continue
    c = ws[q]
    v = c.value
    if isinstance(v, str):
        v = unescape(v)
    out(q + ".value", v)
    out(q + ".type", c.data_type)
    out(q + ".format", c.number_format)
    out(q + ".font", [c.font.name, c.font.sz, bool(c.font.b)])
    rgb = c.fill.fgColor.rgb if c.fill.fill_type else None
    out(q + ".fill", [c.fill.fill_type, rgb if isinstance(rgb, str) else None])
    b = c.border
    out(q + ".border", [b.left.style, b.right.style, b.top.style, b.bottom.style])
    out(q + ".align", c.alignment.horizontal)
)PY";

}  // namespace

TempDir::TempDir() {
    path_ = zbr_test::FreshTestDir("sheet").string();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

const std::string& Python() {
    static const std::string found = [] {
        for (const char* p : {"/usr/bin/python3", "python3"}) {
            const std::string cmd =
                std::string(p) + " -c 'import openpyxl' >/dev/null 2>&1";
            if (std::system(cmd.c_str()) == 0) return std::string(p);
        }
        return std::string();
    }();
    return found;
}

int RunPython(const std::string& script, const std::vector<std::string>& args, std::string& out) {
    char tmpl[] = "/tmp/zbr-sheet-XXXXXX.py";
    const int fd = mkstemps(tmpl, 3);
    if (fd < 0) return -1;
    const ssize_t w = write(fd, script.data(), script.size());
    close(fd);
    if (w != static_cast<ssize_t>(script.size())) {
        unlink(tmpl);
        return -1;
    }
    std::string cmd = Python() + " -B " + Quote(tmpl);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " 2>&1";
    out.clear();
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        unlink(tmpl);
        return -1;
    }
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    const int status = pclose(p);
    unlink(tmpl);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> ReadBack(const std::string& file,
                                            const std::vector<std::string>& queries) {
    std::vector<std::string> args{file};
    args.insert(args.end(), queries.begin(), queries.end());
    std::string out;
    std::map<std::string, std::string> result;
    if (RunPython(kReadBackScript, args, out) != 0) {
        result["error"] = out;
        return result;
    }
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            result["error"] += line + "\n";
            continue;
        }
        result[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return result;
}

std::string Json(const std::string& s) {
    std::string j = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': j += "\\\""; break;
            case '\\': j += "\\\\"; break;
            case '\n': j += "\\n"; break;
            case '\r': j += "\\r"; break;
            case '\t': j += "\\t"; break;
            default:
                if (c < 0x20) {
                    char b[8];
                    std::snprintf(b, sizeof b, "\\u%04x", c);
                    j += b;
                } else {
                    j.push_back(static_cast<char>(c));
                }
        }
    }
    return j + "\"";
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << data;
}

std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

}  // namespace sheettest
