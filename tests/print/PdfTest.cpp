// PDF output read back with poppler's tools, and the preview window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>

#include "print/Output.h"
#include "print/SampleReport.h"
#include "support/TestFolders.h"

using namespace print;
using printtest::SampleReport;
namespace fs = std::filesystem;

// fontconfig keeps a cache for the life of the process; under the leak
// checker (sanitizer builds) that is not ours to report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// Tests never need a real display.
const bool kOffscreen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

fs::path TempDir(const std::string& name) { return zbr_test::FreshTestDir("print-" + name); }

bool HaveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Shell(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Text of one page: "-layout" keeps columns apart, "-raw" keeps the spaces
// inside one drawn string.
std::string PageText(const fs::path& pdf, int page, const char* mode = "-layout") {
    return Shell(std::string("pdftotext ") + mode + " -f " + std::to_string(page) + " -l " +
                 std::to_string(page) + " '" + pdf.string() + "' -");
}

// Value of a "Key:   value" line of pdfinfo's output.
std::string InfoField(const std::string& info, const std::string& key) {
    size_t at = info.find("\n" + key + ":");
    if (at == std::string::npos) return {};
    at = info.find_first_not_of(' ', at + key.size() + 2);
    return info.substr(at, info.find('\n', at) - at);
}

bool Contains(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }

}  // namespace

TEST(PrintPdf, MultiPageReportReadsBackPageByPage) {
    if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils not installed";
    SampleReport s(150);
    const fs::path pdf = TempDir("multi") / "Звіт повідомлень.pdf";
    SavePdf(s.rep, pdf.string());
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_FALSE(fs::exists(pdf.string() + ".tmp~"));

    const std::string info = "\n" + Shell("pdfinfo '" + pdf.string() + "'");
    EXPECT_EQ(InfoField(info, "Pages"), "3") << info;
    EXPECT_TRUE(Contains(InfoField(info, "Page size"), "(A4)")) << info;
    EXPECT_EQ(InfoField(info, "Title"), "Перелік діагностичних повідомлень") << info;

    const std::string p1 = PageText(pdf, 1), p2 = PageText(pdf, 2), p3 = PageText(pdf, 3);
    EXPECT_TRUE(Contains(p1, "ТОВ «Газ-Контроль»")) << p1;
    EXPECT_TRUE(Contains(p1, "контролерa ЗБР_11")) << p1;
    EXPECT_TRUE(Contains(p1, "Об'єкт/Причина")) << p1;
    EXPECT_TRUE(Contains(p1, SampleReport::Message(0) + " ")) << p1;
    EXPECT_TRUE(Contains(p1, SampleReport::Message(62) + " ")) << p1;
    EXPECT_FALSE(Contains(p1, SampleReport::Message(63) + " ")) << p1;
    EXPECT_TRUE(Contains(p2, SampleReport::Message(63) + " ")) << p2;
    EXPECT_TRUE(Contains(p2, SampleReport::Message(133) + " ")) << p2;
    EXPECT_FALSE(Contains(p2, "ТОВ «Газ-Контроль»")) << p2;
    EXPECT_TRUE(Contains(p3, SampleReport::Message(149) + " ")) << p3;
    for (const auto& [n, text] : {std::pair{1, p1}, std::pair{2, p2}, std::pair{3, p3}}) {
        EXPECT_TRUE(Contains(text, "ГРС Південна")) << n;
        EXPECT_TRUE(Contains(text, "Лист")) << n;
        // The footer line: "Лист", the page number, "з 3".
        const std::string raw = PageText(pdf, n, "-raw");
        EXPECT_TRUE(Contains(raw, "Лист " + std::to_string(n) + " з 3")) << raw;
    }
}

TEST(PrintPdf, FailedWriteLeavesOldFileAndReplacementIsWhole) {
    const fs::path dir = TempDir("write");
    SampleReport small(5);
    EXPECT_THROW(SavePdf(small.rep, (dir / "no-such-folder" / "r.pdf").string()), ReportError);
    EXPECT_TRUE(fs::is_empty(dir));

    const fs::path pdf = dir / "r.pdf";
    { std::ofstream(pdf) << "old"; }
    TQuickRep bad;
    bad.Page.LeftMargin = 300;
    EXPECT_THROW(SavePdf(bad, pdf.string()), ReportError);
    std::ifstream in(pdf);
    std::string old((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(old, "old");

    SavePdf(small.rep, pdf.string());
    EXPECT_GT(fs::file_size(pdf), 1000u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    if (HaveTool("pdftotext")) {
        EXPECT_TRUE(Contains(PageText(pdf, 1, "-raw"), "Лист 1 з 1"));
    }
}

// A disk that takes only part of the file (here the file-size limit) is a
// failure: the old file stays, no half PDF and no temporary file is left.
TEST(PrintPdf, ADiskThatRefusesBytesPartWayIsAFailure) {
    const fs::path dir = TempDir("write-limit");
    const fs::path pdf = dir / "r.pdf";
    { std::ofstream(pdf) << "old"; }
    SampleReport big(200);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 3000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        SavePdf(big.rep, pdf.string());
    } catch (const ReportError&) {
        threw = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    std::ifstream in(pdf);
    std::string old((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(old, "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Texts wider than their width: broken at blanks, a word alone on its line
// (set narrower when drawn) unless even that is too narrow for it, and then
// broken between whole characters; nothing lost but the blanks at breaks.
TEST(PrintText, WrapBreaksAtBlanksKeepsWordsAndNeverSplitsACharacter) {
    const ResolvedFont font{"MS Sans Serif", 8, false};
    const std::string text = "Полож. крана стало невизнач. (аварійним)";
    const double width = TextWidthMm(font, text);
    EXPECT_EQ(WrapText(font, text, width), std::vector<std::string>{text});
    EXPECT_EQ(WrapText(font, "   " + text, width), std::vector<std::string>{text});   // leading blanks go first
    const auto two = WrapText(font, text, width * 0.8);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0] + " " + two[1], text);
    for (const std::string& line : two) EXPECT_LE(TextWidthMm(font, line), width * 0.8 + 1e-6) << line;

    const std::string number = "-3,399999952E38";
    const double w = TextWidthMm(font, number);
    EXPECT_EQ(WrapText(font, number, w * 0.7), std::vector<std::string>{number});   // drawn narrower, whole
    const std::string word = "Вологомір_Вологомір_Вологомір";
    const auto parts = WrapText(font, word, TextWidthMm(font, "Волог"));
    ASSERT_GT(parts.size(), 2u);
    std::string joined;
    for (const std::string& p : parts) {
        EXPECT_FALSE(p.empty());
        EXPECT_EQ(QString::fromUtf8(p.data(), qsizetype(p.size())).toUtf8().toStdString(), p);   // whole characters
        joined += p;
    }
    EXPECT_EQ(joined, word);
    EXPECT_EQ(WrapText(font, "", 1), std::vector<std::string>{""});
    EXPECT_EQ(WrapText(font, "Ж", 0).size(), 1u);   // no room at all: still one character a line, no endless loop
}

TEST(PrintPreview, HandlerGetsTheLaidOutDocument) {
    SampleReport s(100);
    int pages = 0;
    SetPreviewHandler([&](const TQuickRep& rep, const Document& doc) {
        EXPECT_EQ(&rep, &s.rep);
        pages = doc.pageCount();
    });
    Preview(s.rep);
    EXPECT_EQ(pages, 2);

    TQuickRep bad;   // a layout failure reaches the caller, the handler is not called
    bad.Page.Width = 0;
    pages = -1;
    EXPECT_THROW(Preview(bad), ReportError);
    EXPECT_EQ(pages, -1);
    SetPreviewHandler(nullptr);
}

TEST(PrintPreview, WindowShowsThePagesModallyAndReturnsWhenClosed) {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "print_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    SampleReport s(150);
    int shownPages = -1;
    bool wasModal = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dlg = qobject_cast<QPrintPreviewDialog*>(w);
            if (!dlg || !dlg->isVisible()) continue;
            auto* view = dlg->findChild<QPrintPreviewWidget*>();
            if (!view || view->pageCount() == 0) return;   // not painted yet
            shownPages = view->pageCount();
            wasModal = dlg->isModal();
            dlg->reject();
        }
    });
    // Without a display nobody could close the window: refused, not hung.
    EXPECT_THROW(Preview(s.rep), ReportError);
    AllowPreviewWithoutDisplay(true);
    poll.start(10);
    Preview(s.rep);
    poll.stop();
    AllowPreviewWithoutDisplay(false);
    EXPECT_EQ(shownPages, 3);
    EXPECT_TRUE(wasModal);
}
