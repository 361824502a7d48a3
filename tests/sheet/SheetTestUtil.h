// Helpers of the workbook tests: a scratch folder per test and an
// independent reader (python3 with openpyxl) run on the saved files.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace sheettest {

// A fresh folder under ZBR_TEST_TMP, removed again by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The python interpreter that has openpyxl, or "" when none has.
const std::string& Python();

// Runs a python script (given as text) with arguments; returns its exit
// status and fills `out` with what it printed (stdout and stderr).
int RunPython(const std::string& script, const std::vector<std::string>& args, std::string& out);

// Reads a saved workbook back through openpyxl. Keys:
//   "sheets", "active", "merged"         the workbook / active sheet
//   "<cell>.value", ".type", ".format" (number format), ".font" ([name, size, bold]),
//   ".fill" ([type, rgb]), ".border" ([left, right, top, bottom]), ".align"
//   "col:<letters>" width, "row:<n>" height
// Each value is the JSON text of what openpyxl gives (strings unescaped the
// way a spreadsheet program reads them). An "error" key holds a failure.
std::map<std::string, std::string> ReadBack(const std::string& file,
                                            const std::vector<std::string>& queries);

// JSON text of a string, as python's json.dumps(ensure_ascii=False) writes it.
std::string Json(const std::string& s);

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
// Names of the files in a folder.
std::vector<std::string> ListDir(const std::string& dir);

}  // namespace sheettest
