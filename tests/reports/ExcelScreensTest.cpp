// The certificate windows as real Qt widgets offscreen, rendered into
// build/reports-screens: every caption fits its label, the controls carry
// their texts.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <functional>
#include <string>
#include <vector>

#include "common/ListFiles.h"
#include "reports/ExcRep_Date.h"
#include "reports/Xls_Report.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

std::vector<std::string> Clipped(ui::Form& f) {
    std::vector<std::string> out;
    for (ui::Component* c : f.Components()) {
        auto* l = dynamic_cast<ui::Label*>(c);
        if (!l || !l->Visible() || l->Caption().empty()) continue;
        QWidget* w = ui::qt::WidgetOf(*l);
        if (w && QFontMetrics(w->font()).horizontalAdvance(QString::fromStdString(l->Caption())) > l->Width())
            out.push_back(l->Caption());
    }
    return out;
}

QImage Render(ui::Form& f, const std::string& name) {
    const std::string file = zbr_test::ScreenFile("reports-screens", name);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        EXPECT_TRUE(ui::qt::RenderToPng(form, file));
        EXPECT_TRUE(Clipped(form).empty()) << name << ": " << (Clipped(form).empty() ? "" : Clipped(form)[0]);
        rendered = true;
        form.SetModalResult(ui::mrCancel);
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << name;
    return QImage(QString::fromStdString(file));
}

TEST(CertificateScreens, DateDialogInBothModesAndTheReportWindow) {
    ObjectList = {};
    ObjectList.obj_num = 2;
    ObjectList.objs[0].SetName("ГРС-1 Дослідна");
    ObjectList.objs[1].SetName("ГРС \"Північ\" (вимірювальний вузол 2)");
    ObjectList.obj_index = 1;
    QueryPeriod range{};
    range.from = {23, 2, 14, 7, 0};
    range.to = {24, 3, 19, 0, 0};
    for (uint8_t mode : {uint8_t(0), uint8_t(1)}) {
        TFormExcRep_Date f(nullptr);
        f.Bounds = &range;
        f.Mode = mode;
        const QImage img = Render(f, mode == 0 ? "FormExcRep_Date_day.png" : "FormExcRep_Date_month.png");
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.height() > 300, mode == 0);
        EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, f.Label4)), 30);
        EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, f.ComboBox1)), 30);
        EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, f.BitBtn5)), 30);
        EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, f.Panel3)), 10);
        EXPECT_EQ(f.Panel3.Caption(), "2024");
        EXPECT_EQ(f.ComboBox1.Item(f.ComboBox1.ItemIndex()), "ГРС \"Північ\" (вимірювальний вузол 2)");
    }
    TFormXls_Report r(nullptr);
    r.Timer1.OnTimer = nullptr;   // only the look
    const QImage img = Render(r, "FormXls_Report.png");
    ASSERT_FALSE(img.isNull());
    EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(r, r.Label2)), 30);
    ObjectList = {};
}

}  // namespace
