// The certificate templates and a filled certificate opened by another
// spreadsheet program (LibreOffice, in the Ukrainian locale: decimal comma):
// it converts them to PDF without error, on one landscape A4 page, with
// their texts, and shows the values with exactly the program's digits while
// holding them as numbers; the first pages go to PNG files in
// build/reports-pdf for a look.
#include <gtest/gtest.h>

#include <filesystem>

#include "ExcelTestUtil.h"
#include "reports/ExcelCertificate.h"
#include "support/TestFolders.h"
#include "viewers/ViewerTestUtil.h"

namespace {

TEST(ExcelPdf, TemplatesAndAFilledCertificateConvertToOneA4PageEach) {
    const std::string soffice = xt::Soffice();
    if (soffice.empty()) GTEST_SKIP() << "LibreOffice (libreoffice-calc-nogui) is not installed: no PDF conversion";
    const std::filesystem::path dir = zbr_test::FreshWorkDir("reports-pdf");
    for (const char* t : {kDayTemplateName, kMonthTemplateName})
        std::filesystem::copy_file(xt::BuiltTemplate(t), dir / t);

    // A day certificate filled as the certificate window fills it.
    std::vector<HdmArchiveRecord> hours;
    std::vector<WmtArchiveRecord> moist;
    std::vector<DeviceDateTime> slotDates;
    for (int i = 0; i < 24; ++i) {
        const int day = i < 17 ? 18 : 19, hour = (7 + i) % 24;
        hours.push_back(vt::Hdm(day, hour, i == 5 ? 0x20 : 0));
        moist.push_back(vt::WmtHd(day, hour));
        slotDates.push_back({24, 3, uint8_t(day), uint8_t(hour), 0, 0});
    }
    const HdmArchiveRecord daily = vt::Hdm(18, 0, 0, true);
    const WmtArchiveRecord mdaily = vt::WmtHd(18, 0, 0, true);
    CertificateInput in;
    in.chrom = hours;
    in.slotDates = slotDates;
    in.moist = moist;
    in.chromSummary = &daily;
    in.moistSummary = &mdaily;
    in.serial = 7200123;
    in.lineName = "Нитка 1";
    in.objectName = "ГРС-1 Дослідна";
    in.format = DefaultReportFormat();
    const std::string filled = (dir / "filled.xlsx").string();
    {
        sheet::Workbook wb;
        ASSERT_TRUE(wb.Open((dir / kDayTemplateName).string())) << wb.LastError();
        sheet::Worksheet ws = wb.ActiveSheet();
        ASSERT_TRUE(WriteDayReport(ws, in));
        ASSERT_TRUE(wb.SaveAs(filled)) << wb.LastError();
    }

    std::string out;
    const std::string lo = "cd '" + dir.string() + "' && HOME='" + dir.string() + "' LC_ALL=uk_UA.UTF-8 timeout 100 '" +
                           soffice + "' -env:UserInstallation=file://" + dir.string() + "/lo-profile --headless ";
    ASSERT_EQ(xt::Run(lo + "--convert-to pdf " + kDayTemplateName + " " + kMonthTemplateName + " filled.xlsx", out), 0)
        << out;
    // The cells' values as they are held, not as shown: a number gives its
    // bare value ("9,25" for the shown "9,2500"), a text itself.
    ASSERT_EQ(xt::Run(lo + "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false' filled.xlsx",
                      out),
              0)
        << out;
    {
        const std::string csv = sheettest::ReadFile((dir / "filled.csv").string());
        EXPECT_NE(csv.find("18.03.24  07:00,\"9,25\",\"11,25\",\"2,25\","), std::string::npos) << csv;
        EXPECT_NE(csv.find(",\"4597,7836\",\"19,25\",\"5,3472\","), std::string::npos) << csv;
        EXPECT_NE(csv.find(",\"-12,5\",\"-20,75\",\"-8,25\",\"1,0197\",\"17,25\""), std::string::npos) << csv;
        EXPECT_NE(csv.find("18.03.24  12:00,--,--,"), std::string::npos) << csv;
    }
    const std::string pngDir = std::string(ZBR_BUILD_DIR) + "/reports-pdf";
    std::filesystem::create_directories(pngDir);
    for (const std::string base : {"day_report_title_v11", "mon_report_title_v11", "filled"}) {
        const std::string pdf = (dir / (base + ".pdf")).string();
        ASSERT_TRUE(std::filesystem::exists(pdf)) << out;
        ASSERT_EQ(xt::Run("pdfinfo '" + pdf + "'", out), 0) << out;
        EXPECT_NE(out.find("Pages:           1\n"), std::string::npos) << base << "\n" << out;
        // A4, landscape: wider than high.
        EXPECT_NE(out.find("Page size:       841.89 x 595.3"), std::string::npos) << base << "\n" << out;
        ASSERT_EQ(xt::Run("pdftotext -layout '" + pdf + "' -", out), 0) << out;
        EXPECT_NE(out.find("ПАСПОРТ ЯКОСТІ ГАЗУ"), std::string::npos) << base;
        EXPECT_NE(out.find("Відповідальна особа"), std::string::npos) << base;
        if (base == "filled") {
            EXPECT_NE(out.find("Серійний номер хроматографа 7200123; Нитка 1"), std::string::npos) << out;
            EXPECT_NE(out.find("ГРС-1 Дослідна"), std::string::npos) << out;
            EXPECT_NE(out.find("18.03.24 07:00"), std::string::npos) << out;
            EXPECT_NE(out.find("За період з 18.03.24 07:00 по 19.03.24 06:00"), std::string::npos) << out;
            // Every value of an hourly row as the program wrote it (the
            // columns' gaps as one blank).
            std::string flat;
            for (char ch : out)
                if (ch != ' ' || flat.empty() || flat.back() != ' ') flat.push_back(ch);
            EXPECT_NE(flat.find("18.03.24 07:00 9,2500 11,2500 2,2500 3,2500 4,2500 5,2500 6,2500 7,2500 1,2500 "
                               "8,2500 10,2500 13,2500 4597,7836 19,2500 5,3472 2925,8623 12,2500 3,4028 "
                               "3403,5541 14,2500 3,9583 -12,5000 -20,7500 -8,2500 1,0197 17,2500"),
                      std::string::npos)
                << out;
        }
        std::string ignored;
        EXPECT_EQ(xt::Run("pdftoppm -r 110 -png -singlefile '" + pdf + "' '" + pngDir + "/" + base + "'", ignored), 0)
            << ignored;
    }
}

}  // namespace
