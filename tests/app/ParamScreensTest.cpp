// The parameter windows and the live monitors as real Qt windows
// (offscreen), rendered to PNG files in the build tree (build/param-screens):
// their sizes, every label's text within its width, and ink where the values
// are. The monitors read the emulator over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/Dtfun.h"
#include "common/ReportFormat.h"
#include "config/About.h"
#include "config/Chrom_Ser_Num.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "config/ContrName.h"
#include "config/Dt.h"
#include "config/FunInfo.h"
#include "config/Ident.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/VichInf.h"
#include "data/Momhr.h"
#include "data/Momwmt.h"
#include "data/Prz.h"
#include "emulator/Emulator.h"
#include "link/Conneth.h"
#include "support/EmulatorLink.h"
#include "support/QtScreens.h"
#include "support/TestFolders.h"
#include "ui/qt/QtUi.h"

namespace {

using zbr_test::AreaOf;
using zbr_test::InkIn;

// Visible labels and panels whose longest line the screen font cannot show
// within the control's width.
std::vector<std::string> Clipped(ui::Form& f) {
    std::vector<std::string> out;
    for (ui::Component* c : f.Components()) {
        auto* ctl = dynamic_cast<ui::Control*>(c);
        if (!ctl || !ctl->Showing()) continue;
        const bool label = dynamic_cast<ui::Label*>(c) != nullptr, panel = dynamic_cast<ui::Panel*>(c) != nullptr;
        if ((!label && !panel) || ctl->Caption().empty()) continue;
        QWidget* w = ui::qt::WidgetOf(*ctl);
        if (!w) continue;
        std::istringstream lines(ctl->Caption());
        for (std::string line; std::getline(lines, line);)
            if (QFontMetrics(w->font()).horizontalAdvance(QString::fromStdString(line)) > ctl->Width() - (panel ? 4 : 0))
                out.push_back(ctl->Name() + ": " + line);
    }
    return out;
}

class ParamScreens : public ::testing::Test {
protected:
    std::filesystem::path dir;
    emu::Emulator emu;
    hgcbox box{1};

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("param-screens");
        InitConfigImage();
        ReportFormat = DefaultReportFormat();
        // A state worth looking at: a warning and an alarm zone, the
        // chromatograph's link lost, an abnormal situation.
        std::vector<uint8_t> zones(20, 0);
        zones[8] = 1;
        zones[11] = 3;
        emu.SetTable(32, zones);
        emu.SetTable(33, {0, 1});
        emu.SetTable(16, {24, 5, 6, 9, 30, 5, 0, 7, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
        emu.SetName(0, "ГРС-1 Дослідна");
        for (int t = 0; t < kTableCount; ++t) {
            const std::vector<uint8_t> bytes = emu.Table(t);
            if (uint8_t* p = TablePtr(t)) std::memcpy(p, bytes.data(), std::min(bytes.size(), TableSpan(t).size()));
        }
        CodePage866To1251(TablePtr(5), 60);
        zbr_test::OpenOverPty(emu, box, dir, 1, 115200);
        HgcBox = &box;
    }
    void TearDown() override {
        ui::qt::SetModalShownHook(nullptr);
        HgcBox = nullptr;
        emu.Stop();
    }

    // Shows the form modally, lets `look` check it once it is up, renders it
    // and closes it; the image.
    QImage Render(ui::Form& f, const std::string& name, const std::function<void(ui::Form&)>& look = {}) {
        const std::string file = zbr_test::ScreenFile("param-screens", name);
        std::filesystem::remove(file);
        bool rendered = false;
        ui::qt::SetModalShownHook([&](ui::Form& form) {
            if (look) look(form);
            ui::qt::Sync();
            EXPECT_TRUE(ui::qt::RenderToPng(form, file));
            const std::vector<std::string> clipped = Clipped(form);
            EXPECT_TRUE(clipped.empty()) << name << ": " << (clipped.empty() ? "" : clipped[0]);
            rendered = true;
            form.SetModalResult(ui::mrCancel);
        });
        f.ShowModal();
        ui::qt::SetModalShownHook(nullptr);
        EXPECT_TRUE(rendered) << name;
        QImage img(QString::fromStdString(file));
        EXPECT_FALSE(img.isNull()) << name;
        EXPECT_EQ(img.size(), QSize(f.Width(), f.Height())) << name;
        return img;
    }
};

TEST_F(ParamScreens, EditorsAndInformationWindows) {
    {
        TFormConEth f(nullptr);
        f.Block = RowPtr(29, 0);
        f.Mode = 1;
        QImage img = Render(f, "FormConEth.png");
        EXPECT_EQ(img.size(), QSize(414, 374));
        for (ui::Control* c : {static_cast<ui::Control*>(&f.ip4), static_cast<ui::Control*>(&f.e4),
                               static_cast<ui::Control*>(&f.Label7), static_cast<ui::Control*>(&f.BitBtn14)})
            EXPECT_GT(InkIn(img, AreaOf(f, *c)), 10) << c->Name();
    }
    {
        TFormIdent f(nullptr);
        f.Ident = RowPtr(0, 0);
        f.FullView = 1;
        QImage img = Render(f, "FormIdent.png");
        EXPECT_EQ(img.size(), QSize(490, 416));
        for (int r = 0; r < TFormIdent::kRows; ++r) EXPECT_GT(InkIn(img, AreaOf(f, f.RowPanel(r))), 10) << r;
    }
    {
        TFormAbout f(nullptr);
        EXPECT_EQ(Render(f, "FormAbout.png").size(), QSize(540, 546));
    }
    {
        TFormSys f(nullptr);
        f.Block = RowPtr(6, 0);
        f.Mode = 1;
        QImage img = Render(f, "FormSys.png");
        EXPECT_EQ(img.size(), QSize(794, 340));
        for (ui::Control* c : {static_cast<ui::Control*>(&f.ComboBox1), static_cast<ui::Control*>(&f.ComboBox6),
                               static_cast<ui::Control*>(&f.ComboBox16), static_cast<ui::Control*>(&f.ComboBox17)})
            EXPECT_GT(InkIn(img, AreaOf(f, *c)), 10) << c->Name();
    }
    {
        // The controller 40 s behind the PC, its clock read a moment ago.
        const TDateTime now = EncodeDateTime(2024, 5, 6, 10, 15, 40);
        StoreRec6(DeviceDateTime{24, 5, 6, 10, 15, 0}, RowPtr(2, 0));
        TFormDt f(nullptr);
        f.PcTime = now;
        QImage img = Render(f, "FormDt.png");
        EXPECT_EQ(img.size(), QSize(540, 232));
        EXPECT_GT(InkIn(img, AreaOf(f, f.pnTime1)), 10);
        EXPECT_GT(InkIn(img, AreaOf(f, f.pnDay2)), 10);
    }
    {
        uint8_t flags[4] = {1, 0, 1, 0};
        TFormTime_Sinhr f(nullptr);
        f.Block = flags;
        f.Mode = 1;
        EXPECT_EQ(Render(f, "FormTime_Sinhr.png").size(), QSize(362, 318));
    }
    {
        TFormContrName f(nullptr);
        f.Block = RowPtr(5, 0);
        f.Mode = 1;
        QImage img = Render(f, "FormContrName.png");
        EXPECT_EQ(img.size(), QSize(482, 234));
        EXPECT_GT(InkIn(img, AreaOf(f, f.Edit1)), 10);
    }
    {
        TFormFunInfo f(nullptr);
        QImage img = Render(f, "FormFunInfo.png");
        EXPECT_EQ(img.size(), QSize(508, 202));
        EXPECT_GT(InkIn(img, AreaOf(f, *f.pi[1])), 10);
    }
    {
        TFormChrom_Ser_Num f(nullptr);
        f.SerialNumber = 4294967295u;
        QImage img = Render(f, "FormChrom_Ser_Num.png");
        EXPECT_EQ(img.size(), QSize(268, 148));
        EXPECT_GT(InkIn(img, AreaOf(f, f.Panel7)), 10);
    }
    {
        uint8_t block[48] = {1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};
        block[32] = 1;
        TFormVichInf f(nullptr);
        f.Block = block;
        QImage img = Render(f, "FormVichInf.png");
        EXPECT_EQ(img.width(), 380);
        EXPECT_GT(InkIn(img, AreaOf(f, *f.lw[0])), 10);
        EXPECT_GT(InkIn(img, AreaOf(f, *f.la[1])), 5);
    }
}

TEST_F(ParamScreens, LiveMonitors) {
    {
        TableCheckBlock block{};
        TFormPrz f(nullptr);
        f.Block = &block;
        QImage img = Render(f, "FormPrz.png", [](ui::Form& form) { static_cast<TFormPrz&>(form).Timer1Timer(); });
        EXPECT_EQ(img.size(), QSize(532, 530));
        EXPECT_EQ(f.pnChromLink.Caption(), "Связи нет");
        EXPECT_GT(InkIn(img, AreaOf(f, f.pnChrom)), 10);
        EXPECT_GT(InkIn(img, AreaOf(f, f.pnDate)), 10);
    }
    {
        TFormMom f(nullptr);
        f.Line = 0;
        QImage img = Render(f, "FormMom.png");
        EXPECT_EQ(img.size(), QSize(760, 562));
        EXPECT_EQ(f.z[11]->Caption(), "Нижня аварійна зона");
        for (int k : {0, 8, 19}) EXPECT_GT(InkIn(img, AreaOf(f, *f.v[k])), 10) << k;
        EXPECT_EQ(InkIn(img, AreaOf(f, *f.v[15])), 0);  // oxygen not measured
    }
    {
        TFormMomWmt f(nullptr);
        QImage img = Render(f, "FormMomWmt.png");
        EXPECT_EQ(img.size(), QSize(676, 254));
        for (int i = 0; i < 5; ++i) EXPECT_GT(InkIn(img, AreaOf(f, *f.v[i])), 10) << i;
    }
}

}  // namespace
