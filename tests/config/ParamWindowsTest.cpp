// The parameter windows through the headless backend, on blocks of their
// own: what they show of the bytes they get, the operator's input with its
// refusals, and the bytes they hand back (only when accepted).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "common/Stringi.h"
#include "config/ConfigImage.h"
#include "config/ContrName.h"
#include "config/Dt.h"
#include "config/Ident.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/VichInf.h"
#include "link/Conneth.h"
#include "platform/Codepage.h"
#include "ui/TestDriver.h"

namespace {

class ParamWindows : public ::testing::Test {
protected:
    void SetUp() override { InitConfigImage(); }
    void TearDown() override { drv.verify(); }
    ui::test::Driver drv;
};

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// ---------------------------------------------------------------- Ethernet

std::array<uint8_t, 28> EthernetBlock() {
    std::array<uint8_t, 28> b{10, 1, 168, 192, 0, 255, 255, 255, 1, 1, 168, 192};
    const uint32_t ports[4] = {502, 503, 5020, 5021};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) b[12 + 4 * i + k] = uint8_t(ports[i] >> (8 * k));
    return b;
}

TEST_F(ParamWindows, EthernetShowsTheAddressLeftToRightAndStoresWhatWasTyped) {
    auto block = EthernetBlock();
    drv.onModal<TFormConEth>([](TFormConEth& f) {
        EXPECT_EQ(f.Caption(), " Параметры связи по Ethernet");
        EXPECT_EQ(f.Width(), 414);
        EXPECT_EQ(f.Height(), 374);
        EXPECT_TRUE(f.BitBtn14.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        EXPECT_EQ(f.ip4.Text() + "." + f.ip3.Text() + "." + f.ip2.Text() + "." + f.ip1.Text(), "192.168.1.10");
        EXPECT_EQ(f.im4.Text() + "." + f.im1.Text(), "255.0");
        EXPECT_EQ(f.e1.Text(), "502");
        EXPECT_EQ(f.e4.Text(), "5021");
        EXPECT_EQ(f.ip[3], &f.ip4);  // collected by name
        EXPECT_EQ(f.e[2], &f.e3);
        // Only digits reach the edits, three at most in an octet.
        f.is1.SelectAll();
        f.is1.TypeText("2x54");
        EXPECT_EQ(f.is1.Text(), "254");
        f.e3.SelectAll();
        f.e3.TypeText("6000");
        f.BitBtn14.Click();
    });
    TFormConEth f(nullptr);
    f.Block = block.data();
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(block[8], 254);
    EXPECT_EQ(U32(block.data() + 20), 6000u);
    EXPECT_EQ(U32(block.data() + 12), 502u);
}

TEST_F(ParamWindows, EthernetRefusesOctetsAndPortsOutOfRangeAndTextThatIsNoNumber) {
    auto block = EthernetBlock();
    const auto before = block;
    drv.expectMessage(2, "Поле IP-адреси поза припустимого діапазону", "(0...255)");
    drv.expectMessage(2, "Порт поза припустимого діапазону", "(1...65535)");
    drv.expectMessage(2, "Порт поза припустимого діапазону", "(1...65535)");
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.onModal<TFormConEth>([](TFormConEth& f) {
        EXPECT_TRUE(f.BitBtn1.Visible());  // mode 0
        f.ip2.SetText("300");               // never stored as 44
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        EXPECT_TRUE(f.ip2.Focused());
        f.ip2.SetText("168");
        f.e2.SetText("70000");
        f.BitBtn1.Click();
        f.e2.SetText("0");
        f.BitBtn1.Click();
        f.e2.SetText("12a");  // pasted: no number
        f.BitBtn1.Click();
        f.e2.SetText("503");
        f.im3.SetText("");
        f.BitBtn1.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        f.BitBtn2.Click();
    });
    TFormConEth f(nullptr);
    f.Block = block.data();
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(block, before);
}

// ---------------------------------------------------------------- identification

TEST_F(ParamWindows, IdentificationFullViewAndInvalidDateBytes) {
    uint8_t id[18] = {5, 'I', 2, 11, 24, 13, 0, 24, 60, 61, 7, 0, 0, 3, 4, 1, 0, 0};
    drv.onModal<TFormIdent>([](TFormIdent& f) {
        EXPECT_EQ(f.Caption(), " Параметри ідентифікації контролера");
        EXPECT_EQ(f.pn1.Caption(), "73");
        EXPECT_EQ(f.pn2.Caption(), "11");
        EXPECT_EQ(f.pn3.Caption(), "2");
        // month 13, day 0, hour 24, minute 60, second 61: none of them valid.
        EXPECT_EQ(f.pn4.Caption(), "**.**.24  **:**:**");
        EXPECT_EQ(f.pn5.Caption(), " ? ");
        EXPECT_EQ(f.pn6.Caption(), "Порушена таблиця 5");
        EXPECT_EQ(f.pn6.Font().Color, ui::clRed);
        EXPECT_EQ(f.pn7.Caption(), "Нет");
        EXPECT_EQ(f.pn8.Caption(), "Немає. Адреса = 3");
        EXPECT_EQ(f.pn9.Caption(), "4.1.0");
        EXPECT_TRUE(f.Label9.Enabled());
    });
    TFormIdent f(nullptr);
    f.Ident = id;
    f.FullView = 1;
    f.ShowModal();

    EXPECT_EQ(TFormIdent::SoftwareDateText((const uint8_t*)"\x0c\x05\x0e\x0a\x1e\x00"), "14.05.12  10:30:00");
    EXPECT_EQ(TFormIdent::SoftwareDateText((const uint8_t*)"\x64\x00\x20\x17\x3b\x3b"), "**.**.**  23:59:59");

    // The configuration editor's view: type and version only.
    id[0] = 0;
    id[10] = 1;
    drv.onModal<TFormIdent>([](TFormIdent& f) {
        EXPECT_EQ(f.pn1.Caption(), "73");
        EXPECT_EQ(f.pn2.Caption(), "11");
        for (int r = 2; r < TFormIdent::kRows; ++r) {
            EXPECT_EQ(f.RowPanel(r).Caption(), "") << r;
            EXPECT_FALSE(f.RowLabel(r).Enabled()) << r;
        }
        EXPECT_TRUE(f.Label1.Enabled());
    });
    TFormIdent g(nullptr);
    g.Ident = id;
    g.ShowModal();
}

// ---------------------------------------------------------------- system parameters

// Table 6 as the emulator's factory holds it, with other seasons.
std::array<uint8_t, 12> SysBlock() { return {3, 0xC9, 3, 10, 0xC9, 4, 7, 1, 1, 1, 0x5A, 0xA5}; }

TEST_F(ParamWindows, SystemParametersShowTheRulesAndEncodeTheDayBytes) {
    auto block = SysBlock();
    block[0] = 0;     // summer: no transition (day byte and hour kept)
    block[3] = 9;     // winter from 15 September at 4:00
    block[4] = 15;
    drv.onModal<TFormSys>([](TFormSys& f) {
        EXPECT_EQ(f.Caption(), " Системні параметрb контролера");
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_FALSE(f.BitBtn3.Visible());
        EXPECT_EQ(f.ComboBox1.Text(), "7:00");
        EXPECT_TRUE(f.CheckBox1.Checked());
        EXPECT_FALSE(f.CheckBox1.Enabled());
        EXPECT_EQ(f.ComboBox8.ItemIndex(), 0);
        EXPECT_FALSE(f.ComboBox7.Visible());
        EXPECT_FALSE(f.ComboBox11.Visible());
        EXPECT_EQ(f.ComboBox14.Text(), "Вересень");
        EXPECT_EQ(f.ComboBox13.Text(), "День місяця (число)");
        EXPECT_EQ(f.ComboBox15.ItemCount(), 30);
        EXPECT_EQ(f.ComboBox15.Text(), "15");
        EXPECT_FALSE(f.ComboBox12.Visible());
        EXPECT_EQ(f.ComboBox17.Text(), "4:00");

        // Summer: last Sunday of March at 3:00.
        f.ComboBox8.Select("Березень");
        EXPECT_TRUE(f.ComboBox7.Visible());
        EXPECT_EQ(f.ComboBox6.Text(), "Останній");  // the loaded rule comes back
        EXPECT_EQ(f.ComboBox10.Text(), "Неділя");
        f.ComboBox6.Select("Перший");
        f.ComboBox6.Select("Останній");
        f.ComboBox11.Select("3:00");
        EXPECT_EQ(f.SeasonDay(0), 0xC9);
        // Winter: 15 October at 4:00, then the second-to-last Saturday.
        f.ComboBox14.Select("Жовтень");
        EXPECT_EQ(f.ComboBox15.ItemCount(), 31);
        f.ComboBox15.Select("15");
        f.ComboBox17.Select("4:00");
        EXPECT_EQ(f.SeasonMonth(1), 10);
        EXPECT_EQ(f.SeasonDay(1), 15);
        EXPECT_EQ(f.SeasonHour(1), 4);
        f.ComboBox13.Select("День тижня в місяці");
        f.ComboBox12.Select("Передостанній");
        f.ComboBox16.Select("Субота");
        EXPECT_EQ(f.SeasonDay(1), 0xFA);
        f.ComboBox1.Select(23);
        f.CheckBox2.Click();
        f.BitBtn1.Click();
    });
    TFormSys f(nullptr);
    f.Block = block.data();
    f.Mode = 1;
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(block, (std::array<uint8_t, 12>{3, 0xC9, 3, 10, 0xFA, 4, 23, 1, 0, 1, 0x5A, 0xA5}));
}

TEST_F(ParamWindows, SystemParametersNeverStoreADayNumberUnderTheWeekdayFlag) {
    auto block = SysBlock();
    block[1] = 28;  // summer: 28 March, a fixed day
    const auto before = block;
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.onModal<TFormSys>([](TFormSys& f) {
        EXPECT_EQ(f.ComboBox9.Text(), "28");
        f.ComboBox7.Select("День тижня в місяці");
        // Neither the ordinal nor the weekday is chosen: the day number is gone.
        EXPECT_EQ(f.ComboBox6.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox10.ItemIndex(), -1);
        EXPECT_EQ(f.SeasonDay(0), 0x80);
        f.BitBtn3.Click();
        EXPECT_TRUE(f.ComboBox6.Focused());
        f.ComboBox6.Select("Другий");
        f.BitBtn3.Click();  // still no weekday
        EXPECT_TRUE(f.ComboBox10.Focused());
        // Back to the fixed day: the loaded day again.
        f.ComboBox7.Select("День місяця (число)");
        EXPECT_EQ(f.ComboBox9.Text(), "28");
        EXPECT_EQ(f.SeasonDay(0), 28);
        f.BitBtn3.Click();
    });
    TFormSys f(nullptr);
    f.Block = block.data();
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(block, before);
}

TEST_F(ParamWindows, SystemParametersShowNoChoiceForBytesOutOfRange) {
    // Summer month 7, winter weekday 0 with ordinal 5, contract hour 30.
    std::array<uint8_t, 12> block{7, 0xC9, 3, 10, 0x85, 4, 30, 1, 0, 0, 0, 1};
    const auto before = block;
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.onModal<TFormSys>([](TFormSys& f) {
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox8.ItemIndex(), -1);
        EXPECT_FALSE(f.ComboBox7.Visible());
        EXPECT_EQ(f.SeasonMonth(0), 7);  // not turned into "no transition"
        EXPECT_EQ(f.ComboBox12.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox16.ItemIndex(), -1);
        f.BitBtn3.Click();
        f.BitBtn2.Click();
    });
    TFormSys f(nullptr);
    f.Block = block.data();
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(block, before);
}

// ---------------------------------------------------------------- clock

DeviceDateTime Rec(int y, int mo, int d, int h, int mi, int s) {
    return {uint8_t(y - 2000), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

TEST_F(ParamWindows, ClockCorrectionStaysInTheControllersHour) {
    struct Case {
        DeviceDateTime ctl, pc;
        int correction;
    };
    const Case cases[] = {
        {Rec(2024, 5, 6, 10, 15, 20), Rec(2024, 5, 6, 10, 17, 5), 105},
        {Rec(2024, 5, 6, 10, 59, 50), Rec(2024, 5, 6, 11, 0, 10), 10},
        {Rec(2024, 5, 6, 11, 0, 10), Rec(2024, 5, 6, 10, 59, 50), -10},
        {Rec(2024, 5, 6, 8, 20, 0), Rec(2024, 5, 6, 10, 20, 0), 2400},
        // Day, month and year boundaries: an earlier controller goes to the
        // end of its hour, a later one back to its start.
        {Rec(2024, 5, 6, 23, 59, 58), Rec(2024, 5, 7, 0, 0, 3), 2},
        {Rec(2024, 2, 29, 23, 59, 45), Rec(2024, 3, 1, 0, 0, 0), 15},
        {Rec(2024, 12, 31, 23, 59, 50), Rec(2025, 1, 1, 0, 0, 10), 10},
        {Rec(2025, 1, 1, 0, 0, 10), Rec(2024, 12, 31, 23, 59, 50), -10},
        {Rec(2025, 3, 1, 0, 1, 0), Rec(2025, 2, 28, 23, 59, 0), -60},
        {Rec(2024, 12, 31, 23, 0, 0), Rec(2025, 1, 1, 0, 0, 0), 3600},
    };
    for (const Case& c : cases) EXPECT_EQ(TFormDt::CorrectionFor(c.ctl, c.pc), c.correction);
}

TEST_F(ParamWindows, ClockWindowMarksWhatDiffersFromThePc) {
    // Controller 31.12.24 23:59:50 (Tuesday, winter), chromatograph on the PC's date.
    const uint8_t clock[8] = {24, 12, 31, 23, 59, 50, 3, 1};
    std::memcpy(RowPtr(2, 0), clock, 8);
    const uint8_t chrom[6] = {25, 1, 1, 0, 0, 10};
    std::memcpy(RowPtr(42, 0), chrom, 6);
    const uint8_t sys[12] = {3, 0xC9, 3, 10, 0xC9, 4, 7, 1, 1, 1, 0, 1};
    std::memcpy(RowPtr(6, 0), sys, 12);
    drv.answerYes();
    drv.onModal<TFormDt>([](TFormDt& f) {
        EXPECT_EQ(f.Caption(), " Поточні дата і час");
        EXPECT_EQ(f.pnDate1.Caption(), "31.12.24");
        EXPECT_EQ(f.pnTime1.Caption(), "23:59:50");
        EXPECT_EQ(f.pnDay1.Caption(), "Вівторок");
        EXPECT_EQ(f.pnSeason1.Caption(), "Зимовий");
        EXPECT_EQ(f.pnDate2.Caption(), "01.01.25");
        EXPECT_EQ(f.pnTime2.Caption(), "00:00:10");
        EXPECT_EQ(f.pnDay2.Caption(), "Середа");
        EXPECT_EQ(f.pnSeason2.Caption(), "Зимовий");
        EXPECT_EQ(f.pnDate1.Font().Color, ui::clRed);
        EXPECT_EQ(f.pnTime1.Font().Color, ui::clRed);
        EXPECT_EQ(f.pnDay1.Font().Color, ui::clRed);
        EXPECT_EQ(f.pnSeason1.Font().Color, ui::clBlack);
        EXPECT_EQ(f.pnDate3.Font().Color, ui::clBlack);
        EXPECT_EQ(f.pnTime3.Font().Color, ui::clBlack);
        EXPECT_TRUE(f.BitBtn3.Enabled());
        EXPECT_FALSE(f.Label9.Visible());
        f.BitBtn3.Click();
    });
    TFormDt f(nullptr);
    f.PcTime = EncodeDateTime(2025, 1, 1, 0, 0, 10);
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Correction, 10);
    EXPECT_EQ(drv.messages().back().lines[0], "Ви впевнені, що годинник ЕОМ показує правильний час?");

    // No correction from the PC allowed; a weekday byte out of range.
    RowPtr(6, 0)[11] = 0;
    RowPtr(2, 0)[6] = 9;
    drv.onModal<TFormDt>([](TFormDt& f) {
        EXPECT_FALSE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.Label9.Visible());
        EXPECT_EQ(f.Label9.Caption(), "Синхронізація часу контролера з часом ЕОМ заборонена");
        EXPECT_EQ(f.pnDay1.Caption(), "?");
    });
    TFormDt g(nullptr);
    g.PcTime = EncodeDateTime(2025, 7, 1, 12, 0, 0);
    g.ShowModal();
    EXPECT_EQ(g.accepted, 0);
    EXPECT_EQ(g.PcSeason, 0);  // July: summer time by the rules
}

TEST_F(ParamWindows, TimeSynchronisationFollowsTheControllersFlags) {
    uint8_t flags[4] = {1, 1, 1, 1};
    drv.onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& f) {
        EXPECT_TRUE(f.BitBtn14.Visible());
        EXPECT_TRUE(f.CheckBox3.Checked());
        EXPECT_TRUE(f.CheckBox4.Checked());
        f.CheckBox2.Click();  // "З часом ЕОМ" off: its chromatograph flag goes too
        EXPECT_FALSE(f.CheckBox4.Checked());
        EXPECT_FALSE(f.CheckBox4.Enabled());
        EXPECT_FALSE(f.Label5.Enabled());
        EXPECT_TRUE(f.CheckBox3.Enabled());
        f.BitBtn14.Click();
    });
    TFormTime_Sinhr f(nullptr);
    f.Block = flags;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(std::vector<uint8_t>(flags, flags + 4), (std::vector<uint8_t>{1, 0, 1, 0}));

    // Cancel leaves the flags.
    drv.onModal<TFormTime_Sinhr>([](TFormTime_Sinhr& f) {
        EXPECT_FALSE(f.CheckBox4.Enabled());
        f.CheckBox1.Click();
        f.BitBtn2.Click();
    });
    TFormTime_Sinhr g(nullptr);
    g.Block = flags;
    g.ShowModal();
    EXPECT_EQ(g.accepted, 0);
    EXPECT_EQ(std::vector<uint8_t>(flags, flags + 4), (std::vector<uint8_t>{1, 0, 1, 0}));
}

// ---------------------------------------------------------------- names

TEST_F(ParamWindows, NamesAreWholeAt20BytesAndCutInWindows1251Bytes) {
    uint8_t names[60 + 4];
    std::memset(names, 0, sizeof names);
    // A full row: 20 bytes, no terminator, the next row right behind it.
    platform::WriteField(names, 20, "Газорозподільна ст.1", ' ');
    platform::WriteField(names + 20, 20, "  Нитка\t1 ", ' ');
    std::memset(names + 40, ' ', 20);
    std::memcpy(names + 60, "XXXX", 4);  // past the block: never read
    EXPECT_EQ(TFormContrName::NameText(names), "Газорозподільна ст.1");
    EXPECT_EQ(TFormContrName::NameText(names + 20), "Нитка\t1");
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.expectMessage(2, "Уведені не всі параметри", "");
    drv.onModal<TFormContrName>([](TFormContrName& f) {
        EXPECT_EQ(f.Caption(), " Найменування");
        EXPECT_EQ(f.Edit1.Text(), "Газорозподільна ст.1");
        EXPECT_EQ(f.Edit3.Text(), "");  // 20 blanks
        f.BitBtn1.Click();
        EXPECT_TRUE(f.Edit3.Focused());
        f.Edit3.TypeText("   ");
        f.BitBtn1.Click();
        f.Edit3.SetText("");
        // At most 20 characters; a character Windows-1251 lacks is one byte.
        f.Edit3.TypeText("Лінія ★2 — довга назва нитки");
        EXPECT_EQ(f.Edit3.Text(), "Лінія ★2 — довга наз");
        f.BitBtn1.Click();
    });
    TFormContrName f(nullptr);
    f.Block = names;
    f.Mode = 1;
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(std::string((char*)names, 20), platform::Utf8ToCp1251("Газорозподільна ст.1"));
    // Unchanged: its bytes stay, blanks and all.
    EXPECT_EQ(std::string((char*)names + 20, 20), platform::Utf8ToCp1251("  Нитка\t1 ") + std::string(10, ' '));
    EXPECT_EQ(std::string((char*)names + 40, 20), platform::Utf8ToCp1251("Лінія ?2 — довга наз"));
    EXPECT_EQ(std::string((char*)names + 60, 4), "XXXX");
}

// ---------------------------------------------------------------- flow computers

TEST_F(ParamWindows, FlowComputerStatesShowAsManyRowsAsExist) {
    uint8_t block[48] = {};
    for (int i = 0; i < 16; ++i) {
        block[i] = uint8_t(i + 1);
        block[16 + i] = i % 2;
        block[32 + i] = i % 3 == 0;
    }
    ConfigImage[cfgofs::kFlowLink] = 3;
    drv.onModal<TFormVichInf>([](TFormVichInf& f) {
        EXPECT_EQ(f.Caption(), " Стан обміну з обчислювачами ВГ");
        EXPECT_EQ(f.RowCount(), 3);
        EXPECT_TRUE(f.pn[2]->Visible());
        EXPECT_FALSE(f.pn[3]->Visible());
        EXPECT_EQ(f.Height(), 3 * (TFormVichInf::kRowHeight - 1) + TFormVichInf::kFirstRowTop + 94);
        EXPECT_EQ(f.la[1]->Caption(), "2");
        EXPECT_EQ(f.lc[0]->Caption(), "Ні");
        EXPECT_EQ(f.lc[0]->Font().Color, ui::clRed);
        EXPECT_EQ(f.lc[1]->Caption(), "Є");
        EXPECT_EQ(f.lc[1]->Font().Color, ui::clBlack);
        EXPECT_EQ(f.lw[0]->Caption(), "Записується");
        EXPECT_EQ(f.lw[1]->Caption(), "Не записується");
        EXPECT_EQ(f.lw[1]->Font().Color, ui::clRed);
    });
    TFormVichInf f(nullptr);
    f.Block = block;
    f.ShowModal();

    // A count the tables cannot hold shows the 16 rows that exist; none shows none.
    for (int count : {200, 0}) {
        ConfigImage[cfgofs::kFlowLink] = uint8_t(count);
        drv.onModal<TFormVichInf>([count](TFormVichInf& f) {
            EXPECT_EQ(f.RowCount(), count ? 16 : 0);
            EXPECT_EQ(f.pn[15]->Visible(), count != 0);
            EXPECT_FALSE(f.pn[0]->Visible() && count == 0);
        });
        TFormVichInf g(nullptr);
        g.Block = block;
        g.ShowModal();
    }
}

}  // namespace
