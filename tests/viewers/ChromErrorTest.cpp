// The state-sign window: its lines, headings and heights for several status
// bytes and words.
#include <gtest/gtest.h>

#include "ViewerTestUtil.h"
#include "data/ChromError.h"

namespace {

using vt::ViewerTest;
using ChromErrorTest = ViewerTest;

std::vector<std::string> Lines(ui::Label* const* labels, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        if (labels[i] && !labels[i]->Caption().empty()) out.push_back(labels[i]->Caption());
    return out;
}

// Shows the window for one record's bytes and returns it laid out.
std::unique_ptr<TFormChromError> Shown(uint8_t mode, uint8_t status, uint16_t word = 0) {
    auto f = std::make_unique<TFormChromError>(nullptr);
    f->mode = mode;
    f->ctrlStatus = status;
    f->wordLow = uint8_t(word & 0xFF);
    f->wordHigh = uint8_t(word >> 8);
    f->Show();
    return f;
}

int Bottom(const ui::Control& c) { return c.Top() + c.Height(); }

TEST_F(ChromErrorTest, CreatedEmptyWithItsLabelsFoundByName) {
    TFormChromError f;
    EXPECT_EQ(f.Caption(), "Ознаки наявності нештатних сітуацій в роботі хроматографа");
    EXPECT_EQ(f.Panel3.Caption(), "   Статус контролера");
    EXPECT_EQ(f.Panel2.Caption(), "   Статус хроматографа");
    EXPECT_EQ(f.BitBtn2.Caption(), "Вихід");
    for (int i = 0; i < TFormChromError::kStatusLines; ++i) {
        ASSERT_NE(f.ls[i], nullptr);
        EXPECT_EQ(f.ls[i]->Name(), "ls" + std::to_string(i + 1));
        EXPECT_EQ(f.ls[i]->Parent(), &f.pnstatus);
        EXPECT_TRUE(f.ls[i]->Caption().empty());
    }
    for (int i = 0; i < TFormChromError::kWordLines; ++i) {
        ASSERT_NE(f.lh[i], nullptr);
        EXPECT_EQ(f.lh[i]->Parent(), &f.pnsit);
    }
    EXPECT_EQ(f.mode, 0);
    EXPECT_EQ(f.ctrlStatus, 0);
}

TEST_F(ChromErrorTest, NoChromatographLinkHidesTheWordWhateverItHolds) {
    auto f = Shown(0, 0x20, 0xFFFF);
    EXPECT_EQ(Lines(f->ls, 8), std::vector<std::string>{"Не було зв'язку з хроматографом"});
    EXPECT_EQ(f->Panel3.Caption(), "  Статус контролера: 0x20");
    EXPECT_FALSE(f->Panel2.Visible());
    EXPECT_FALSE(f->pnsit.Visible());
    EXPECT_EQ(f->pnstatus.Height(), 1 * 15 + 8);
    EXPECT_EQ(f->Height(), Bottom(f->pnstatus) + 96);
    EXPECT_EQ(f->Width(), 450);
    // Switched off hides it as well.
    auto g = Shown(0, 0x02, 0x0001);
    EXPECT_FALSE(g->pnsit.Visible());
    EXPECT_EQ(Lines(g->ls, 8), std::vector<std::string>{"Контролер був виключений"});
}

TEST_F(ChromErrorTest, NormalStatusAndWordBitsLowByteFirst) {
    auto f = Shown(0, 0, 0x0101);
    EXPECT_EQ(Lines(f->ls, 8), std::vector<std::string>{"Норма"});
    EXPECT_TRUE(f->Panel2.Visible());
    EXPECT_EQ(f->Panel2.Caption(), "  Статус хроматографа: 0x0101");
    EXPECT_EQ(Lines(f->lh, 16), (std::vector<std::string>{" Невдале автокалібрування",
                                                         " Перевищено рекомендовану кільк. аналізів без ремонту"}));
    EXPECT_EQ(f->Panel2.Top(), Bottom(f->pnstatus));
    EXPECT_EQ(f->pnsit.Top(), Bottom(f->Panel2));
    EXPECT_EQ(f->pnsit.Height(), 2 * 15 + 8);
    EXPECT_EQ(f->Height(), Bottom(f->pnsit) + 96);
    // Word 0 reads "Норма".
    auto g = Shown(0, 0, 0);
    EXPECT_EQ(Lines(g->lh, 16), std::vector<std::string>{"Норма"});
}

TEST_F(ChromErrorTest, EveryStatusBitHasALineOfItsOwn) {
    // All eight bits: eight lines, none lost; bits 1 and 5 hide the word.
    auto f = Shown(0, 0xFF, 0x1234);
    const auto lines = Lines(f->ls, 8);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines.front(), "Біт 0: Ознака не використовується");
    EXPECT_EQ(lines[6], "Бит 6: Признак не используется");
    EXPECT_EQ(lines.back(), "Бит 7: Ознака не використовується");
    EXPECT_EQ(f->pnstatus.Height(), 8 * 15 + 8);
    EXPECT_EQ(f->Height(), Bottom(f->pnstatus) + 96);
    // The last label lies inside its panel.
    EXPECT_LE(Bottom(*f->ls[7]), f->pnstatus.Height());
    // Six bits without 1 and 5, and the whole word: 6 + 16 lines.
    auto g = Shown(0, 0xDD, 0xFFFF);
    EXPECT_EQ(Lines(g->ls, 8).size(), 6u);
    EXPECT_EQ(Lines(g->lh, 16).size(), 16u);
    EXPECT_EQ(Lines(g->lh, 16).back(), " Не надходять дані від хроматографа");
    EXPECT_EQ(g->pnsit.Height(), 16 * 15 + 8);
    EXPECT_EQ(g->Height(), Bottom(g->pnsit) + 96);
    EXPECT_GT(g->BitBtn2.Top(), Bottom(g->pnsit));
    EXPECT_LE(Bottom(g->BitBtn2), g->ClientHeight());
}

TEST_F(ChromErrorTest, IntervalModeListsOnlyItsOwnBits) {
    auto f = Shown(1, 0x04);
    EXPECT_TRUE(Lines(f->ls, 8).empty());
    EXPECT_EQ(f->pnstatus.Height(), 8);
    EXPECT_FALSE(f->pnsit.Visible());
    EXPECT_EQ(f->Height(), Bottom(f->pnstatus) + 96);

    auto g = Shown(1, 0xFF);
    EXPECT_EQ(Lines(g->ls, 8), (std::vector<std::string>{
                                   "Нема даних - контролер був відключений",
                                   "Використовувалась ЗПЗ - був позаштатний режим роботи хроматографа",
                                   "Використовувалась ЗПЗ - значення виходило за припустиму межу",
                                   "Використовувалась ЗПЗ - не було зв'язку з HMU",
                                   "Використовувалась ЗПЗ - хроматограф не оновив дані"}));
    EXPECT_EQ(g->pnstatus.Height(), 5 * 15 + 8);
    auto h = Shown(1, 0);
    EXPECT_EQ(Lines(h->ls, 8), std::vector<std::string>{"Норма"});
}

TEST_F(ChromErrorTest, ShownAgainAfterMoreLinesForgetsThem) {
    auto f = Shown(0, 0xFF);
    f->Hide();
    f->ctrlStatus = 0x08;
    f->Show();
    EXPECT_EQ(Lines(f->ls, 8), std::vector<std::string>{"Є значення, що перевершують попередж. уставку"});
}

}  // namespace
