// Hand-made archive records and headers for the viewer tests, and a fixture
// with a fresh WorkDir, the default display format, a 1280 x 1024 screen and
// the headless driver.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"
#include "common/GasParams.h"
#include "common/ReportFormat.h"
#include "platform/Paths.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace vt {

inline constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
inline constexpr float kInf = std::numeric_limits<float>::infinity();

// Value of code k in the hand-made chromatograph records: 1.25 + k (methane 9.25).
inline float Val(int k) { return 1.25f + float(k); }

// Every chromatograph value of a record: Val(k).
template <class R>
void SetChromValues(R& r) {
    for (int k = 0; k < kGasParamCount; ++k) r.SetValue(k, Val(k));
}

// The four moisture-meter values of the hand-made records.
template <class R>
void SetWmtValues(R& r) {
    const float v[4] = {-12.5f, -8.25f, 1.0f, -20.75f};
    for (int i = 0; i < 4; ++i) r.SetValue(i, v[i]);
}

// Hourly record of `day`.03.24 `hour`:00..59:59, or with `daily` the gas
// day from 10:00 (end hour with bit 7: it ends the next day).
template <class R>
void SetHourDay(R& r, int day, int hour, uint8_t status, bool daily) {
    r.year = 24;
    r.month = 3;
    r.day = uint8_t(day);
    r.startHour = uint8_t(daily ? 10 : hour);
    r.endHour = uint8_t(daily ? (0x80 | 10) : hour);
    r.endMinute = 59;
    r.endSecond = 59;
    r.status = status;
}

inline HdmArchiveRecord Hdm(int day, int hour, uint8_t status = 0, bool daily = false) {
    HdmArchiveRecord r;
    SetHourDay(r, day, hour, status, daily);
    r.SetCount(uint16_t(12 + hour));
    SetChromValues(r);
    SealRecord(r);
    return r;
}

inline ChromMeasRecord Meas(int minute, uint8_t status = 0, uint16_t word = 0) {
    ChromMeasRecord r;
    r.time = {24, 3, 15, 12, uint8_t(minute), 30};
    r.controllerStatus = status;
    r.SetChromStatus(word);
    SetChromValues(r);
    SealRecord(r);
    return r;
}

inline VerifRecord Verif(int day, uint8_t result = 0, uint8_t line = 1) {
    VerifRecord r;
    r.time = {24, 3, uint8_t(day), 9, 0, 0};
    r.line = line;
    r.result = result;
    SetChromValues(r);
    SealRecord(r);
    return r;
}

inline CalibRecord Calib(int day, uint8_t result = 0, uint8_t line = 1) {
    CalibRecord r;
    r.time = {24, 3, uint8_t(day), 8, 30, 0};
    r.line = line;
    r.result = result;
    SetChromValues(r);
    for (int k = 0; k < kGasParamCount; ++k) r.SetFactor(k, 0.5f + 0.125f * float(k));
    SealRecord(r);
    return r;
}

inline WmtMomentaryRecord WmtMeas(int minute, uint8_t status = 0, uint16_t state = 0) {
    WmtMomentaryRecord r;
    r.time = {24, 3, 15, 12, uint8_t(minute), 0};
    r.status = status;
    r.SetMeterState(state);
    SetWmtValues(r);
    SealRecord(r);
    return r;
}

inline WmtArchiveRecord WmtHd(int day, int hour, uint8_t status = 0, bool daily = false) {
    WmtArchiveRecord r;
    SetHourDay(r, day, hour, status, daily);
    SetWmtValues(r);
    SealRecord(r);
    return r;
}

template <class R>
void Corrupt(R& r) {
    reinterpret_cast<uint8_t*>(&r)[sizeof(R) - 1] ^= 0x5A;
}

inline void SetName(uint8_t* field, const char* ascii) {
    std::memset(field, 0, kArchiveNameWidth);
    std::memcpy(field, ascii, std::min<std::size_t>(std::strlen(ascii), kArchiveNameWidth));
}

inline ArchiveFileHeader Header(ArchiveKind kind, uint32_t count, bool oxygen = true, uint8_t meterType = 1) {
    ArchiveFileHeader h;
    const char* tag = ArchiveInfo(kind).tag;
    std::memcpy(h.KindTag, tag, 3);
    const int dev = ArchiveInfo(kind).device;
    h.LineDevice = uint8_t(dev < 0 ? 0 : dev);
    SetName(h.ControllerName, "ZBR-7");
    if (dev == 0 && kind != ArchiveKind::Calib && kind != ArchiveKind::Verif) SetName(h.LineName, "  North 1  ");
    h.ControllerAddress = 5;
    h.ProgramVersion = kArchiveProgramVersion;
    h.ChromatographType = kSupportedChromatographType;
    h.MoistureMeterType = meterType;
    h.SetSerial(123456);
    h.ReadTime = {24, 3, 16, 10, 0, 0};
    h.FromDate = {24, 3, 14, 6, 0, 0};
    h.ToDate = {24, 3, 15, 23, 0, 0};
    h.SetCount(count);
    h.OxygenShown = oxygen ? 1 : 0;
    return h;
}

using zbr_test::ReadBytes;

class ViewerTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    std::unique_ptr<ui::test::Driver> drv;

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("viewers");
        for (const char* sub : {"INI", "MOMDATA", "HOURDATA", "DAYDATA", "CALIBRARHIV", "VERIFARHIV"})
            std::filesystem::create_directories(dir / sub);
        ReportFormat = DefaultReportFormat();
        ParamOrder = ParamOrderDefault;
        drv = std::make_unique<ui::test::Driver>();
        drv->setScreen(1280, 1024);
    }
    void TearDown() override {
        drv->verify();
        drv.reset();
        ReportFormat = DefaultReportFormat();
    }
    std::string Path(const std::string& rel) const { return (dir / rel).string(); }
};

}  // namespace vt
