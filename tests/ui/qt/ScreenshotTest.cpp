// The message box and the wait box rendered offscreen to PNG files in the
// build tree (build/ui-screens), checked for size and texts.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <filesystem>

#include "common/Question.h"
#include "common/Wait.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

using zbr_test::AreaOf;
using zbr_test::InkIn;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("ui-screens", name); }

void ExpectCyrillic(QWidget* w) {
    ASSERT_NE(w, nullptr);
    QFontMetrics fm(w->font());
    for (char32_t c : {U'Ж', U'ї', U'є', U'і', U'Щ'}) EXPECT_TRUE(fm.inFontUcs4(c)) << w->font().family().toStdString();
}

TEST(Screenshot, RetryQuestionOfTwoLines) {
    std::string file = ScreenFile("FormQues_kind7.png");
    std::filesystem::remove(file);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        auto& q = static_cast<TFormQues&>(f);
        auto* l1 = qobject_cast<QLabel*>(ui::qt::WidgetOf(q.Label1));
        auto* l3 = qobject_cast<QLabel*>(ui::qt::WidgetOf(q.Label3));
        ASSERT_NE(l1, nullptr);
        EXPECT_EQ(l1->text().toStdString(), "Команда 8.  Немає відповіді від пристрою");
        EXPECT_EQ(l3->text().toStdString(), "Повторити спробу?");
        EXPECT_EQ(l1->objectName().toStdString(), "Label1");
        ExpectCyrillic(l1);
        ASSERT_TRUE(ui::qt::RenderToPng(q, file));
        rendered = true;
        QImage img(QString::fromStdString(file));
        EXPECT_EQ(img.width(), q.Width());
        EXPECT_EQ(img.height(), 175);
        EXPECT_GT(InkIn(img, AreaOf(q, q.Label1)), 50);
        EXPECT_GT(InkIn(img, AreaOf(q, q.Label2)), 30);
        EXPECT_GT(InkIn(img, AreaOf(q, q.Label3)), 30);
        EXPECT_GT(InkIn(img, AreaOf(q, q.BitBtn1)), 10);
        // "Так" has the focus; a real click answers.
        EXPECT_TRUE(ui::qt::WidgetOf(q.BitBtn1)->hasFocus());
        QTest::mouseClick(ui::qt::WidgetOf(q.BitBtn1), Qt::LeftButton);
    });
    MessageKind = 7;
    MessageAnswer = 0;
    ShowQues("Команда 8.  Немає відповіді від пристрою", "Таблиця 14, рядки 0..7");
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered);
    EXPECT_EQ(MessageAnswer, 1);
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(Screenshot, WaitBoxReadingArchive) {
    std::string file = ScreenFile("FormWait_mode1.png");
    TFormWait w;
    w.Mode = 1;
    w.Show();
    w.ProgressBar1.SetPosition(40);
    ui::Application::ProcessMessages();
    auto* bar = qobject_cast<QProgressBar*>(ui::qt::WidgetOf(w.ProgressBar1));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 40);
    auto* l3 = qobject_cast<QLabel*>(ui::qt::WidgetOf(w.Label3));
    ASSERT_NE(l3, nullptr);
    EXPECT_EQ(l3->text().toStdString(), "Esc - перервати читання");
    ExpectCyrillic(l3);
    ASSERT_TRUE(ui::qt::RenderToPng(w, file));
    QImage img(QString::fromStdString(file));
    EXPECT_EQ(img.size(), QSize(332, 126));
    for (ui::Label* l : {&w.Label1, &w.Label2, &w.Label3}) EXPECT_GT(InkIn(img, AreaOf(w, *l)), 30) << l->Name();
    w.Close();
}

// A short message: the box is wide enough for its caption, which the
// window manager then shows whole; a box without a caption has a blank
// title, not the program's name.
TEST(Screenshot, ShortMessageShowsItsWholeCaption) {
    std::string file = ScreenFile("FormQues_kind2_short.png");
    int shown = 0;
    ui::qt::SetModalShownHook([&](ui::Form& f) {
        auto& q = static_cast<TFormQues&>(f);
        QWidget* w = ui::qt::WidgetOf(q);
        ASSERT_NE(w->windowHandle(), nullptr);
        const QString title = w->windowHandle()->title();
        if (++shown == 1) {
            EXPECT_EQ(title.toStdString(), "Помилка вводу параметрів");
            EXPECT_GE(q.Width(), q.CaptionWidth());
            EXPECT_GT(q.Width(), 10 * 24 + 20);  // more than the lines alone ask for
            EXPECT_EQ(w->width(), q.ClientWidth());
            EXPECT_LE(q.BitBtn3.Left() + q.BitBtn3.Width(), q.ClientWidth());
            EXPECT_EQ(q.BitBtn3.Left(), (q.Width() - q.BitBtn3.Width()) / 2);
            EXPECT_TRUE(ui::qt::RenderToPng(q, file));
            QImage img(QString::fromStdString(file));
            EXPECT_EQ(img.width(), q.Width());
            EXPECT_GT(InkIn(img, AreaOf(q, q.Label1)), 30);
        } else {
            EXPECT_FALSE(title.isEmpty());
            EXPECT_TRUE(title.trimmed().isEmpty()) << title.toStdString();
            EXPECT_EQ(q.Width(), q.BitBtn1.Width() + q.BitBtn2.Width() + 60);
        }
        q.BitBtn3.Click();
    });
    MessageKind = 2;
    ShowQues("Невірна адреса", "");
    MessageKind = 6;
    ShowQues("Готово", "");
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_EQ(shown, 2);

    TFormWait wait;
    wait.Mode = 3;
    wait.Show();
    ui::Application::ProcessMessages();
    QWindow* handle = ui::qt::WidgetOf(wait)->windowHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_FALSE(handle->title().isEmpty());
    EXPECT_TRUE(handle->title().trimmed().isEmpty());
    ASSERT_TRUE(ui::qt::RenderToPng(wait, ScreenFile("FormWait_mode3.png")));
    wait.Close();
}

}  // namespace
