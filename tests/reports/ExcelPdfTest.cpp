// The certificate templates and a filled certificate opened by another
// spreadsheet program: LibreOffice converts them to PDF without error, on
// one landscape A4 page, with their texts; the first pages go to PNG files
// in build/reports-pdf for a look.
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
    const std::string cmd = "cd '" + dir.string() + "' && HOME='" + dir.string() + "' timeout 100 '" + soffice +
                            "' -env:UserInstallation=file://" + dir.string() +
                            "/lo-profile --headless --convert-to pdf " + kDayTemplateName + " " + kMonthTemplateName +
                            " filled.xlsx";
    ASSERT_EQ(xt::Run(cmd, out), 0) << out;
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
            EXPECT_NE(out.find("9,2500"), std::string::npos) << out;
        }
        std::string ignored;
        EXPECT_EQ(xt::Run("pdftoppm -r 110 -png -singlefile '" + pdf + "' '" + pngDir + "/" + base + "'", ignored), 0)
            << ignored;
    }
}

}  // namespace
