// Day and month certificates from the report menu against the controller
// emulator: the dialog, the reads, the checks, the certificate window, the
// file in REPORT read back by openpyxl and compared with the emulator's
// records; replacing, refusing, broken templates, gaps and broken records.
#include "readers/ReadersFixture.h"

#include <cmath>

#include "ExcelTestUtil.h"
#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Suplfunc.h"
#include "reports/ExcRep_Date.h"
#include "reports/ExcelCertificate.h"
#include "reports/ExcelReports.h"
#include "reports/Xls_Report.h"

using namespace readers;
using xt::Cell;
using xt::Name;

namespace {

class Certificate : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        if (HasFatalFailure()) return;
        if (sheettest::Python().empty()) GTEST_SKIP() << "python3 with openpyxl is not installed";
        ASSERT_EQ(form->AttachAll(ExcelReportMenuBindings()), 4);
        for (const char* t : {kDayTemplateName, kMonthTemplateName})
            std::filesystem::copy_file(xt::BuiltTemplate(t), dir / t);
        ReportFormat = DefaultReportFormat();
        ObjectList = {};
        ObjectList.obj_num = 1;
        ObjectList.objs[0].SetName("ГРС-1/Північ");
        ObjectList.objs[0].contr_adr = 1;
    }
    void TearDown() override {
        ReaderTest::TearDown();
        ObjectList = {};
    }

    // The dialog chooses the date (day only in mode 0) and the first object.
    void ChooseDate(int year, int month, int day) {
        drv->onModal<TFormExcRep_Date>([=](TFormExcRep_Date& d) {
            while (d.UpDown1.Position() > year) d.UpDown1.ClickDown();
            while (d.UpDown1.Position() < year) d.UpDown1.ClickUp();
            d.ComboBox2.Select(month - 1);
            if (d.Mode == 0) d.ComboBox3.Select(day - 1);
            d.ComboBox1.Select(0);
            d.BitBtn5.Click();
        });
    }
    // The certificate window runs its timer.
    void RunReportWindow() {
        drv->onModal<TFormXls_Report>([this](TFormXls_Report& f) { EXPECT_TRUE(drv->fireTimer(f.Timer1)); });
    }
    std::string Report(const char* name) { return (dir / "REPORT" / name).string(); }

    static std::string Value(double v, int digits) {
        return std::isfinite(v) ? FloatToStrFixed(v, 12, digits) : std::string("NAN");
    }
    static float F(const emu::Record& r, int offset) {
        float f;
        std::memcpy(&f, r.data() + offset, 4);
        return f;
    }
    // The cells 2..23 and 28 of a chromatograph record, as the certificate
    // writes them (4 decimals everywhere by default).
    static std::map<int, std::string> ChromCells(const emu::Record& r, bool oxygen) {
        std::map<int, std::string> out;
        int col = 2;
        for (uint8_t code : ExcelColumnOrder) {
            if (code == 255) break;
            const double v = F(r, 12 + 4 * code);
            if (code == 11 || code == 13 || code == 18) {
                out[col] = Value(v * 238.8459, 4);
                out[col + 1] = Value(v, 4);
                out[col + 2] = Value(v * 0.277778, 4);
                col += 3;
                continue;
            }
            out[col++] = code == 15 && !oxygen ? std::string() : Value(v, 4);
        }
        out[28] = Value(F(r, 12 + 4 * 16), 4);
        return out;
    }
    static std::map<int, std::string> MoistCells(const emu::Record& r) {
        return {{24, Value(F(r, 10), 4)},
                {25, Value(F(r, 22), 4)},
                {26, Value(F(r, 14), 4)},
                {27, Value(double(F(r, 18)) * 1.019716213, 4)}};
    }
    void ExpectRow(const std::map<std::string, std::string>& got, int row, const std::map<int, std::string>& cells) {
        for (const auto& [col, text] : cells) EXPECT_EQ(got.at(Name(row, col)), Cell(text)) << Name(row, col);
    }
    static std::vector<std::string> RowNames(int row) {
        std::vector<std::string> out;
        for (int c = 1; c <= 28; ++c) out.push_back(Name(row, c));
        return out;
    }
};

const char* const kDayFile = "ГРС-1_Північ_Нитка 1_day_240318.xlsx";

TEST_F(Certificate, DayCertificateHoldsTheGasDaysHoursAndTheDailyRecords) {
    Connect();
    ChooseDate(24, 3, 18);
    RunReportWindow();
    drv->expectMessage(6, std::string("Дані збережені в файлі ") + kDayFile, "");
    ASSERT_TRUE(Item("NExcDay_1").Click());

    // The gas day from the contract hour (7) to 6:00 of the next day.
    const auto hours = model.Records(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 18, 7)), Emu(Rec(24, 3, 19, 6)));
    const auto mhours = model.Records(emu::Archive::WmtHourly, 0, Emu(Rec(24, 3, 18, 7)), Emu(Rec(24, 3, 19, 6)));
    const auto day = model.Records(emu::Archive::ChromDaily, 0, Emu(Rec(24, 3, 18)), Emu(Rec(24, 3, 18)));
    const auto mday = model.Records(emu::Archive::WmtDaily, 0, Emu(Rec(24, 3, 18)), Emu(Rec(24, 3, 18)));
    ASSERT_EQ(hours.size(), 24u);
    ASSERT_EQ(mhours.size(), 24u);
    ASSERT_EQ(day.size(), 1u);
    ASSERT_EQ(mday.size(), 1u);

    const std::string file = Report(kDayFile);
    std::vector<std::string> names{"AB2", "B3", "V4", "A10", "A11", "A33"};
    for (int row : {10, 11, 33, 34})
        for (const std::string& n : RowNames(row)) names.push_back(n);
    const auto got = xt::Values(file, names);
    ASSERT_EQ(got.count("error"), 0u) << got.at("error");
    EXPECT_EQ(got.at("AB2"), Cell("Серійний номер хроматографа 7200123;  Нитка 1"));
    EXPECT_EQ(got.at("B3"), Cell("ГРС-1/Північ"));
    EXPECT_EQ(got.at("V4"), Cell("За період з 18.03.24 07:00  по  19.03.24 06:00"));
    EXPECT_EQ(got.at("A10"), Cell("18.03.24  07:00"));
    EXPECT_EQ(got.at("A11"), Cell("18.03.24  08:00"));
    EXPECT_EQ(got.at("A33"), Cell("19.03.24  06:00"));
    for (int i : {0, 1, 23}) {
        ExpectRow(got, 10 + i, ChromCells(hours[std::size_t(i)], false));
        ExpectRow(got, 10 + i, MoistCells(mhours[std::size_t(i)]));
    }
    ExpectRow(got, 34, ChromCells(day[0], false));
    ExpectRow(got, 34, MoistCells(mday[0]));
    EXPECT_EQ(got.at("A34"), Cell("За добу"));
    EXPECT_EQ(zbr_test::FileCount((dir / "REPORT").string()), 1);
    EXPECT_EQ(Requests(15).size(), 15u);   // 12 replies of 2 chromatograph records, 3 of 8 moisture ones
    EXPECT_EQ(Requests(16).size(), 2u);
}

// A controller that spoils the last record of every full reply on its way
// out (its date moved, its CRC wrong; what it holds is sound): each such
// record is asked for again and comes sound, and the certificate holds every
// hour of the gas day.
TEST_F(Certificate, ADayCertificateOverRepliesWhoseLastRecordIsSpoiltIsMade) {
    Connect();
    const int steps[] = {5, -5, 1};
    for (int i = 1; i <= 100; ++i) model.QueueFault({emu::ArchiveFaultKind::SpoilLast, steps[(i - 1) % 3], i});
    ChooseDate(24, 3, 18);
    RunReportWindow();
    drv->expectMessage(6, std::string("Дані збережені в файлі ") + kDayFile, "");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    model.ClearFaults();

    const auto hours = model.Records(emu::Archive::ChromHourly, 0, Emu(Rec(24, 3, 18, 7)), Emu(Rec(24, 3, 19, 6)));
    const auto mhours = model.Records(emu::Archive::WmtHourly, 0, Emu(Rec(24, 3, 18, 7)), Emu(Rec(24, 3, 19, 6)));
    ASSERT_EQ(hours.size(), 24u);
    ASSERT_EQ(mhours.size(), 24u);
    std::vector<std::string> names{"A10", "A33"};
    for (int row = 10; row <= 33; ++row)
        for (const std::string& n : RowNames(row)) names.push_back(n);
    const auto got = xt::Values(Report(kDayFile), names);
    ASSERT_EQ(got.count("error"), 0u) << got.at("error");
    EXPECT_EQ(got.at("A10"), Cell("18.03.24  07:00"));
    EXPECT_EQ(got.at("A33"), Cell("19.03.24  06:00"));
    for (int i = 0; i < 24; ++i) {
        ExpectRow(got, 10 + i, ChromCells(hours[std::size_t(i)], false));
        ExpectRow(got, 10 + i, MoistCells(mhours[std::size_t(i)]));
    }
}

TEST_F(Certificate, MonthCertificatePutsEveryDayInItsOwnRowAndBrokenRecordsAsDashes) {
    // Line 2 shows oxygen; the 5th of February is missing, the 9th broken.
    emu.SetTable(14, {1, 11, 1, 0, 10, 3, 3, 0x07, 0, 0, 0, 1, 1, 1});
    model.AddGap(emu::Archive::ChromDaily, -1, {24, 2, 5, 0, 0, 0}, {24, 2, 5, 23, 0, 0});
    model.AddGap(emu::Archive::WmtDaily, -1, {24, 2, 5, 0, 0, 0}, {24, 2, 5, 23, 0, 0});
    model.CorruptRecordAt(emu::Archive::ChromDaily, 1, {24, 2, 9, 12, 0, 0});
    Connect();
    ChooseDate(24, 2, 1);
    RunReportWindow();
    const char* name = "ГРС-1_Північ_Нитка 2_mon_2402.xlsx";
    drv->expectMessage(6, std::string("Дані збережені в файлі ") + name, "");
    ASSERT_TRUE(Item("NExcMon_2").Click());

    const auto days = model.Records(emu::Archive::ChromDaily, 1, Emu(Rec(24, 2, 1)), Emu(Rec(24, 2, 29)));
    const auto mdays = model.Records(emu::Archive::WmtDaily, 0, Emu(Rec(24, 2, 1)), Emu(Rec(24, 2, 29)));
    ASSERT_EQ(days.size(), 28u);
    const std::string file = Report(name);
    std::vector<std::string> names{"AB2", "V4", "A10", "O41", "P41", "Q41", "R41", "S41", "T41", "B41"};
    for (int row : {10, 13, 14, 15, 18, 38, 39, 40})
        for (const std::string& n : RowNames(row)) names.push_back(n);
    const auto got = xt::Values(file, names);
    ASSERT_EQ(got.count("error"), 0u) << got.at("error");
    EXPECT_EQ(got.at("AB2"), Cell("Серійний номер хроматографа 7200123;  Нитка 2"));
    EXPECT_EQ(got.at("V4"), Cell("За період з 01.02.24 по  29.02.24"));
    EXPECT_EQ(got.at("A10"), Cell("01"));
    // Day d in row d + 9: the 4th in 13, nothing in 14, the 6th in 15.
    ExpectRow(got, 10, ChromCells(days[0], true));
    ExpectRow(got, 13, ChromCells(days[3], true));
    ExpectRow(got, 10, MoistCells(mdays[0]));
    for (int c = 2; c <= 28; ++c) EXPECT_EQ(got.at(Name(14, c)), "null") << Name(14, c);
    ExpectRow(got, 15, ChromCells(days[4], true));
    ExpectRow(got, 15, MoistCells(mdays[4]));
    // The 9th: a broken record, "--" in 2..23 (11 too: oxygen shown), 28 left.
    for (int c = 2; c <= 23; ++c) EXPECT_EQ(got.at(Name(18, c)), Cell("--")) << Name(18, c);
    EXPECT_EQ(got.at("AB18"), "null");
    ExpectRow(got, 18, MoistCells(mdays[7]));
    ExpectRow(got, 38, ChromCells(days[27], true));   // the 29th
    for (int c = 2; c <= 28; ++c) EXPECT_EQ(got.at(Name(39, c)), "null");

    // The means of the valid days' calorific values.
    double inferior = 0, superior = 0;
    int n = 0;
    for (const emu::Record& r : days) {
        HdmArchiveRecord h;
        std::memcpy(&h, r.data(), sizeof h);
        if (!ChromRowValid(h)) continue;
        inferior += double(h.Value(18));
        superior += double(h.Value(11));
        ++n;
    }
    ASSERT_EQ(n, 27);
    const double mi = double(float(inferior / n)), ms = double(float(superior / n));
    EXPECT_EQ(got.at("O41"), Cell(Value(mi * 238.8459, 4)));
    EXPECT_EQ(got.at("P41"), Cell(Value(mi, 4)));
    EXPECT_EQ(got.at("Q41"), Cell(Value(mi * 0.277778, 4)));
    EXPECT_EQ(got.at("R41"), Cell(Value(ms * 238.8459, 4)));
    EXPECT_EQ(got.at("T41"), Cell(Value(ms * 0.277778, 4)));
}

TEST_F(Certificate, AnExistingCertificateIsReplacedOnlyWhenAskedAndWhole) {
    Connect();
    std::filesystem::create_directories(dir / "REPORT");
    const std::string file = Report(kDayFile);
    zbr_test::WriteBytes(file, "the certificate of yesterday");

    ChooseDate(24, 3, 18);
    RunReportWindow();
    drv->expectQuestion(3, std::string("Файл звіту ") + kDayFile + " вже є.", "Ви бажаєте замінити існуючий звіт?",
                        false);
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(zbr_test::ReadBytes(file), "the certificate of yesterday");
    EXPECT_EQ(zbr_test::FileCount((dir / "REPORT").string()), 1);

    drv->expectQuestion(3, std::string("Файл звіту ") + kDayFile + " вже є.", "Ви бажаєте замінити існуючий звіт?",
                        true);
    drv->expectMessage(6, std::string("Дані збережені в файлі ") + kDayFile, "");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(xt::Values(file, {"A10"}).at("A10"), Cell("18.03.24  07:00"));
    EXPECT_EQ(zbr_test::FileCount((dir / "REPORT").string()), 1);
}

TEST_F(Certificate, MissingOrBrokenTemplatesAreToldAndLeaveNoFile) {
    Connect();
    std::filesystem::remove(dir / kMonthTemplateName);
    drv->expectMessage(1, "У робочому каталозі відсутній файл mon_report_title_v11.xlsx",
                       "Зверніться до розробника програмного забезпечення");
    ASSERT_TRUE(Item("NExcMon_1").Click());
    EXPECT_EQ(Requests(1).size(), 0u);   // nothing read

    zbr_test::WriteBytes((dir / kDayTemplateName).string(), "not a workbook");
    drv->allowErrorMessages();  // its second line names the full path: looked at below
    ChooseDate(24, 3, 18);
    RunReportWindow();
    ASSERT_TRUE(Item("NExcDay_1").Click());
    const ui::MessageInfo* m = drv->findMessage("Помилка відкриття шаблону звіту day_report_title_v11.xlsx");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->kind, 1);
    EXPECT_NE(m->lines[1].find("day_report_title_v11.xlsx"), std::string::npos) << m->lines[1];
    EXPECT_FALSE(std::filesystem::exists(Report(kDayFile)));
    EXPECT_EQ(zbr_test::FileCount((dir / "REPORT").string()), 0);
}

TEST_F(Certificate, ACertificateThatCannotBeWrittenIsToldAndLeavesNothing) {
    Connect();
    std::filesystem::remove_all(dir / "REPORT");
    zbr_test::WriteBytes((dir / "REPORT").string(), "a file where the folder belongs");
    ChooseDate(24, 3, 18);
    RunReportWindow();
    ASSERT_TRUE(Item("NExcDay_1").Click());
    const auto& all = drv->messages();
    const bool told = std::any_of(all.begin(), all.end(), [](const ui::MessageInfo& m) {
        return m.kind == 0 && m.lines[0].rfind("Помилка роботи з файлом!\n", 0) == 0;
    });
    EXPECT_TRUE(told);
    EXPECT_EQ(drv->findMessage(std::string("Дані збережені в файлі ") + kDayFile), nullptr);
    EXPECT_EQ(zbr_test::ReadBytes((dir / "REPORT").string()), "a file where the folder belongs");
}

TEST_F(Certificate, MoistureHoursThatDoNotMatchStopTheCertificate) {
    model.AddGap(emu::Archive::WmtHourly, -1, {24, 3, 18, 12, 0, 0}, {24, 3, 18, 12, 0, 0});
    Connect();
    ChooseDate(24, 3, 18);
    drv->expectMessage(6, "Неспівпадіння дат в записях", "архівів даних хроматографа і вологоміра");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(drv->modalCount<TFormXls_Report>(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "REPORT" / kDayFile));
}

// An hourly record an hour before the one asked for stops the certificate
// at once: no question, no certificate window, no file.
TEST_F(Certificate, AnHourlyRecordAnHourEarlyStopsTheCertificate) {
    Connect();
    ChooseDate(24, 3, 18);
    model.QueueFault({emu::ArchiveFaultKind::EarlyRecord, 1, 3});  // the first hourly request, after the two daily ones
    drv->expectMessage(6, "Дані, що передаються контролером, не відповідають", "запитуваному періоду");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(Requests(16).size(), 2u);
    EXPECT_EQ(Requests(15).size(), 1u);
    EXPECT_EQ(drv->modalCount<TFormXls_Report>(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "REPORT" / kDayFile));
}

TEST_F(Certificate, ABrokenDailyRecordStopsTheDayCertificate) {
    model.CorruptRecordAt(emu::Archive::ChromDaily, 0, {24, 3, 18, 12, 0, 0});
    Connect();
    ChooseDate(24, 3, 18);
    drv->expectMessage(6, "Добові дані хроматографа недостовірні", "(не співпадає КС запису");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(Requests(15).size(), 0u);   // no hourly read after it
}

TEST_F(Certificate, TheDialogRefusesADayOutsideTheArchiveAndAMissingObject) {
    Connect();
    drv->onModal<TFormExcRep_Date>([this](TFormExcRep_Date& d) {
        EXPECT_EQ(d.Caption(), " Параметри звіту за добу");
        EXPECT_TRUE(d.ComboBox3.Visible());
        // It starts at the last day of the daily archive.
        EXPECT_EQ(d.Panel3.Caption(), "2024");
        EXPECT_EQ(d.ComboBox2.ItemIndex(), 2);
        EXPECT_EQ(d.ComboBox3.ItemIndex(), 18);
        EXPECT_EQ(d.ComboBox1.Items(), (std::vector<std::string>{"ГРС-1/Північ", TFormExcRep_Date::kNewObject}));
        d.ComboBox1.SetItemIndex(-1);
        drv->expectMessage(2, "Не введено найменування об'єкту", "");
        d.BitBtn5.Click();
        d.ComboBox1.Select(0);
        d.ComboBox3.Select(19);   // the 20th: the gas day still runs
        drv->expectMessage(2, "У архіві нема даних за вказану дату", "(див. період наявних в архіві даних)");
        d.BitBtn5.Click();
        // February has 29 days in 2024: a chosen 31st becomes the 29th.
        d.ComboBox2.Select(0);
        d.ComboBox3.Select(30);
        d.ComboBox2.Select(1);
        EXPECT_EQ(d.ComboBox3.ItemCount(), 29);
        EXPECT_EQ(d.ComboBox3.ItemIndex(), 28);
        EXPECT_FALSE(d.accepted);
        d.BitBtn6.Click();
    });
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(drv->modalCount<TFormExcRep_Date>(), 1);
    EXPECT_EQ(drv->messages().size(), 2u);
    EXPECT_EQ(Requests(16).size(), 0u);
}

TEST_F(Certificate, ANewObjectChosenInTheDialogJoinsTheListFileAndTheCertificatesName) {
    Connect();
    drv->onModal<TFormObject>([](TFormObject& f) {
        f.Edit1.SetText("ГРС-7");
        f.ComboBox1.Select(6);
        f.BitBtn4.Click();
    });
    drv->onModal<TFormExcRep_Date>([](TFormExcRep_Date& d) {
        d.ComboBox1.Select(TFormExcRep_Date::kNewObject);
        EXPECT_EQ(d.ComboBox1.Item(d.ComboBox1.ItemIndex()), "ГРС-7");
        d.ComboBox3.Select(17);   // the 18th
        d.BitBtn5.Click();
    });
    RunReportWindow();
    drv->expectMessage(6, "Дані збережені в файлі ГРС-7_Нитка 1_day_240318.xlsx", "");
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(ObjectList.obj_num, 2);
    EXPECT_EQ(ObjectList.obj_index, 1);
    ObjectListRecord saved{};
    ReadObjectList(ObjectsIniPath(), saved);
    EXPECT_EQ(saved.obj_num, 2);
    EXPECT_EQ(saved.objs[1].Name(), "ГРС-7");
    EXPECT_EQ(saved.objs[1].contr_adr, 7);
}

TEST_F(Certificate, ANewObjectWhoseListFileCannotBeWrittenIsTold) {
    Connect();
    std::filesystem::remove(ObjectsIniPath());
    std::filesystem::create_directories(ObjectsIniPath());  // a folder where the file belongs
    drv->onModal<TFormObject>([](TFormObject& f) {
        f.Edit1.SetText("ГРС-7");
        f.ComboBox1.Select(6);
        f.BitBtn4.Click();
    });
    drv->onModal<TFormExcRep_Date>([this](TFormExcRep_Date& d) {
        drv->expectMessage(1, "Помилка роботи з файлом", ObjectsIniPath());
        d.ComboBox1.Select(TFormExcRep_Date::kNewObject);
        // The object stays chosen for this run.
        EXPECT_EQ(d.ComboBox1.Item(d.ComboBox1.ItemIndex()), "ГРС-7");
        d.BitBtn6.Click();
    });
    ASSERT_TRUE(Item("NExcDay_1").Click());
    EXPECT_EQ(ObjectList.obj_num, 2);
    EXPECT_TRUE(std::filesystem::is_directory(ObjectsIniPath()));
}

// Each read that brings nothing, or brings the two devices' records in
// different numbers, stops the certificate with its own words and opens no
// certificate window.
TEST_F(Certificate, ReadsThatBringTooLittleAreToldAndStopTheCertificate) {
    struct Case {
        emu::Archive archive;
        emu::DeviceTime from, to;
        const char* item;
        int month, day;
        const char* line1;
        const char* line2;
    };
    const Case cases[] = {
        {emu::Archive::ChromDaily, {24, 3, 18, 0, 0, 0}, {24, 3, 18, 23, 0, 0}, "NExcDay_1", 3, 18,
         "Добові дані з архіву", " хроматографа не прочитані"},
        {emu::Archive::WmtDaily, {24, 3, 18, 0, 0, 0}, {24, 3, 18, 23, 0, 0}, "NExcDay_1", 3, 18,
         "Добові дані з архіву", "вологоміра не прочитані"},
        {emu::Archive::ChromHourly, {24, 3, 18, 0, 0, 0}, {24, 3, 19, 23, 0, 0}, "NExcDay_1", 3, 18,
         "Годинні дані хроматографа з архіву", "не прочитані"},
        {emu::Archive::WmtHourly, {24, 3, 18, 0, 0, 0}, {24, 3, 19, 23, 0, 0}, "NExcDay_1", 3, 18,
         "Годинні дані вологоміра з архіву", "не прочитані"},
        // The last hour of the gas day missing from the moisture meter only.
        {emu::Archive::WmtHourly, {24, 3, 19, 6, 0, 0}, {24, 3, 19, 6, 0, 0}, "NExcDay_1", 3, 18,
         "Невідповідність кількості прочитаних даних", "хроматографа (24) і вологоміра (23)"},
        {emu::Archive::ChromDaily, {24, 2, 1, 0, 0, 0}, {24, 2, 29, 23, 0, 0}, "NExcMon_1", 2, 1,
         "Добові дані хроматографа з архіву", "не прочитані"},
        {emu::Archive::WmtDaily, {24, 2, 1, 0, 0, 0}, {24, 2, 29, 23, 0, 0}, "NExcMon_1", 2, 1,
         "Добові дані вологоміра з архіву", "не прочитані"},
        // The month's last day missing from the moisture meter only.
        {emu::Archive::WmtDaily, {24, 2, 29, 0, 0, 0}, {24, 2, 29, 23, 0, 0}, "NExcMon_1", 2, 1,
         "Неспівпадіння кількості прочитаних даних", "хроматографа (29) і вологоміра (28)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line1) + " / " + c.line2);
        model.Reset();
        model.AddGap(c.archive, -1, c.from, c.to);
        if (!IsConnected) Connect();
        drv->clearMessages();
        ChooseDate(24, c.month, c.day);
        drv->expectMessage(6, c.line1, c.line2);
        ASSERT_TRUE(Item(c.item).Click());
        EXPECT_EQ(drv->modalCount<TFormXls_Report>(), 0);
        EXPECT_TRUE(!std::filesystem::exists(dir / "REPORT") || zbr_test::FileCount((dir / "REPORT").string()) == 0);
    }
}

}  // namespace
