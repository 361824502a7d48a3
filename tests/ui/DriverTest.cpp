// The test driver itself: what it records and what it reports as failures.
#include <gtest/gtest.h>

#include "ui/TestDriver.h"
#include "ui/Ui.h"

namespace {

class TFormOuter : public ui::Form {
public:
    TFormOuter() : ui::Form(nullptr, "Outer") { Button1.OnClick = [this] { OpenInner(); }; }
    void OpenInner();
    ui::Button Button1{this, "Button1"};
    ui::SaveDialog SaveDialog1{this, "SaveDialog1"};
    std::string innerText;
};

class TFormInner : public ui::Form {
public:
    TFormInner() : ui::Form(nullptr, "Inner") { Ok.SetModalResult(ui::mrOk); }
    ui::Edit Edit1{this, "Edit1"};
    ui::Button Ok{this, "Ok"};
};

void TFormOuter::OpenInner() {
    TFormInner inner;
    if (inner.ShowModal() == ui::mrOk) innerText = inner.Edit1.Text();
}

TEST(Driver, NestedModalWindowsRunTheirHandlers) {
    ui::test::Driver drv;
    drv.onModal<TFormOuter>([](TFormOuter& f) { f.Button1.Click(); f.Close(); });
    drv.onModal<TFormInner>([](TFormInner& f) { f.Edit1.SetText("ГРС-1"); f.Ok.Click(); });
    TFormOuter outer;
    EXPECT_EQ(outer.ShowModal(), ui::mrCancel);
    EXPECT_EQ(outer.innerText, "ГРС-1");
    EXPECT_EQ(drv.modalLog().size(), 2u);
    EXPECT_EQ(drv.modalLog()[1], "(anonymous namespace)::TFormInner");
}

TEST(Driver, AHandlerKeepsItsStateFromWindowToWindow) {
    ui::test::Driver drv;
    // Accepts twice, then cancels: a handler that counted afresh at every
    // window would accept for ever.
    drv.onModal<TFormInner>([n = 0](TFormInner& f) mutable {
        if (++n <= 2) f.Ok.Click();
    });
    int accepted = 0;
    for (int i = 0; i < 10; ++i) {
        TFormInner inner;
        if (inner.ShowModal() != ui::mrOk) break;
        ++accepted;
    }
    EXPECT_EQ(accepted, 2);
    // A handler that replaces itself finishes its own call first.
    int first = 0, second = 0;
    drv.onModal<TFormInner>([&](TFormInner& f) {
        ++first;
        drv.onModal<TFormInner>([&](TFormInner&) { ++second; });
        f.Edit1.SetText("after replacing");
        f.Ok.Click();
    });
    TFormInner a, b;
    EXPECT_EQ(a.ShowModal(), ui::mrOk);
    EXPECT_EQ(b.ShowModal(), ui::mrCancel);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    // The message-loop hook likewise.
    int pumps = 0;
    drv.onProcessMessages([k = 0, &pumps]() mutable { pumps = ++k; });
    for (int i = 0; i < 3; ++i) ui::Application::ProcessMessages();
    EXPECT_EQ(pumps, 3);
}

TEST(Driver, ReportsUnexpectedWindowsMessagesAndLeftovers) {
    std::vector<std::string> failures;
    {
        ui::test::Driver drv;
        drv.onFailure = [&](const std::string& w) { failures.push_back(w); };
        TFormInner inner;
        EXPECT_EQ(inner.ShowModal(), ui::mrCancel);  // no handler: closed, reported
        drv.expectMessage(1, "Помилка відкриття файлу");
        ui::Application::MessageBox("Помилка визову socket", "");
        drv.answerYes();
        drv.expectMessage(6, "never shown");
    }
    ASSERT_EQ(failures.size(), 4u);
    EXPECT_NE(failures[0].find("unexpected modal window"), std::string::npos);
    EXPECT_NE(failures[1].find("Помилка визову socket"), std::string::npos);
    EXPECT_NE(failures[2].find("never shown"), std::string::npos);
    EXPECT_NE(failures[3].find("never asked"), std::string::npos);
}

TEST(Driver, ApplicationMessageBoxIsRecordedAndAnswered) {
    ui::test::Driver drv;
    ui::Application::MessageBox("Перевищено час очікування з'єднання сервер/клієнт", "");
    drv.answerNo();
    EXPECT_EQ(ui::Application::MessageBox("Далі?", "Питання", ui::MB_YESNO), ui::IDNO);
    drv.expectQuestion(0, "Ще?", "", true);
    EXPECT_EQ(ui::Application::MessageBox("Ще?", "", ui::MB_YESNO), ui::IDYES);
    ASSERT_EQ(drv.messages().size(), 3u);
    EXPECT_EQ(drv.messages()[1].caption, "Питання");
    EXPECT_TRUE(drv.messages()[1].question);
    EXPECT_NE(drv.findMessage("Перевищено час очікування з'єднання сервер/клієнт"), nullptr);
    // A question without an answer is a failure, answered "no".
    std::vector<std::string> failures;
    drv.onFailure = [&](const std::string& w) { failures.push_back(w); };
    EXPECT_EQ(ui::Application::MessageBox("?", "", ui::MB_YESNO), ui::IDNO);
    EXPECT_EQ(failures.size(), 1u);
}

TEST(Driver, FileDialogsTakeScriptedChoices) {
    ui::test::Driver drv;
    TFormOuter f;
    ui::SaveDialog& d = f.SaveDialog1;
    d.Title = "Вибір файлу для збереження даних";
    d.Filter = "DataFiles (*.hch)|*.hch|Усі|*.*";
    d.DefaultExt = ".hch";
    d.InitialDir = "/tmp/HOURDATA";
    d.FileName = "zbr11-001_ГРС_240101.hch";
    drv.chooseFile("/tmp/HOURDATA/mine");
    drv.cancelFileDialog();
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, "/tmp/HOURDATA/mine.hch");  // the default extension added
    EXPECT_FALSE(d.Execute());
    ASSERT_EQ(drv.fileDialogs().size(), 2u);
    EXPECT_TRUE(drv.fileDialogs()[0].save);
    EXPECT_EQ(drv.fileDialogs()[0].fileName, "zbr11-001_ГРС_240101.hch");
    auto entries = d.FilterEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].patterns, "*.hch");
}

}  // namespace
