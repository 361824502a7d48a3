// The preview's "save as PDF" button, driven on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

#include <filesystem>
#include <fstream>

#include "platform/Paths.h"
#include "print/Output.h"
#include "print/SampleReport.h"
#include "support/TestFolders.h"

using namespace print;
using printtest::SampleReport;
namespace fs = std::filesystem;

namespace {

struct Saved {
    std::string path, error;
};

// Opens the real preview of `rep` and, once its pages are shown, presses
// "save as PDF" once for every name in `choices`, then closes it.
std::vector<Saved> SaveFromPreview(const TQuickRep& rep, const std::vector<std::string>& choices,
                                   std::vector<std::string>* suggested) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "print_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    std::vector<Saved> saved;
    std::size_t next = 0;
    SetPdfPathChooser([&](const std::string& s) {
        suggested->push_back(s);
        return next < choices.size() ? choices[next++] : std::string();
    });
    SetPdfSaveNotice([&](const std::string& path, const std::string& error) { saved.push_back({path, error}); });
    bool pressed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dlg = qobject_cast<QPrintPreviewDialog*>(w);
            if (!dlg || !dlg->isVisible()) continue;
            auto* view = dlg->findChild<QPrintPreviewWidget*>();
            if (!view || view->pageCount() == 0) return;
            if (!pressed) {
                pressed = true;
                QAction* save = dlg->findChild<QAction*>("actionSavePdf");
                EXPECT_NE(save, nullptr);
                if (save) {
                    EXPECT_EQ(save->text().toStdString(), "Зберегти у PDF");
                    for (std::size_t i = 0; i < choices.size() + 1; ++i) save->trigger();
                }
                EXPECT_TRUE(dlg->isVisible());   // the preview stays open
            }
            dlg->reject();
        }
    });
    AllowPreviewWithoutDisplay(true);
    poll.start(10);
    Preview(rep);
    poll.stop();
    AllowPreviewWithoutDisplay(false);
    SetPdfPathChooser(nullptr);
    SetPdfSaveNotice(nullptr);
    EXPECT_TRUE(pressed);
    return saved;
}

}  // namespace

TEST(PrintPreview, SaveAsPdfWritesThePagesShownAndReportsFailure) {
    const fs::path dir = zbr_test::FreshWorkDir("print-preview-save");
    fs::create_directories(dir / "REPORT");
    SampleReport s(100);
    std::vector<std::string> suggested;
    // A name without extension gets ".pdf"; a folder that does not exist
    // fails; the third press is cancelled in the chooser.
    const auto saved = SaveFromPreview(
        s.rep, {(dir / "REPORT" / "звіт").string(), (dir / "missing" / "x.pdf").string()}, &suggested);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].path, (dir / "REPORT" / "звіт.pdf").string());
    EXPECT_EQ(saved[0].error, "");
    EXPECT_NE(saved[1].error, "");
    ASSERT_EQ(suggested.size(), 3u);
    // Without a name of its own the report offers its title in REPORT.
    EXPECT_EQ(suggested[0], (dir / "REPORT" / "Перелік діагностичних повідомлень.pdf").string());
    ASSERT_TRUE(fs::exists(dir / "REPORT" / "звіт.pdf"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    const std::string head = zbr_test::ReadBytes((dir / "REPORT" / "звіт.pdf").string()).substr(0, 5);
    EXPECT_EQ(head, "%PDF-");
    if (std::system("command -v pdfinfo >/dev/null 2>&1") == 0) {
        FILE* p = popen(("pdfinfo '" + (dir / "REPORT" / "звіт.pdf").string() + "' | grep Pages").c_str(), "r");
        char buf[128] = {};
        if (p) {
            (void)fgets(buf, sizeof buf, p);
            pclose(p);
        }
        EXPECT_NE(std::string(buf).find(" 2"), std::string::npos) << buf;
    }

    s.rep.PdfFileName = (dir / "mine.pdf").string();
    suggested.clear();
    SaveFromPreview(s.rep, {}, &suggested);
    ASSERT_EQ(suggested.size(), 1u);
    EXPECT_EQ(suggested[0], (dir / "mine.pdf").string());
}
