// The heading dialog and a moisture-meter viewer with its print button,
// rendered by the Qt backend offscreen into build/report-screens.
#include <gtest/gtest.h>

#include <QtGui>
#include <QtWidgets>

#include "data/ArhivHD_Wmt.h"
#include "reports/PrnRegister.h"
#include "reports/PrnTestUtil.h"
#include "reports/Ques_Prn.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

using namespace prt;
using zbr_test::AreaOf;
using zbr_test::InkIn;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("report-screens", name); }

// Captions of the form's visible labels that do not fit their label.
std::vector<std::string> ClippedLabels(ui::Form& f) {
    std::vector<std::string> out;
    for (ui::Component* c : f.Components()) {
        auto* l = dynamic_cast<ui::Label*>(c);
        if (!l || !l->Visible() || l->Caption().empty()) continue;
        QWidget* w = ui::qt::WidgetOf(*l);
        if (!w) continue;
        const QFontMetrics fm(w->font());
        if (fm.horizontalAdvance(QString::fromStdString(l->Caption())) > l->Width()) out.push_back(l->Caption());
    }
    return out;
}

template <class F>
QImage RenderModal(F& form, const std::string& file) {
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        ui::qt::Sync();
        rendered = ui::qt::RenderToPng(f, file);
        EXPECT_EQ(ClippedLabels(f), std::vector<std::string>{}) << file;
        f.SetModalResult(ui::mrCancel);
    });
    form.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << file;
    return QImage(QString::fromStdString(file));
}

TEST(PrnScreens, HeadingDialog) {
    const auto dir = zbr_test::FreshWorkDir("reports-screens");
    std::filesystem::create_directories(dir / "INI");
    std::string why;
    ASSERT_TRUE(WriteReportHeading(TitleIniPath(), "ТОВ «Газ-Контроль»", &why)) << why;
    ui::Screen::SetMetrics(1280, 1024, 96);
    const ArchiveFileHeader h = AlaHeader(10);
    TFormQues_Prn f;
    f.Header = &h;
    f.PrintKind = kPrintDiagnostic;
    const QImage img = RenderModal(f, ScreenFile("Ques_Prn.png"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 532);
    EXPECT_EQ(img.height(), 212);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&f.Label2, &f.Label7, &f.Label8, &f.Label1, &f.Edit1,
                                                               &f.BitBtn1, &f.BitBtn2})
        EXPECT_GT(InkIn(img, AreaOf(f, *c)), 30) << c->Name();
    EXPECT_EQ(f.accepted, 0);
}

TEST(PrnScreens, MoistureViewerShowsItsPrintButton) {
    zbr_test::FreshWorkDir("reports-screens");
    ui::Screen::SetMetrics(1280, 1024, 96);
    const auto saved = TFormArhivHD_Wmt::PrintAction;
    RegisterPrintedReports();
    std::vector<WmtArchiveRecord> recs;
    for (int i = 0; i < 12; ++i) recs.push_back(WmtHd(5, i));
    const ArchiveFileHeader h = Header("HOU", 1);
    TFormArhivHD_Wmt f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 6;
    const QImage img = RenderModal(f, ScreenFile("ArhivHD_Wmt_print.png"));
    TFormArhivHD_Wmt::PrintAction = saved;
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(f.BitBtn3.Visible());
    EXPECT_GT(InkIn(img, AreaOf(f, f.BitBtn3)), 30);
}

}  // namespace
