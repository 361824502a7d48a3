// Hand-made headers and rows for the printed-report tests, and a fixture
// with a fresh WorkDir (with its INI and REPORT folders), the headless
// driver, 96 pixels per inch and the 63 / 71 pagination.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/Globals.h"
#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"
#include "platform/Codepage.h"
#include "print/Output.h"
#include "print/Report.h"
#include "reports/PrnText.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace prt {

// Never a real display: the preview refuses to open instead of waiting for
// someone to close it.
inline const bool kOffscreen = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return true;
}();

inline ArchiveFileHeader Header(const char* tag, uint8_t device, uint8_t meterType = 1) {
    ArchiveFileHeader h;
    std::memcpy(h.KindTag, tag, 3);
    h.LineDevice = device;
    platform::WriteField(h.ControllerName, kArchiveNameWidth, "  ГРС Південна ", 0);
    h.ControllerAddress = 5;
    h.ProgramVersion = kArchiveProgramVersion;
    h.ChromatographType = kSupportedChromatographType;
    h.MoistureMeterType = meterType;
    h.ReadTime = {24, 1, 6, 9, 15, 42};
    h.FromDate = {24, 1, 5, 7, 30, 0};
    h.ToDate = {24, 1, 6, 8, 45, 10};
    return h;
}

inline ArchiveFileHeader AlaHeader(uint32_t count) {
    ArchiveFileHeader h = Header("ALA", 0);
    h.SetCount(count);
    return h;
}

// Message r: a distinct event text ("Подія 17") so that a page's rows can be
// found in the PDF.
inline std::string EventText(std::size_t r) { return "Подія " + std::to_string(r + 1); }

inline AlaRowTexts AlaRow(std::size_t r) {
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%02d.01.24", int(r % 28) + 1);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", int(r % 24), int(r % 60), int((r * 7) % 60));
    return {date, time, EventText(r), "Перевищення уставки метану", "95.125", "95.000", "%"};
}

inline std::vector<AlaRowTexts> AlaRows(std::size_t n) {
    std::vector<AlaRowTexts> rows;
    rows.reserve(n);
    for (std::size_t r = 0; r < n; ++r) rows.push_back(AlaRow(r));
    return rows;
}

// Moisture-meter row r: the date column carries the row number.
inline WmtRowTexts WmtRow(std::size_t r) {
    return {"  №" + std::to_string(r + 1), "  10:00:00", "   10:59:59", "  Норма", "  -12.50", "  -8.25", "  1.02",
            "  -20.75"};
}

inline std::vector<WmtRowTexts> WmtRows(std::size_t n) {
    std::vector<WmtRowTexts> rows;
    rows.reserve(n);
    for (std::size_t r = 0; r < n; ++r) rows.push_back(WmtRow(r));
    return rows;
}

inline WmtArchiveRecord WmtHd(int day, int hour, uint8_t status = 0, bool daily = false) {
    WmtArchiveRecord r;
    r.year = 24, r.month = 1, r.day = uint8_t(day);
    r.startHour = uint8_t(daily ? 10 : hour);
    r.endHour = uint8_t(daily ? (0x80 | 9) : hour);
    r.endMinute = 59, r.endSecond = 59;
    r.status = status;
    const float v[4] = {-12.5f, -8.25f, 1.0f, -20.75f};
    for (int i = 0; i < 4; ++i) r.SetValue(i, v[i]);
    SealRecord(r);
    return r;
}

inline WmtMomentaryRecord WmtMeas(int minute, uint8_t status = 0, uint16_t state = 0) {
    WmtMomentaryRecord r;
    r.time = {24, 1, 5, 12, uint8_t(minute), 0};
    r.status = status;
    r.SetMeterState(state);
    const float v[4] = {-12.5f, -8.25f, 1.0f, -20.75f};
    for (int i = 0; i < 4; ++i) r.SetValue(i, v[i]);
    SealRecord(r);
    return r;
}

class PrnTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    std::unique_ptr<ui::test::Driver> drv;
    int savedPpi = 96;

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("reports-print");
        std::filesystem::create_directories(dir / "INI");
        std::filesystem::create_directories(dir / "REPORT");
        RowsFirstPage = 63;
        RowsNextPage = 71;
        savedPpi = print::ScreenPixelsPerInch();
        print::SetScreenPixelsPerInch(96);
        drv = std::make_unique<ui::test::Driver>();
        drv->setScreen(1280, 1024);
    }
    void TearDown() override {
        print::SetPreviewHandler(nullptr);
        drv->verify();
        drv.reset();
        print::SetScreenPixelsPerInch(savedPpi);
    }
    std::string Path(const std::string& rel) const { return (dir / rel).string(); }
};

}  // namespace prt
