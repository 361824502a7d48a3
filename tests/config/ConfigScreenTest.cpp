// The configuration editor as real Qt widgets, rendered offscreen to PNG
// files (build/editor-screens) in both modes, and checked for its size and
// for ink where its labels and buttons are.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <filesystem>
#include <string>

#include "config/Config.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

void Render(TFormConfig& f, const std::string& name) {
    const std::string file = zbr_test::ScreenFile("editor-screens", name + ".png");
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form&) {
        ui::qt::Sync();
        ASSERT_TRUE(ui::qt::RenderToPng(f, file));
        rendered = true;
        QImage img(QString::fromStdString(file));
        EXPECT_EQ(img.size(), QSize(760, 548));
        // Every label shows its text; where the record has no flow computers
        // or moisture meter, their labels are greyed (no dark ink).
        for (ui::Control* c : std::initializer_list<ui::Control*>{
                 &f.Label2, &f.Label3, &f.Label4, &f.Label5, &f.Label6, &f.Label14, &f.Label7, &f.Label8, &f.Label9,
                 &f.Label27, &f.Label31, &f.Label28, &f.Label43, &f.Label1, &f.Label10, &f.Label11, &f.Label12,
                 &f.Label13, &f.Label15, &f.Label16, &f.Label17, &f.Label18, &f.Label19, &f.Label20}) {
            const int ink = zbr_test::InkIn(img, zbr_test::AreaOf(f, *c));
            if (c->Enabled()) EXPECT_GT(ink, 10) << name << ": " << c->Name();
            else EXPECT_EQ(ink, 0) << name << ": " << c->Name();
        }
        for (ui::Control* c : std::initializer_list<ui::Control*>{&f.BitBtn19, &f.BitBtn3, &f.BitBtn21, &f.BitBtn2})
            EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, *c), 180), 10) << name << ": " << c->Name();
        ui::Button& accept = f.Mode == 1 ? f.BitBtn14 : f.BitBtn1;
        EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, accept)), 10) << name;
        f.BitBtn2.Click();
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << name;
}

}  // namespace

TEST(ConfigScreen, BothModes) {
    ConfigRecord rec;
    InitNewConfigFile(rec);
    rec[cnfofs::kWmtPresent] = 1;
    {
        TFormConfig f(nullptr);
        f.Record = &rec;
        Render(f, "FormConfig");
    }
    rec[cnfofs::kFlowPresent] = 0;  // the flow-computer controls greyed
    rec[cnfofs::kWmtPresent] = 0;
    TFormConfig f(nullptr);
    f.Record = &rec;
    f.Mode = 1;
    Render(f, "FormConfig-write");
}
