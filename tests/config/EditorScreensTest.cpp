// The editor windows as real Qt widgets, rendered offscreen to PNG files
// (build/editor-screens) in both modes where the modes differ, and checked
// for their size and for ink where their controls are.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "common/Suplfunc.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/Const_Par.h"
#include "config/Distr.h"
#include "config/LimitRanges.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgPar.h"
#include "config/PrzDistr.h"
#include "platform/Codepage.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

using zbr_test::AreaOf;
using zbr_test::InkIn;

// Shows `f` modally, renders it to <name>.png, checks its size and the ink
// of the given controls, then cancels it.
void Render(ui::Form& f, const std::string& name, std::vector<ui::Control*> inked, ui::Button& cancel,
            const std::function<void()>& before = {}) {
    const std::string file = zbr_test::ScreenFile("editor-screens", name + ".png");
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form&) {
        if (before) before();
        ui::qt::Sync();
        ASSERT_TRUE(ui::qt::RenderToPng(f, file));
        rendered = true;
        QImage img(QString::fromStdString(file));
        EXPECT_EQ(img.size(), QSize(f.Width(), f.Height())) << name;
        for (ui::Control* c : inked) EXPECT_GT(InkIn(img, AreaOf(f, *c)), 10) << name << ": " << c->Name();
        cancel.Click();
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << name;
}

void PutF(uint8_t* b, int i, float v) { std::memcpy(b + 4 * i, &v, 4); }

}  // namespace

TEST(EditorScreens, LinkEditors) {
    uint8_t vu[4] = {1, 11, 2, 0};
    for (uint8_t mode : {0, 1}) {
        TFormConVU f;
        f.Block = vu;
        f.Mode = mode;
        Render(f, "FormConVU-" + std::to_string(mode), {&f.Label1, &f.ComboBox1, &f.Edit10, mode ? &f.BitBtn1 : &f.BitBtn3}, f.BitBtn2);
    }
    uint8_t vich[6] = {2, 11, 3, 10, 2, 1};
    {
        TFormConVich f;
        f.Block = vich;
        f.Mode = 1;
        Render(f, "FormConVich", {&f.Label3, &f.ComboBox10, &f.ComboBox14, &f.Edit2, f.rb[1], &f.BitBtn1}, f.BitBtn2);
    }
    uint8_t wmt[8] = {2, 11, 1, 0, 10, 3, 1, 0};
    {
        TFormConWMT f;
        f.Block = wmt;
        f.Mode = 0;
        Render(f, "FormConWMT", {&f.Label6, &f.ComboBox3, &f.ComboBox8, &f.ComboBox10, &f.BitBtn3}, f.BitBtn2);
    }
    uint8_t hgc[14] = {1, 11, 1, 0, 10, 3, 3, 0x03, 0, 0, 0, 1, 1, 1};
    uint8_t names[60];
    platform::WriteField(names, 20, "ГРС-1 Дослідна");
    platform::WriteField(names + 20, 20, "Нитка 1");
    platform::WriteField(names + 40, 20, "Нитка 2");
    const uint8_t addresses[2] = {1, 2};
    {
        TFormConHGC f;
        f.Block = hgc;
        f.Names = names;
        f.OvgCount = 2;
        f.OvgAddresses = addresses;
        f.Mode = 1;
        Render(f, "FormConHGC", {&f.Label7, &f.ComboBox3, &f.ComboBox9, &f.CheckBox1, &f.CheckBox3, &f.ComboBox1, &f.ComboBox11, &f.BitBtn1},
               f.BitBtn2);
    }
}

TEST(EditorScreens, FlowComputerEditors) {
    OvgRow rows[16] = {};
    const uint8_t fields[3][4] = {{1, 0, 0x01, 1}, {2, 1, 0x11, 1}, {17, 3, 0x27, 0}};
    for (int i = 0; i < 3; ++i) {
        rows[i].Address = fields[i][0];
        rows[i].Type = fields[i][1];
        rows[i].Mask = fields[i][2];
        rows[i].ByteOrder = fields[i][3];
        std::memset(rows[i].Password, ' ', 16);
    }
    {
        TFormOvgList f;
        f.Rows = rows;
        f.Count = 3;
        f.ThreadByte = 3;
        f.Mode = 1;
        Render(f, "FormOvgList", {&f.Panel3, &f.Panel4, &f.StringGrid1, &f.BitBtn3, &f.BitBtn4}, f.BitBtn2);
    }
    {
        uint8_t layout = 0;
        TFormOvgPar f;
        f.RowNumber = 3;
        f.Row = &rows[2];
        f.LayoutFlag = &layout;
        f.ThreadByte = 3;
        Render(f, "FormOvgPar", {&f.Label3, &f.ComboBox1, &f.cn1, &f.cp1, &f.Label4, f.rbLine1[0], f.rbLine2[1], &f.BitBtn3}, f.BitBtn2);
    }
    {
        uint8_t layout = 1;
        TFormOvgPar f;
        f.Row = &rows[1];
        f.LayoutFlag = &layout;
        f.ThreadByte = 1;
        Render(f, "FormOvgPar-SOU", {&f.Label5, &f.Label6, f.rbLine1[0]}, f.BitBtn2);
    }
    uint8_t distr[20];
    for (int c = 0; c < 20; ++c) distr[c] = (c == 15 || c == 16) ? 0 : 1;
    {
        TFormPrzDistr f;
        f.Block = distr;
        f.Mode = 1;
        Render(f, "FormPrzDistr", {&f.Panel1, f.pn[0], f.pn[19], f.cb[0], f.cb[19], &f.BitBtn1}, f.BitBtn2);
    }
    uint8_t period[2] = {6, 0};
    {
        TFormDistr f;
        f.Block = period;
        f.Mode = 0;
        Render(f, "FormDistr", {&f.Label1, &f.ComboBox1, &f.Label2, &f.BitBtn3}, f.BitBtn2);
    }
}

TEST(EditorScreens, LimitsAndConstants) {
    SetDecimalSeparator(',');
    for (int kind = 0; kind < kLimitKindCount; ++kind) {
        uint8_t block[80];
        for (int c = 0; c < 20; ++c) PutF(block, c, LimitRanges[kind][c].def);
        TFormLimits f;
        f.Block = block;
        f.Kind = uint8_t(kind);
        f.Mode = kind == 0 ? 0 : 1;
        f.Oxygen = kind == 1;
        Render(f, "FormLimits-" + std::to_string(kind),
               {&f.Panel1, f.pn[0], f.pd[0], f.ev[0], f.l[0], f.pn[19], f.ev[19], f.pd[16], kind == 0 ? &f.BitBtn3 : &f.BitBtn1},
               f.BitBtn2);
    }
    uint8_t consts[100] = {};
    const float gas[20] = {0.031f, 0.912f, 0.118f, 0.141f, 0.002f, 0.034f, 0.027f, 1.024f, 93.41f, 0.306f,
                           3.995f, 37.92f, 0.7235f, 49.87f, 0.9978f, 0.006f, 12.5f, 44.93f, 34.21f, 0.0000005f};
    for (int c = 0; c < 20; ++c) PutF(consts + 20, c, gas[c]);
    consts[8] = 1;
    for (uint8_t line : {0, 1}) {
        TFormConst_Par f;
        f.Line = line;
        f.Block = consts;
        f.Mode = line;
        Render(f, "FormConst_Par-" + std::to_string(line), {&f.Panel2, f.pn[0], f.ev[0], f.cb[8], f.ev[19], line ? &f.BitBtn3 : &f.BitBtn1},
               f.BitBtn2);
    }
}
