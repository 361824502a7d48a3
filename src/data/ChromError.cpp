#include "data/ChromError.h"

#include <cstdio>

namespace {

// Controller status of a measured value, one text per bit 0..7.
const char* const kMeasStatusTexts[8] = {
    "Біт 0: Ознака не використовується",
    "Контролер був виключений",
    "Не було зв'язку з вологоміром",
    "Є значення, що перевершують попередж. уставку",
    "Є значення, що перевершують авар. уставку",
    "Не було зв'язку з хроматографом",
    "Бит 6: Признак не используется",
    "Бит 7: Ознака не використовується",
};

// Controller status of an averaging interval: only these bits give a line.
const char* const kIntervalStatusTexts[8] = {
    nullptr,
    "Нема даних - контролер був відключений",
    nullptr,
    "Використовувалась ЗПЗ - був позаштатний режим роботи хроматографа",
    "Використовувалась ЗПЗ - значення виходило за припустиму межу",
    "Використовувалась ЗПЗ - не було зв'язку з HMU",
    "Використовувалась ЗПЗ - хроматограф не оновив дані",
    nullptr,
};

// Chromatograph status word: low byte bits 0..7, then high byte bits 0..7.
const char* const kWordTexts[16] = {
    " Невдале автокалібрування",
    " Сума ненормалізованих параметрів поза додатковими межами",
    " Помилка ОЗУ",
    " Час утримання етану не в нормі",
    " Помилка зв'язку",
    " Збій годинника реального часу",
    " Розряд батареї",
    " Хроматограф не відповідає",
    " Перевищено рекомендовану кільк. аналізів без ремонту",
    " Висота піку хроматограми вище допустимої",
    " Тиск газу-носія некерований",
    " Температура термостата нестабільна",
    " Помилка базової лінії хроматограми",
    " Тиск газу-носія не в нормі",
    " Занадто висока температура термостату",
    " Не надходять дані від хроматографа",
};

constexpr uint8_t kBitSwitchedOff = 0x02;
constexpr uint8_t kBitNoChromLink = 0x20;

constexpr int kPanelLeft = 8;
constexpr int kPanelWidth = 428;
constexpr int kHeadingHeight = 22;

std::string Hex(const char* fmt, unsigned a, unsigned b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

}  // namespace

TFormChromError::TFormChromError(ui::Component* owner) : ui::Form(owner, "FormChromError") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption("Ознаки наявності нештатних сітуацій в роботі хроматографа");
    SetBounds(0, 0, 450, 400);

    ui::Font heading;
    heading.Bold = true;
    for (ui::Panel* p : {&Panel3, &Panel2}) {
        p->SetAlignment(ui::TextAlign::Left);
        p->SetBevelOuter(ui::Bevel::Raised);
        p->SetFont(heading);
        p->SetColor(0xE8D8C8);
    }
    Panel3.SetCaption("   Статус контролера");
    Panel2.SetCaption("   Статус хроматографа");
    for (ui::Panel* p : {&pnstatus, &pnsit}) {
        p->SetBevelOuter(ui::Bevel::Lowered);
        p->SetColor(ui::clWindow);
    }
    Panel3.SetBounds(kPanelLeft, 8, kPanelWidth, kHeadingHeight);
    pnstatus.SetBounds(kPanelLeft, Panel3.Top() + kHeadingHeight, kPanelWidth, 8);
    Panel2.SetBounds(kPanelLeft, pnstatus.Top() + pnstatus.Height(), kPanelWidth, kHeadingHeight);
    pnsit.SetBounds(kPanelLeft, Panel2.Top() + kHeadingHeight, kPanelWidth, 8);

    for (int i = 0; i < kStatusLines; ++i) {
        auto& l = Make<ui::Label>("ls" + std::to_string(i + 1));
        l.SetParent(&pnstatus);
        l.SetBounds(8, 4 + i * kLineHeight, kPanelWidth - 12, kLineHeight);
    }
    for (int i = 0; i < kWordLines; ++i) {
        auto& l = Make<ui::Label>("lh" + std::to_string(i + 1));
        l.SetParent(&pnsit);
        l.SetBounds(8, 4 + i * kLineHeight, kPanelWidth - 12, kLineHeight);
    }

    BitBtn2.SetCaption("Вихід");
    BitBtn2.SetGlyph(ui::Glyph::Close);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrOk);
    BitBtn2.SetBounds((444 - 100) / 2, 0, 100, 28);

    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormChromError::FormCreate() {
    mode = 0;
    wordLow = wordHigh = ctrlStatus = 0;
    for (int i = 0; i < kStatusLines; ++i) {
        ls[i] = Find<ui::Label>("ls" + std::to_string(i + 1));
        if (ls[i]) ls[i]->SetCaption({});
    }
    for (int i = 0; i < kWordLines; ++i) {
        lh[i] = Find<ui::Label>("lh" + std::to_string(i + 1));
        if (lh[i]) lh[i]->SetCaption({});
    }
}

std::vector<std::string> TFormChromError::StatusLines(uint8_t mode, uint8_t status) {
    if (status == 0) return {"Норма"};
    std::vector<std::string> out;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(status & (1u << bit))) continue;
        const char* t = mode == 0 ? kMeasStatusTexts[bit] : kIntervalStatusTexts[bit];
        if (t) out.push_back(t);
    }
    return out;
}

std::vector<std::string> TFormChromError::WordLines(uint8_t low, uint8_t high) {
    if (low == 0 && high == 0) return {"Норма"};
    std::vector<std::string> out;
    const unsigned word = unsigned(low) | (unsigned(high) << 8);
    for (int bit = 0; bit < 16; ++bit)
        if (word & (1u << bit)) out.push_back(kWordTexts[bit]);
    return out;
}

// Puts the lines into the labels (the rest emptied); the number of lines.
int TFormChromError::Fill(ui::Label* const* labels, int count, const std::vector<std::string>& lines) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        if (!labels[i]) continue;
        if (i < int(lines.size())) {
            labels[i]->SetCaption(lines[i]);
            ++n;
        } else {
            labels[i]->SetCaption({});
        }
    }
    return n;
}

void TFormChromError::FormShow() {
    SetWidth(450);
    Panel3.SetCaption(Hex("  Статус контролера: 0x%02X", ctrlStatus));

    const int statusLines = Fill(ls, kStatusLines, StatusLines(mode == 0 ? 0 : 1, ctrlStatus));
    pnstatus.SetHeight(statusLines * kLineHeight + 8);
    int bottom = pnstatus.Top() + pnstatus.Height();

    const bool wordShown = mode == 0 && !(ctrlStatus & (kBitSwitchedOff | kBitNoChromLink));
    Panel2.SetVisible(wordShown);
    pnsit.SetVisible(wordShown);
    if (wordShown) {
        Panel2.SetTop(bottom);
        Panel2.SetCaption(Hex("  Статус хроматографа: 0x%02X%02X", wordHigh, wordLow));
        pnsit.SetTop(Panel2.Top() + Panel2.Height());
        const int wordLines = Fill(lh, kWordLines, WordLines(wordLow, wordHigh));
        pnsit.SetHeight(wordLines * kLineHeight + 8);
        bottom = pnsit.Top() + pnsit.Height();
    } else {
        Fill(lh, kWordLines, {});
    }
    SetHeight(bottom + 96);
    BitBtn2.SetTop(bottom + 20);
    BitBtn2.SetFocus();
}
