// The display-format window: digit counts shown and derived, bytes 0..3
// kept, cancel, refusals, and the file written or its failure reported.
#include <gtest/gtest.h>

#include <filesystem>

#include "ViewerTestUtil.h"
#include "config/Formate.h"
#include "common/ReportFormat.h"

namespace {

using namespace vt;
using DisplayFormat = ViewerTest;

std::string FormatFile() { return ReportFormatPath(); }

TEST_F(DisplayFormat, DefaultsShowFourEverywhere) {
    ASSERT_FALSE(LoadReportFormat(FormatFile(), ReportFormat));  // no file: defaults
    drv->onModal<TFormRepConf>([](TFormRepConf& f) {
        EXPECT_EQ(f.Width(), 394);
        EXPECT_EQ(f.Height(), 440);
        EXPECT_EQ(f.Label10.Caption(), " Формат представлення даних");
        EXPECT_EQ(f.Label11.Caption(), "(кількість знаків після коми)");
        EXPECT_EQ(f.Label1.Caption(), "Молярна частка параметру газа, % ");
        EXPECT_EQ(f.Label9.Caption(), "Фактор стисливості");
        for (int g = 0; g < TFormRepConf::kGroups; ++g) {
            EXPECT_EQ(f.Combo(g).Items().front(), "2");
            EXPECT_EQ(f.Combo(g).Items().back(), "10");
            EXPECT_EQ(f.Combo(g).Item(f.Combo(g).ItemIndex()), "4") << g;
        }
        EXPECT_EQ(f.BitBtn3.Caption(), "Прийняти");
        EXPECT_EQ(f.BitBtn2.Caption(), "Відмінити");
        f.BitBtn2.Click();
    });
    EXPECT_FALSE(RunReportFormatDialog());
    EXPECT_FALSE(std::filesystem::exists(FormatFile()));  // cancel writes nothing
    EXPECT_EQ(ReportFormat.FractionWording, 0);
}

TEST_F(DisplayFormat, AcceptDerivesTheParameterDigitsAndKeepsTheFlags) {
    ReportFormatRecord old = DefaultReportFormat();
    old.FractionWording = 1;
    old.HeatUnitKcal = 1;
    old.StandardKind = 7;
    old.Reserved = 0xA5;
    ASSERT_TRUE(SaveReportFormat(FormatFile(), old));
    ASSERT_TRUE(LoadReportFormat(FormatFile(), ReportFormat));
    for (int round = 0; round < 2; ++round) {
        drv->onModal<TFormRepConf>([](TFormRepConf& f) {
            EXPECT_TRUE(f.ComboBox1.Select("6"));
            EXPECT_TRUE(f.ComboBox2.Select("3"));
            EXPECT_TRUE(f.ComboBox3.Select("2"));
            EXPECT_TRUE(f.ComboBox5.Select("5"));
            EXPECT_TRUE(f.ComboBox6.Select("7"));
            EXPECT_TRUE(f.ComboBox8.Select("10"));
            EXPECT_TRUE(f.ComboBox9.Select("8"));
            f.BitBtn3.Click();
        });
        EXPECT_TRUE(RunReportFormatDialog());
    }
    const uint8_t expect[20] = {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 5, 3, 8, 6, 10, 3, 3, 7};
    for (int c = 0; c < 20; ++c) EXPECT_EQ(ReportFormat.ParamDigits[c], expect[c]) << c;
    const uint8_t groups[9] = {6, 3, 2, 4, 5, 7, 4, 10, 8};
    for (int g = 0; g < 9; ++g) EXPECT_EQ(ReportFormat.QuantityDigits[g], groups[g]) << g;
    // The file holds exactly the record; bytes 0..3 as they were read.
    const std::string bytes = ReadBytes(FormatFile());
    ASSERT_EQ(bytes.size(), 33u);
    EXPECT_EQ(uint8_t(bytes[0]), 1);
    EXPECT_EQ(uint8_t(bytes[1]), 1);
    EXPECT_EQ(uint8_t(bytes[2]), 7);
    EXPECT_EQ(uint8_t(bytes[3]), 0xA5);
    EXPECT_EQ(uint8_t(bytes[4 + 11]), 3);
    EXPECT_EQ(uint8_t(bytes[24]), 6);
}

TEST_F(DisplayFormat, CountsOutsideTheListMustBeChosenAgain) {
    // A short file: the bytes it holds, the rest 0 (no selection in the window).
    {
        std::ofstream(FormatFile(), std::ios::binary).write("\0\0\0\0", 4);
    }
    ASSERT_TRUE(LoadReportFormat(FormatFile(), ReportFormat));
    ReportFormat.QuantityDigits[0] = 200;
    drv->onModal<TFormRepConf>([this](TFormRepConf& f) {
        for (int g = 0; g < TFormRepConf::kGroups; ++g) EXPECT_EQ(f.Combo(g).ItemIndex(), -1) << g;
        drv->expectMessage(2, "Введены не все данные", "");
        f.BitBtn3.Click();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);  // stays open
        for (int g = 0; g < TFormRepConf::kGroups - 1; ++g) f.Combo(g).Select(1);
        drv->expectMessage(2, "Введены не все данные", "");
        f.BitBtn3.Click();
        f.ComboBox9.Select(0);
        f.BitBtn3.Click();
    });
    EXPECT_TRUE(RunReportFormatDialog());
    EXPECT_EQ(ReportFormat.QuantityDigits[0], 3);
    EXPECT_EQ(ReportFormat.QuantityDigits[8], 2);
    EXPECT_EQ(ReadBytes(FormatFile()).size(), 33u);
}

TEST_F(DisplayFormat, AFailedWriteIsReportedAndTheSettingsStayInForce) {
    std::filesystem::remove_all(dir / "INI");
    drv->onModal<TFormRepConf>([](TFormRepConf& f) {
        f.ComboBox1.Select("5");
        f.BitBtn3.Click();
    });
    drv->expectMessage(1, "Помилка роботи з файлом", "rep_format.ini");
    EXPECT_TRUE(RunReportFormatDialog());
    EXPECT_EQ(ReportFormat.ParamDigits[0], 5);
    EXPECT_FALSE(std::filesystem::exists(FormatFile()));
}

TEST_F(DisplayFormat, EditsTheRecordItIsGivenOnlyOnAccept) {
    ReportFormatRecord rec = DefaultReportFormat();
    TFormRepConf f;
    f.format = &rec;
    drv->onModal<TFormRepConf>([](TFormRepConf& w) {
        w.ComboBox4.Select("9");
        w.BitBtn2.Click();
    });
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(rec.QuantityDigits[3], 4);
}

}  // namespace
