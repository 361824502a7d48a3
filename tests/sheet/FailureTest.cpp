// Failures reach the caller as false with a text; nothing crashes, nothing
// half-written is left behind and an existing file survives a failed save.
#include "SheetTestUtil.h"
#include "sheet/Workbook.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sheettest;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string MakeValidWorkbook(const std::string& path) {
    sheet::Workbook wb;
    wb.Add();
    wb.ActiveSheet().Cells(1, 1).SetValue("текст");
    wb.SaveAs(path);
    return ReadFile(path);
}

}  // namespace

TEST(SheetFailure, BrokenTemplatesAreReported) {
    TempDir dir;
    sheet::Workbook wb;

    EXPECT_FALSE(wb.Open(dir / "day_report_title_v11.xlsx"));
    EXPECT_TRUE(Contains(wb.LastError(), "day_report_title_v11.xlsx")) << wb.LastError();
    EXPECT_TRUE(Contains(wb.LastError(), "не знайдено")) << wb.LastError();
    EXPECT_FALSE(wb.IsOpen());

    EXPECT_FALSE(wb.Open(dir.path()));   // a folder
    EXPECT_FALSE(wb.LastError().empty());

    WriteFile(dir / "text.xlsx", "це не книга, а текст");
    EXPECT_FALSE(wb.Open(dir / "text.xlsx"));
    EXPECT_TRUE(Contains(wb.LastError(), "пошкоджений")) << wb.LastError();

    const std::string good = MakeValidWorkbook(dir / "good.xlsx");
    ASSERT_GT(good.size(), 100u);
    WriteFile(dir / "cut.xlsx", good.substr(0, good.size() / 2));
    EXPECT_FALSE(wb.Open(dir / "cut.xlsx"));
    EXPECT_TRUE(Contains(wb.LastError(), "пошкоджений")) << wb.LastError();

    std::string flipped = good;
    flipped[flipped.size() / 3] ^= 0x55;   // damaged compressed data
    WriteFile(dir / "flipped.xlsx", flipped);
    if (!wb.Open(dir / "flipped.xlsx")) {
        EXPECT_FALSE(wb.LastError().empty());
    }
    wb.Close();

    if (!Python().empty()) {
        std::string out;
        ASSERT_EQ(RunPython("import sys, zipfile\n"
                            "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                            "z.writestr('hello.txt', 'hello')\n"
                            "z.close()\n"
                            "src = zipfile.ZipFile(sys.argv[2])\n"
                            "z = zipfile.ZipFile(sys.argv[3], 'w')\n"
                            "for i in src.infolist():\n"
                            "    d = src.read(i.filename)\n"
                            "    if i.filename.endswith('sheet1.xml'): d = d[:len(d)//2]\n"
                            "    z.writestr(i, d)\n"
                            "z.close()\n",
                            {dir / "nobook.xlsx", dir / "good.xlsx", dir / "badsheet.xlsx"}, out),
                  0)
            << out;
        EXPECT_FALSE(wb.Open(dir / "nobook.xlsx"));
        EXPECT_TRUE(Contains(wb.LastError(), "пошкоджений")) << wb.LastError();
        EXPECT_FALSE(wb.Open(dir / "badsheet.xlsx"));
        EXPECT_TRUE(Contains(wb.LastError(), "пошкоджений")) << wb.LastError();
    }
    // After all that the same object still works.
    ASSERT_TRUE(wb.Open(dir / "good.xlsx")) << wb.LastError();
    EXPECT_FALSE(wb.Open(dir / "good.xlsx"));   // one workbook at a time
    EXPECT_TRUE(wb.IsOpen());
}

TEST(SheetFailure, BadAddressesAndValuesFailAndStopTheSave) {
    TempDir dir;
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add());
    sheet::Worksheet ws = wb.ActiveSheet();

    sheet::Range bad = ws.Range("A2:");
    EXPECT_FALSE(bad.Valid());
    EXPECT_TRUE(Contains(wb.LastError(), "A2:")) << wb.LastError();
    EXPECT_TRUE(wb.Failed());
    const std::string first = wb.LastError();
    EXPECT_FALSE(bad.SetValue("x"));
    EXPECT_FALSE(bad.SetBorder(sheet::Border::Left));
    EXPECT_FALSE(ws.Range("ZZZZ1").Valid());
    EXPECT_FALSE(ws.Range("A0").Valid());
    EXPECT_FALSE(ws.Cells(0, 1).Valid());
    EXPECT_FALSE(ws.Cells(1, 16385).Valid());
    EXPECT_FALSE(ws.Range(ws.Cells(1, 1), ws.Cells(0, 0)).Valid());

    sheet::Range ok = ws.Cells(1, 1);
    EXPECT_FALSE(ok.SetFontSize(0));
    EXPECT_FALSE(ok.SetFontName(""));
    EXPECT_FALSE(ok.SetFontName("a name far too long for any font at all"));
    EXPECT_FALSE(ok.SetInteriorColor(0x1000000));
    EXPECT_FALSE(ok.SetRowHeight(500));
    EXPECT_FALSE(ok.SetNumberFormat(""));
    EXPECT_FALSE(ok.SetNumberFormat("0\n0"));
    EXPECT_FALSE(ok.SetBorder(static_cast<sheet::Border>(7)));
    EXPECT_FALSE(ok.SetHorizontalAlignment(static_cast<sheet::HAlign>(-4108)));
    EXPECT_FALSE(ws.SetColumnWidth(1, -1));
    EXPECT_FALSE(ws.SetColumnWidth(0, 9));
    EXPECT_FALSE(ws.Range("A1:XFD1048576").SetValue("x"));   // far beyond any export
    EXPECT_FALSE(ok.SetValue(std::string(40000, 'x')));
    EXPECT_TRUE(ok.SetValue("добре"));

    // The first failure is what the save reports; nothing is written.
    const std::string file = dir / "out.xlsx";
    EXPECT_FALSE(wb.SaveAs(file));
    EXPECT_TRUE(Contains(wb.LastError(), first)) << wb.LastError();
    EXPECT_FALSE(FileExists(file));
    wb.ClearFailure();
    EXPECT_TRUE(wb.SaveAs(file)) << wb.LastError();
}

TEST(SheetFailure, UnwritableDestinationsLeaveOldFilesAndNoLitter) {
    TempDir dir;
    sheet::Workbook wb;
    ASSERT_TRUE(wb.Add());
    ASSERT_TRUE(wb.ActiveSheet().Cells(1, 1).SetValue("x"));

    EXPECT_FALSE(wb.SaveAs(dir / "missing/out.xlsx"));
    EXPECT_TRUE(Contains(wb.LastError(), "missing/out.xlsx")) << wb.LastError();
    WriteFile(dir / "plain", "a file, not a folder");
    EXPECT_FALSE(wb.SaveAs(dir / "plain/out.xlsx"));
    ASSERT_EQ(mkdir((dir / "folder.xlsx").c_str(), 0755), 0);
    EXPECT_FALSE(wb.SaveAs(dir / "folder.xlsx"));
    EXPECT_FALSE(wb.SaveAs(""));
    EXPECT_FALSE(wb.Failed());   // save failures do not spoil the workbook

    // A read-only folder with an older report in it.
    const std::string ro = dir / "REPORT";
    ASSERT_EQ(mkdir(ro.c_str(), 0755), 0);
    WriteFile(ro + "/old.xlsx", "old report");
    ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
    auto attempt = [&]() {
        const bool saved = wb.SaveAs(ro + "/old.xlsx");
        const bool saved2 = wb.SaveAs(ro + "/new.xlsx");
        return !saved && !saved2 && !wb.LastError().empty();
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(attempt()) << wb.LastError();
    } else {
        // Permissions do not bind root: try as an ordinary user in a child.
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
            _exit(attempt() ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot drop root rights here";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(ReadFile(ro + "/old.xlsx"), "old report");
    EXPECT_EQ(ListDir(ro), std::vector<std::string>{"old.xlsx"});
}

TEST(SheetFailure, HandlesOfAClosedWorkbookFailHarmlessly) {
    sheet::Range cell;
    sheet::Worksheet ws;
    EXPECT_FALSE(cell.SetValue("x"));
    EXPECT_FALSE(ws.Cells(1, 1).Valid());
    {
        sheet::Workbook wb;
        EXPECT_FALSE(wb.Close());
        EXPECT_FALSE(wb.SaveAs("/tmp/never.xlsx"));
        EXPECT_FALSE(wb.ActiveSheet().Valid());
        ASSERT_TRUE(wb.Add());
        ws = wb.ActiveSheet();
        cell = ws.Cells(2, 2);
        ASSERT_TRUE(wb.Close());
        EXPECT_FALSE(cell.SetValue("x"));
        EXPECT_FALSE(ws.Valid());
        EXPECT_TRUE(Contains(wb.LastError(), "закрито")) << wb.LastError();
        ASSERT_TRUE(wb.Add());   // a new workbook: old handles stay dead
        EXPECT_FALSE(cell.SetFontSize(10));
        EXPECT_FALSE(ws.Cells(1, 1).Valid());
        EXPECT_TRUE(wb.ActiveSheet().Cells(1, 1).SetValue("y"));
    }
    EXPECT_FALSE(cell.SetValue("x"));   // workbook gone
    EXPECT_FALSE(ws.SetColumnWidth(1, 9));
}
