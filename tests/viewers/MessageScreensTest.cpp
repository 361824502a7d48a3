// The diagnostic-message and intervention lists rendered by the Qt backend
// offscreen into PNG files (build/viewer-screens), filled with many records
// of the emulator's archives.
#include <gtest/gtest.h>

#include <QtGui>
#include <QtWidgets>
#include <cstring>

#include "ViewerTestUtil.h"
#include "data/Iniala.h"
#include "data/Iniaud.h"
#include "emulator/ArchiveModel.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

using namespace vt;
using zbr_test::AreaOf;
using zbr_test::InkIn;

template <class R>
std::vector<R> ModelRecords(emu::Archive a, uint32_t count) {
    emu::ArchiveModel m(7);
    m.SetNow({24, 3, 20, 10, 30, 0});
    const auto [oldest, newest] = m.IndexBounds(a);
    std::vector<R> out;
    for (const emu::Record& b : m.IndexRecords(a, newest - count + 1, count)) {
        R r;
        std::memcpy(&r, b.data(), sizeof r);
        out.push_back(r);
    }
    (void)oldest;
    return out;
}

template <class F>
QImage RenderModal(F& form, const std::string& file, const std::function<void(F&)>& before = {}) {
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        if (before) before(static_cast<F&>(f));
        ui::qt::Sync();
        rendered = ui::qt::RenderToPng(f, file);
        f.SetModalResult(ui::mrOk);
    });
    form.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << file;
    return QImage(QString::fromStdString(file));
}

class MessageScreens : public ::testing::Test {
protected:
    void SetUp() override { ui::Screen::SetMetrics(1280, 1024, 96); }
};

TEST_F(MessageScreens, DiagnosticListWithManyRows) {
    std::vector<DiagnosticRecord> recs = ModelRecords<DiagnosticRecord>(emu::Archive::Diagnostic, 240);
    ASSERT_EQ(recs.size(), 240u);
    Corrupt(recs[236]);
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, uint32_t(recs.size()), false, 0);
    TFormAla f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    const QImage img = RenderModal<TFormAla>(f, zbr_test::ScreenFile("viewer-screens", "Ala_240.png"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 992);
    EXPECT_EQ(img.height(), f.Height());
    EXPECT_LE(f.Height(), 1024 - 60);
    EXPECT_GT(InkIn(img, AreaOf(f, f.StringGrid1)), 5000);
    EXPECT_GT(InkIn(img, AreaOf(f, f.Panel9)), 30);  // the unreliable-record message (red)
    EXPECT_GT(InkIn(img, AreaOf(f, f.BitBtn2)), 50);
    for (int n = 1; n <= 8; ++n) {
        ui::Panel* p = f.Find<ui::Panel>("hd" + std::to_string(n));
        ASSERT_NE(p, nullptr) << n;
        EXPECT_GT(InkIn(img, AreaOf(f, *p)), 20) << n;
    }
}

TEST_F(MessageScreens, InterventionListWithManyRows) {
    std::vector<InterventionRecord> recs = ModelRecords<InterventionRecord>(emu::Archive::Intervention, 150);
    ASSERT_EQ(recs.size(), 150u);
    ArchiveFileHeader h = Header(ArchiveKind::Intervention, uint32_t(recs.size()));
    TFormAud f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 0;
    f.FirstIndex = 1000;
    f.NamesIn866 = true;
    const QImage img = RenderModal<TFormAud>(f, zbr_test::ScreenFile("viewer-screens", "Aud_150.png"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 854);
    EXPECT_GT(InkIn(img, AreaOf(f, f.StringGrid1)), 5000);
    EXPECT_FALSE(f.BitBtn3.Visible());

    // A short list: the window as high as its rows.
    std::vector<InterventionRecord> few(recs.end() - 6, recs.end());
    TFormAud g;
    g.Header = &h;
    g.Records = few;
    g.Mode = 1;
    g.NamesIn866 = true;
    const QImage small = RenderModal<TFormAud>(g, zbr_test::ScreenFile("viewer-screens", "Aud_6.png"));
    EXPECT_EQ(small.height(), 6 * 21 + 3 + MessageListForm::kGridTop + MessageListForm::kBelowGrid);
}

}  // namespace
