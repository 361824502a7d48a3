// The message box and the wait box through the headless driver.
#include <gtest/gtest.h>

#include "common/Question.h"
#include "common/Wait.h"
#include "ui/TestDriver.h"

namespace {

struct KindCase {
    int kind;
    const char* caption;
    const char* line3;
    std::vector<std::string> buttons;
};

TEST(Question, EveryKindHasItsCaptionThirdLineAndButtons) {
    const KindCase cases[] = {
        {1, "Помилка", "", {"BitBtn3"}},
        {2, "Помилка вводу параметрів", "", {"BitBtn3"}},
        {3, "", "", {"Ні", "Так"}},
        {4, "", "(див. поточний стан контролера)", {"BitBtn3"}},
        {5, "Результат обміну з пристроєм", "", {"BitBtn3"}},
        {6, "", "", {"BitBtn3"}},
        {7, "", "Повторити спробу?", {"Ні", "Так"}},
    };
    ui::test::Driver drv;
    for (const auto& c : cases) {
        drv.expectMessage(c.kind, "Рядок один", "Рядок два");
        if (c.buttons.size() == 2) drv.answerNo();
        MessageKind = c.kind;
        ShowQues("Рядок один", "Рядок два");
        const ui::MessageInfo& m = drv.messages().back();
        EXPECT_EQ(m.caption, c.caption) << c.kind;
        EXPECT_EQ(m.lines[2], c.line3) << c.kind;
        EXPECT_EQ(m.buttons, c.buttons) << c.kind;
        EXPECT_EQ(m.height, *c.line3 ? 175 : 150) << c.kind;
    }
}

TEST(Question, AnswersComeBackInMessageAnswer) {
    ui::test::Driver drv;
    MessageKind = 3;
    drv.answerYes();
    ShowQues("Корегувати параметри конфігурації?", "");
    EXPECT_EQ(MessageAnswer, 1);
    drv.answerNo();
    MessageKind = 7;
    ShowQues("Команда 2.  Немає відповіді", "");
    EXPECT_EQ(MessageAnswer, 0);
    // Closed through the window's close box: "Ні".
    MessageAnswer = 1;
    drv.onModal<TFormQues>([](TFormQues&) {});
    MessageKind = 3;
    ShowQues("Ви впевнені, що хочете виконати скидання", "всіх енергонезалежних даних?");
    EXPECT_EQ(MessageAnswer, 0);
    // Esc answers "Ні"; "Так" has the focus.
    drv.onModal<TFormQues>([&](TFormQues& f) {
        EXPECT_EQ(f.ActiveControl(), &f.BitBtn1);
        MessageAnswer = 1;
        drv.pressKey(ui::key::Escape);
    });
    ShowQues("?", "");
    EXPECT_EQ(MessageAnswer, 0);
    // Creating the box clears the answer.
    MessageAnswer = 1;
    TFormQues q;
    EXPECT_EQ(MessageAnswer, 0);
}

TEST(Question, SizeFollowsTheTextsInCharacters) {
    ui::test::Driver drv;
    int seen = 0;
    drv.onModal<TFormQues>([&](TFormQues& f) {
        ++seen;
        if (seen == 1) {  // kind 6, two short lines: height 150, width of the buttons
            EXPECT_EQ(f.Height(), 150);
            EXPECT_EQ(f.Width(), f.BitBtn1.Width() + f.BitBtn2.Width() + 60);
            EXPECT_EQ(f.ActiveControl(), &f.BitBtn3);
            EXPECT_EQ(f.BitBtn3.Left(), (f.Width() - f.BitBtn3.Width()) / 2);
        } else if (seen == 2) {  // 60 characters of Cyrillic (120 bytes): 620
            EXPECT_EQ(f.Width(), 620);
            EXPECT_EQ(f.Height(), 124);
            EXPECT_EQ(f.Label1.Width(), 606);
        } else {  // the question: "Ні" left, "Так" right, equal gaps
            int gap = (f.Width() - f.BitBtn1.Width() - f.BitBtn2.Width()) / 3 - 3;
            EXPECT_EQ(f.BitBtn2.Left(), gap);
            EXPECT_EQ(f.BitBtn1.Left(), gap + f.BitBtn2.Width() + gap);
            EXPECT_EQ(f.Height(), 175);
            EXPECT_EQ(f.Width(), 10 * 24 + 20);  // "Результат..." is no question; the caption is empty
        }
        f.Close();
    });
    MessageKind = 6;
    ShowQues("Так", "Ні");
    MessageKind = 1;
    std::string sixty;
    for (int i = 0; i < 6; ++i) sixty += "Контролер ";
    ShowQues(sixty, "");
    MessageKind = 7;
    ShowQues("Команда 25.  Помилка CRC", "");
    EXPECT_EQ(seen, 3);
}

TEST(Question, ALongLineNeverMakesTheBoxWiderThanTheScreen) {
    ui::test::Driver drv;
    drv.setScreen(800, 600, 96);
    std::string path = "/home/technician/";
    for (int i = 0; i < 12; ++i) path += "Архіви ГРС/";
    drv.onModal<TFormQues>([&](TFormQues& f) {
        EXPECT_EQ(f.Width(), 800);
        EXPECT_LE(f.BitBtn3.Left() + f.BitBtn3.Width(), f.ClientWidth());
        f.Close();
    });
    MessageKind = 1;
    ShowQues("Помилка роботи з файлом", path);
}

TEST(Wait, TextsByModeAndSize) {
    ui::test::Driver drv;
    const char* expected[][3] = {
        {"Очікуйте...", "Виконується перевірка", "всіх параметрів конфігурації"},
        {"Очікуйте...", "Виконується читання даних", "Esc - перервати читання"},
        {"Очікуйте...", "Виконується запис параметрів", "конфігурації в контролер"},
        {"Очікуйте...", "Виконується читання", "параметрів конфігурації"},
        {"Очікуйте...", "Виконується створення", "таблиці у форматі Excel"},
        {"Команда передана. Виконується перевірка", "відновлення зв'язку з контролером", "Очікуйте..."},
    };
    for (int mode = 0; mode <= 6; ++mode) {
        TFormWait w;
        EXPECT_EQ(w.Mode, 0);
        EXPECT_EQ(w.Label1.Caption(), "Очікуйте...");
        w.Mode = std::uint8_t(mode);
        w.Show();
        EXPECT_EQ(w.Width(), 332);
        EXPECT_EQ(w.Height(), 126);
        EXPECT_EQ(w.BorderIcons(), 0);
        if (mode < 6) {
            EXPECT_EQ(w.Label1.Caption(), expected[mode][0]);
            EXPECT_EQ(w.Label2.Caption(), expected[mode][1]);
            EXPECT_EQ(w.Label3.Caption(), expected[mode][2]);
        } else {
            EXPECT_EQ(w.Label2.Caption(), "");
        }
        w.ProgressBar1.SetPosition(140);
        EXPECT_EQ(w.ProgressBar1.Position(), 100);
    }
}

}  // namespace
