// Tests of the emulator's archives: the model alone (records, bounds, paging,
// faults), driven by request data as the archive commands carry it, and the
// archive commands and bound tables of the whole emulator over loopback TCP.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "common/Crc16.h"
#include "emulator/ArchiveModel.h"
#include "emulator/Emulator.h"
#include "emulator/Protocol.h"

namespace {

using emu::Archive;
using emu::ArchiveFault;
using emu::ArchiveFaultKind;
using emu::ArchiveModel;
using emu::DeviceTime;
using Bytes = std::vector<uint8_t>;

float F32(const uint8_t* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes T6(const DeviceTime& t) { return Bytes(t.begin(), t.end()); }

Bytes PeriodRequest(uint8_t lineDevice, uint8_t kind, int page, const DeviceTime& b, const DeviceTime& e) {
    return Cat({{lineDevice, kind, static_cast<uint8_t>(page)}, T6(b), T6(e)});
}

// Splits reply records of `size` bytes starting at `at` (count at `countAt`).
std::vector<Bytes> Split(const Bytes& data, size_t countAt, size_t at, size_t size) {
    std::vector<Bytes> out;
    const size_t n = data.at(countAt);
    for (size_t i = 0; i < n && at + (i + 1) * size <= data.size(); ++i)
        out.emplace_back(data.begin() + at + i * size, data.begin() + at + (i + 1) * size);
    return out;
}

// A whole period read as the program runs it: pages 0, 1, 2, ... until an
// empty page or the more-data flag 0.
std::vector<Bytes> ReadPeriod(ArchiveModel& m, uint8_t lineDevice, uint8_t kind, const DeviceTime& b,
                              const DeviceTime& e, int* pages = nullptr) {
    std::vector<Bytes> all;
    const size_t size = emu::RecordSize(kind == 6 ? ((lineDevice & 0x0F) ? Archive::WmtMeasured : Archive::ChromMeasured)
                                        : kind == 0 ? Archive::Diagnostic
                                        : kind == 1 ? Archive::Intervention
                                        : kind == 5 ? Archive::Calibration
                                                    : Archive::Verification);
    int page = 0, count = 0;
    for (;;) {
        auto rep = m.Answer(8, PeriodRequest(lineDevice, kind, page, b, e));
        EXPECT_FALSE(rep.error) << int(rep.code);
        if (rep.error) break;
        ++count;
        EXPECT_EQ(page, rep.data[1]);
        auto recs = Split(rep.data, 2, 4, size);
        all.insert(all.end(), recs.begin(), recs.end());
        if (recs.empty() || rep.data[3] == 0) break;
        page = page + 1 == 256 ? 1 : page + 1;
    }
    if (pages) *pages = count;
    return all;
}

// An hourly (15) or daily (16) read as the program runs it: ask again from
// the next expected hour/day while full replies come.
std::vector<Bytes> ReadHourDay(ArchiveModel& m, uint8_t command, uint8_t line, uint8_t device, DeviceTime first,
                               const DeviceTime& last) {
    const int w = command == 15 ? 4 : 3;
    const bool wmt = device == 1;
    const size_t size = wmt ? 28 : 94, full = wmt ? 8 : 2;
    std::vector<Bytes> all;
    for (int guard = 0; guard < 10000; ++guard) {
        Bytes req{3, line, device};
        req.insert(req.end(), first.begin(), first.begin() + w);
        req.insert(req.end(), last.begin(), last.begin() + w);
        auto rep = m.Answer(command, req);
        EXPECT_FALSE(rep.error);
        auto recs = Split(rep.data, 0, 1, size);
        all.insert(all.end(), recs.begin(), recs.end());
        if (recs.size() < full) break;
        // next expected: the day/hour after the last record
        const Bytes& r = recs.back();
        std::tm tm{};
        tm.tm_year = r[0] + 100, tm.tm_mon = r[1] - 1, tm.tm_mday = r[2] + (w == 3 ? 1 : 0);
        tm.tm_hour = w == 4 ? r[3] + 1 : 0;
        const time_t s = timegm(&tm);
        gmtime_r(&s, &tm);
        first = {static_cast<uint8_t>(tm.tm_year - 100), static_cast<uint8_t>(tm.tm_mon + 1),
                 static_cast<uint8_t>(tm.tm_mday), static_cast<uint8_t>(tm.tm_hour), 0, 0};
        if (std::memcmp(first.data(), last.data(), w) > 0) break;
    }
    return all;
}

bool CrcOk(const Bytes& r) { return Crc16(r.data(), r.size()) == 0; }

class ArchiveTest : public ::testing::Test {
protected:
    ArchiveTest() : m(7) { m.SetNow({24, 3, 2, 10, 20, 0}); }
    ArchiveModel m;
};

TEST_F(ArchiveTest, RecordsCarryValidCrcsAndPlausibleGas) {
    struct Case {
        Archive a;
        DeviceTime from, to;
        size_t min;
    };
    const Case cases[] = {
        {Archive::ChromMeasured, {24, 2, 20, 0, 0, 0}, {24, 2, 20, 23, 59, 59}, 480},
        {Archive::ChromHourly, {24, 2, 20, 0, 0, 0}, {24, 2, 21, 23, 0, 0}, 48},
        {Archive::ChromDaily, {24, 1, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 59},
        {Archive::Calibration, {24, 1, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 16},
        {Archive::Verification, {24, 2, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 54},
        {Archive::WmtMeasured, {24, 2, 20, 0, 0, 0}, {24, 2, 20, 23, 59, 59}, 480},
        {Archive::WmtHourly, {24, 2, 20, 0, 0, 0}, {24, 2, 20, 23, 0, 0}, 24},
        {Archive::WmtDaily, {24, 2, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 28},
        {Archive::Diagnostic, {24, 1, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 200},
        {Archive::Intervention, {24, 1, 1, 0, 0, 0}, {24, 2, 28, 0, 0, 0}, 40},
    };
    for (const Case& c : cases) {
        for (int line = 0; line < 2; ++line) {
            const auto recs = m.Records(c.a, line, c.from, c.to);
            ASSERT_GE(recs.size(), c.min) << static_cast<int>(c.a);
            for (const Bytes& r : recs) {
                ASSERT_EQ(static_cast<size_t>(emu::RecordSize(c.a)), r.size());
                ASSERT_TRUE(CrcOk(r)) << static_cast<int>(c.a);
            }
            // The same records again, byte for byte.
            EXPECT_EQ(recs, m.Records(c.a, line, c.from, c.to));
        }
    }
    // Chromatograph values: methane near 90 %, components summing to 100 %,
    // calorific values, density and Wobbe numbers of a pipeline gas.
    for (Archive a : {Archive::ChromMeasured, Archive::ChromHourly, Archive::ChromDaily}) {
        for (const Bytes& r : m.Records(a, 1, {24, 2, 1, 0, 0, 0}, {24, 2, 21, 23, 59, 59})) {
            double sum = 0;
            for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15}) sum += F32(&r[12 + 4 * k]);
            EXPECT_NEAR(100.0, sum, 0.01);
            EXPECT_GT(F32(&r[12 + 4 * 8]), 88.0f);
            EXPECT_LT(F32(&r[12 + 4 * 8]), 95.0f);
            for (int k : {11, 18}) {
                EXPECT_GT(F32(&r[12 + 4 * k]), 33.0f);
                EXPECT_LT(F32(&r[12 + 4 * k]), 38.5f);
            }
            EXPECT_NEAR(0.72, F32(&r[12 + 4 * 12]), 0.04);
            EXPECT_NEAR(0.998, F32(&r[12 + 4 * 14]), 0.002);
            EXPECT_NEAR(0.6, F32(&r[12 + 4 * 19]), 0.04);
            EXPECT_GT(F32(&r[12 + 4 * 13]), F32(&r[12 + 4 * 17]));
        }
    }
    // Measured records of line 2 differ from line 1, and another seed gives other values.
    const DeviceTime a{24, 2, 20, 0, 0, 0}, b{24, 2, 20, 1, 0, 0};
    EXPECT_NE(m.Records(Archive::ChromMeasured, 0, a, b), m.Records(Archive::ChromMeasured, 1, a, b));
    ArchiveModel other(8);
    other.SetNow({24, 3, 2, 10, 20, 0});
    EXPECT_NE(m.Records(Archive::ChromHourly, 0, a, b), other.Records(Archive::ChromHourly, 0, a, b));
}

TEST_F(ArchiveTest, BoundsTablesMatchTheRecords) {
    m.SetSpan(Archive::ChromMeasured, {24, 1, 10, 8, 0, 0});
    m.SetSpan(Archive::ChromHourly, {24, 1, 5, 10, 17, 32});  // the archive began mid-hour
    m.SetSpan(Archive::ChromDaily, {23, 6, 1, 3, 0, 0});      // before the contract hour
    const Bytes t27 = m.Table27();
    ASSERT_EQ(18u, t27.size());

    const auto meas = m.Records(Archive::ChromMeasured, 0, {24, 1, 1, 0, 0, 0}, {24, 1, 10, 9, 0, 0});
    ASSERT_FALSE(meas.empty());
    EXPECT_EQ(Bytes(meas.front().begin(), meas.front().begin() + 6), Bytes(t27.begin(), t27.begin() + 6));
    EXPECT_EQ(24, t27[0]);
    EXPECT_EQ(8, t27[3]);
    EXPECT_EQ(0, t27[4]);

    // Hourly: the first record is hour 10 of 05.01.24, starting 10:17:32.
    EXPECT_EQ((Bytes{24, 1, 5, 10, 17, 32}), Bytes(t27.begin() + 6, t27.begin() + 12));
    const auto hours = m.Records(Archive::ChromHourly, 0, {24, 1, 1, 0, 0, 0}, {24, 1, 5, 12, 0, 0});
    ASSERT_EQ(3u, hours.size());
    EXPECT_EQ((Bytes{24, 1, 5, 10, 17, 32, 10, 59, 59}), Bytes(hours[0].begin(), hours[0].begin() + 9));

    // Daily: 01.06.23 03:00 with the flag in the seconds byte; the record is
    // dated 31.05.23, from 03:00:00 to the contract hour of the next date.
    EXPECT_EQ((Bytes{23, 6, 1, 3, 0, 0x80}), Bytes(t27.begin() + 12, t27.end()));
    const auto days = m.Records(Archive::ChromDaily, 0, {23, 5, 1, 0, 0, 0}, {23, 6, 2, 0, 0, 0});
    ASSERT_EQ(3u, days.size());
    EXPECT_EQ((Bytes{23, 5, 31, 3, 0, 0, 7 | 0x80, 0, 0}), Bytes(days[0].begin(), days[0].begin() + 9));
    EXPECT_EQ((Bytes{23, 6, 1, 7, 0, 0, 7 | 0x80, 0, 0}), Bytes(days[1].begin(), days[1].begin() + 9));
    EXPECT_EQ(480, days[1][10] | days[1][11] << 8);

    // The newest hourly and daily records are the last complete hour and gas day.
    const auto lastHours = m.Records(Archive::ChromHourly, 0, {24, 3, 2, 0, 0, 0}, {24, 3, 3, 0, 0, 0});
    ASSERT_FALSE(lastHours.empty());
    EXPECT_EQ(9, lastHours.back()[3]);  // clock 10:20
    const auto lastDays = m.Records(Archive::ChromDaily, 0, {24, 2, 25, 0, 0, 0}, {24, 3, 5, 0, 0, 0});
    EXPECT_EQ(1, lastDays.back()[2]);  // the gas day of 01.03 ended 02.03 07:00

    // An archive that starts after the clock has nothing: 01.01.01 00:00:00.
    m.SetSpan(Archive::ChromHourly, {24, 3, 5, 0, 0, 0});
    const Bytes none = m.Table27();
    EXPECT_EQ((Bytes{1, 1, 1, 0, 0, 0}), Bytes(none.begin() + 6, none.begin() + 12));

    // Index bounds: the oldest and newest records exist, their neighbours do not.
    for (Archive a : {Archive::Diagnostic, Archive::Intervention}) {
        const auto [oldest, newest] = m.IndexBounds(a);
        ASSERT_LT(oldest, newest);
        EXPECT_EQ(1u, m.IndexRecords(a, oldest - 1, 2).size());
        EXPECT_EQ(1u, m.IndexRecords(a, newest, 2).size());
        const Bytes t = m.IndexTable(a);
        EXPECT_EQ(oldest, static_cast<uint32_t>(t[0] | t[1] << 8 | t[2] << 16 | t[3] << 24));
    }
    m.SetIndexBounds(Archive::Diagnostic, 5, 60);
    EXPECT_EQ((Bytes{5, 0, 0, 0, 60, 0, 0, 0}), m.IndexTable(Archive::Diagnostic));
    EXPECT_EQ(56u, m.IndexRecords(Archive::Diagnostic, 0, 100).size());
    m.SetIndexBounds(Archive::Intervention, 9, 9);  // equal bounds: empty
    EXPECT_TRUE(m.IndexRecords(Archive::Intervention, 0, 100).empty());
}

TEST_F(ArchiveTest, PagedPeriodReads) {
    // A day and a half of measured values of line 2: 2 records a page, more
    // than 255 further pages, the page byte wrapping to 1.
    const DeviceTime b{24, 2, 28, 12, 0, 0}, e{24, 3, 1, 23, 59, 59};
    int pages = 0;
    const auto got = ReadPeriod(m, 0x10, 6, b, e, &pages);
    const auto want = m.Records(Archive::ChromMeasured, 1, b, e);
    EXPECT_EQ(want, got);
    EXPECT_EQ(static_cast<int>((want.size() + 1) / 2), pages);
    EXPECT_GT(pages, 300);
    EXPECT_EQ(29, want[300][2]);  // 29 February is in the period

    // Records per page of every kind, and what ends the read.
    struct Case {
        uint8_t lineDevice, kind;
        size_t perPage;
        Archive a;
    };
    for (const Case& c : {Case{0x01, 6, 8, Archive::WmtMeasured}, Case{0, 5, 1, Archive::Calibration},
                          Case{0, 7, 2, Archive::Verification}, Case{0, 0, 11, Archive::Diagnostic},
                          Case{0, 1, 10, Archive::Intervention}}) {
        const DeviceTime pb{24, 2, 1, 0, 0, 0}, pe{24, 2, 29, 23, 59, 59};
        auto rep = m.Answer(8, PeriodRequest(c.lineDevice, c.kind, 0, pb, pe));
        ASSERT_FALSE(rep.error);
        EXPECT_EQ(c.perPage, rep.data[2]);
        EXPECT_EQ(1, rep.data[3]);
        EXPECT_EQ(4 + c.perPage * emu::RecordSize(c.a), rep.data.size());
        EXPECT_LE(rep.data.size() + 6, 255u);
        EXPECT_EQ(m.Records(c.a, 0, pb, pe), ReadPeriod(m, c.lineDevice, c.kind, pb, pe));
    }

    // The same page again is answered again; others out of order are refused.
    auto p0 = m.Answer(8, PeriodRequest(0, 7, 0, b, e));
    auto p1 = m.Answer(8, PeriodRequest(0, 7, 1, b, e));
    EXPECT_EQ(p1.data, m.Answer(8, PeriodRequest(0, 7, 1, b, e)).data);
    EXPECT_NE(p0.data, p1.data);
    EXPECT_EQ(20, m.Answer(8, PeriodRequest(0, 7, 3, b, e)).code);
    EXPECT_EQ(21, m.Answer(8, PeriodRequest(0, 7, 2, b, {24, 3, 1, 23, 59, 58})).code);
    EXPECT_FALSE(m.Answer(8, PeriodRequest(0, 7, 2, b, e)).error);
    ArchiveModel fresh;
    EXPECT_EQ(20, fresh.Answer(8, PeriodRequest(0, 5, 1, b, e)).code);  // no series begun
    // Bad periods and bad bytes.
    EXPECT_EQ(22, m.Answer(8, PeriodRequest(0, 7, 0, e, b)).code);
    EXPECT_EQ(22, m.Answer(8, PeriodRequest(0, 7, 0, {23, 2, 29, 0, 0, 0}, e)).code);
    EXPECT_EQ(4, m.Answer(8, PeriodRequest(0x20, 6, 0, b, e)).code);
    EXPECT_EQ(4, m.Answer(8, PeriodRequest(0x11, 6, 0, b, e)).code);
    EXPECT_EQ(4, m.Answer(8, PeriodRequest(0, 3, 0, b, e)).code);
    // A period without records: one empty page.
    auto none = m.Answer(8, PeriodRequest(0, 6, 0, {24, 3, 5, 0, 0, 0}, {24, 3, 6, 0, 0, 0}));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), none.data);
}

TEST_F(ArchiveTest, HourlyAndDailyAcrossTheLeapDay) {
    const auto hours = ReadHourDay(m, 15, 1, 0, {24, 2, 28, 21, 0, 0}, {24, 3, 1, 2, 0, 0});
    EXPECT_EQ(m.Records(Archive::ChromHourly, 1, {24, 2, 28, 21, 0, 0}, {24, 3, 1, 2, 0, 0}), hours);
    ASSERT_EQ(30u, hours.size());
    EXPECT_EQ((Bytes{24, 2, 29, 0}), Bytes(hours[3].begin(), hours[3].begin() + 4));
    EXPECT_EQ((Bytes{24, 2, 29, 23}), Bytes(hours[26].begin(), hours[26].begin() + 4));
    EXPECT_EQ((Bytes{24, 3, 1, 0}), Bytes(hours[27].begin(), hours[27].begin() + 4));
    EXPECT_EQ(20, hours[5][10]);  // analyses an hour

    const auto days = ReadHourDay(m, 16, 0, 1, {24, 2, 27, 0, 0, 0}, {24, 3, 1, 0, 0, 0});
    ASSERT_EQ(4u, days.size());  // the gas day of 01.03 ended 02.03 07:00
    EXPECT_EQ((Bytes{24, 2, 29, 7, 0, 0, 0x87, 0, 0}), Bytes(days[2].begin(), days[2].begin() + 9));
    EXPECT_EQ(days, m.Records(Archive::WmtDaily, 0, {24, 2, 27, 0, 0, 0}, {24, 3, 1, 0, 0, 0}));

    // Full replies: 2 chromatograph records, 8 moisture; a short one ends the read.
    auto rep = m.Answer(15, {3, 0, 1, 24, 2, 29, 0, 24, 2, 29, 23});
    EXPECT_EQ(8, rep.data[0]);
    EXPECT_EQ(1u + 8 * 28, rep.data.size());
    rep = m.Answer(16, {3, 1, 0, 24, 2, 29, 24, 2, 29});
    EXPECT_EQ(1, rep.data[0]);
    EXPECT_EQ(4, m.Answer(15, {3, 1, 1, 24, 2, 29, 0, 24, 2, 29, 23}).code);
    EXPECT_EQ(4, m.Answer(15, {2, 0, 0, 24, 2, 29, 0, 24, 2, 29, 23}).code);
    EXPECT_EQ(22, m.Answer(15, {3, 0, 0, 24, 2, 29, 24, 24, 3, 1, 0}).code);
    EXPECT_EQ(22, m.Answer(16, {3, 0, 0, 23, 2, 29, 23, 3, 1}).code);
    EXPECT_EQ(22, m.Answer(16, {3, 0, 0, 24, 3, 1, 24, 2, 29}).code);

    // A gap drops hours; a switched-off period marks them and cuts the interval.
    m.AddGap(Archive::ChromHourly, 0, {24, 2, 29, 3, 0, 0}, {24, 2, 29, 5, 0, 0});
    m.AddOffPeriod({24, 2, 29, 10, 40, 0}, {24, 2, 29, 12, 14, 59});
    const auto cut = m.Records(Archive::ChromHourly, 0, {24, 2, 29, 0, 0, 0}, {24, 2, 29, 23, 0, 0});
    ASSERT_EQ(21u, cut.size());
    EXPECT_EQ(6, cut[3][3]);
    const Bytes& h10 = cut[7];
    const Bytes& h11 = cut[8];
    const Bytes& h12 = cut[9];
    EXPECT_EQ((Bytes{24, 2, 29, 10, 0, 0, 10, 39, 59, 2}), Bytes(h10.begin(), h10.begin() + 10));
    EXPECT_EQ(2, h11[9]);
    EXPECT_EQ(0, h11[10] | h11[11] << 8);
    EXPECT_EQ(0.0f, F32(&h11[12 + 4 * 8]));
    EXPECT_EQ((Bytes{24, 2, 29, 12, 15, 0, 12, 59, 59, 2}), Bytes(h12.begin(), h12.begin() + 10));
    EXPECT_TRUE(CrcOk(h11));
    EXPECT_TRUE(m.Records(Archive::ChromMeasured, 0, {24, 2, 29, 10, 40, 0}, {24, 2, 29, 12, 14, 59}).empty());
    // The gas day with the off period ends on the day after its date, the mark stays.
    const auto d29 = m.Records(Archive::ChromDaily, 0, {24, 2, 29, 0, 0, 0}, {24, 2, 29, 0, 0, 0});
    ASSERT_EQ(1u, d29.size());
    EXPECT_EQ(2, d29[0][9]);
    EXPECT_EQ(480 - 31, d29[0][10] | d29[0][11] << 8);
}

TEST_F(ArchiveTest, IndexReads) {
    m.SetIndexBounds(Archive::Diagnostic, 5, 60);
    auto rep = m.Answer(7, {0, 0, 5, 0, 0, 0, 11});
    ASSERT_FALSE(rep.error);
    EXPECT_EQ((Bytes{0, 0, 5, 0, 0, 0, 11}), Bytes(rep.data.begin(), rep.data.begin() + 7));
    EXPECT_EQ(7u + 11 * 22, rep.data.size());
    const auto want = m.IndexRecords(Archive::Diagnostic, 5, 56);
    EXPECT_EQ(Bytes(want[0].begin(), want[0].end()), Bytes(rep.data.begin() + 7, rep.data.begin() + 29));
    // Times grow with the index.
    for (size_t i = 1; i < want.size(); ++i) EXPECT_LT(Bytes(want[i - 1].begin(), want[i - 1].begin() + 6),
                                                       Bytes(want[i].begin(), want[i].begin() + 6));
    EXPECT_EQ(3, m.Answer(7, {0, 0, 58, 0, 0, 0, 11}).data[6]);  // up to the newest
    EXPECT_EQ(0, m.Answer(7, {0, 0, 61, 0, 0, 0, 11}).data[6]);
    const uint32_t i0 = m.IndexBounds(Archive::Intervention).first;
    EXPECT_EQ(10, m.Answer(7, {0, 1, static_cast<uint8_t>(i0), static_cast<uint8_t>(i0 >> 8),
                                static_cast<uint8_t>(i0 >> 16), static_cast<uint8_t>(i0 >> 24), 50})
                      .data[6]);  // at most 10 interventions a reply
    EXPECT_EQ(4, m.Answer(7, {0, 2, 5, 0, 0, 0, 1}).code);
    EXPECT_EQ(2, m.Answer(7, {0, 0, 5, 0, 0, 0}).code);
    // The same records by period.
    const DeviceTime b{1, 1, 1, 0, 0, 0}, e{99, 12, 31, 23, 59, 59};
    EXPECT_EQ(want, ReadPeriod(m, 0, 0, b, e));
    m.CorruptIndex(Archive::Diagnostic, 6);
    EXPECT_FALSE(CrcOk(m.IndexRecords(Archive::Diagnostic, 6, 1)[0]));
    EXPECT_TRUE(CrcOk(m.IndexRecords(Archive::Diagnostic, 7, 1)[0]));
}

TEST_F(ArchiveTest, Faults) {
    const Bytes hourReq{3, 0, 0, 24, 2, 29, 0, 24, 2, 29, 23};
    const auto clean = m.Answer(15, hourReq);
    ASSERT_EQ(2, clean.data[0]);

    m.QueueFault({ArchiveFaultKind::Empty});
    EXPECT_EQ((Bytes{0}), m.Answer(15, hourReq).data);

    m.QueueFault({ArchiveFaultKind::ShortReply});
    auto rep = m.Answer(15, hourReq);
    EXPECT_EQ(3, rep.data[0]);
    EXPECT_EQ(clean.data, Cat({{2}, Bytes(rep.data.begin() + 1, rep.data.end())}));

    m.QueueFault({ArchiveFaultKind::EarlyRecord});
    rep = m.Answer(15, hourReq);
    EXPECT_EQ((Bytes{2, 24, 2, 28, 23}), Bytes(rep.data.begin(), rep.data.begin() + 5));
    EXPECT_EQ(0, rep.data[1 + 94 + 3]);

    m.QueueFault({ArchiveFaultKind::LateRecord, 2});
    rep = m.Answer(15, {3, 0, 0, 24, 2, 29, 22, 24, 2, 29, 22});
    ASSERT_EQ(2, rep.data[0]);
    EXPECT_EQ((Bytes{24, 3, 1, 0}), Bytes(rep.data.begin() + 95, rep.data.begin() + 99));

    m.QueueFault({ArchiveFaultKind::CorruptRecord, 1});
    rep = m.Answer(15, hourReq);
    EXPECT_TRUE(CrcOk(Bytes(rep.data.begin() + 1, rep.data.begin() + 95)));
    EXPECT_FALSE(CrcOk(Bytes(rep.data.begin() + 95, rep.data.end())));

    // A failure on the third request from now; the two before it are answered.
    m.QueueFault({ArchiveFaultKind::ErrorReply, 22, 3});
    EXPECT_FALSE(m.Answer(15, hourReq).error);
    EXPECT_FALSE(m.Answer(15, hourReq).error);
    rep = m.Answer(15, hourReq);
    EXPECT_TRUE(rep.error);
    EXPECT_EQ(22, rep.code);
    EXPECT_EQ(0u, m.PendingFaults());

    // A lost page is asked again and comes again; the archive-error bit.
    const DeviceTime b{24, 2, 29, 0, 0, 0}, e{24, 2, 29, 1, 0, 0};
    m.Answer(8, PeriodRequest(0, 6, 0, b, e));
    m.QueueFault({ArchiveFaultKind::Silence});
    EXPECT_TRUE(m.Answer(8, PeriodRequest(0, 6, 1, b, e)).silent);
    const auto p1 = m.Answer(8, PeriodRequest(0, 6, 1, b, e));
    m.QueueFault({ArchiveFaultKind::ArchiveError});
    const auto again = m.Answer(8, PeriodRequest(0, 6, 1, b, e));
    EXPECT_EQ(0x80, again.data[0]);
    EXPECT_EQ(Bytes(p1.data.begin() + 1, p1.data.end()), Bytes(again.data.begin() + 1, again.data.end()));
    const auto want = m.Records(Archive::ChromMeasured, 0, b, e);
    EXPECT_EQ(Bytes(want[2].begin(), want[2].end()), Bytes(p1.data.begin() + 4, p1.data.begin() + 98));

    // A record corrupted in the archive comes corrupted in every read.
    m.CorruptRecordAt(Archive::ChromHourly, 0, {24, 2, 29, 5, 0, 0});
    const auto hours = m.Records(Archive::ChromHourly, 0, b, {24, 2, 29, 23, 0, 0});
    for (size_t i = 0; i < hours.size(); ++i) EXPECT_EQ(i != 5, CrcOk(hours[i])) << i;
}

// One request over a TCP connection; the reply frame as it came.
Bytes Ask(int fd, uint8_t command, const Bytes& data) {
    const Bytes frame = emu::BuildRequest(1, command, data);
    EXPECT_EQ(static_cast<ssize_t>(frame.size()), ::write(fd, frame.data(), frame.size()));
    Bytes got;
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, got.empty() ? 2000 : 50) > 0) {
        uint8_t b[512];
        const ssize_t n = ::read(fd, b, sizeof b);
        if (n <= 0) break;
        got.insert(got.end(), b, b + n);
        if (got.size() >= 3 && got.size() >= got[2]) break;
    }
    return got;
}

TEST(ArchiveEmulatorTest, CommandsAndBoundTablesOverTcp) {
    emu::Emulator e(5);
    e.SetClock({24, 3, 2, 10, 20, 0});
    e.FreezeClock(true);
    auto& ar = e.Archives();
    ar.SetSpan(Archive::ChromDaily, {23, 6, 1, 3, 0, 0});
    ar.SetIndexBounds(Archive::Intervention, 3, 40);
    const int port = e.StartTcp();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a));

    // Bound tables read with command 1 are the model's.
    Bytes rep = Ask(fd, 1, {0, 27, 0, 3});
    ASSERT_EQ(28u, rep.size());
    EXPECT_EQ(ar.Table27(), Bytes(rep.begin() + 8, rep.begin() + 26));
    EXPECT_EQ((Bytes{23, 6, 1, 3, 0, 0x80}), Bytes(rep.begin() + 20, rep.begin() + 26));
    rep = Ask(fd, 1, {0, 11, 0, 2});
    EXPECT_EQ((Bytes{3, 0, 0, 0, 40, 0, 0, 0}), Bytes(rep.begin() + 8, rep.begin() + 16));

    // Hourly records: 0x33, address, length, 0x8F, n, records, CRC.
    rep = Ask(fd, 15, {3, 1, 0, 24, 2, 29, 23, 24, 3, 1, 5});
    ASSERT_EQ(5u + 2 * 94 + 2, rep.size());
    EXPECT_EQ(0x8F, rep[3]);
    EXPECT_EQ(0, Crc16(rep.data(), rep.size()));
    const auto want = ar.Records(Archive::ChromHourly, 1, {24, 2, 29, 23, 0, 0}, {24, 3, 1, 5, 0, 0});
    EXPECT_EQ(Cat({want[0], want[1]}), Bytes(rep.begin() + 5, rep.end() - 2));

    // Index records: n at frame byte 10, the records from byte 11.
    rep = Ask(fd, 7, {0, 1, 38, 0, 0, 0, 10});
    ASSERT_GE(rep.size(), 11u);
    EXPECT_EQ(3, rep[10]);
    EXPECT_EQ(Cat({ar.IndexRecords(Archive::Intervention, 38, 3)[0]}), Bytes(rep.begin() + 11, rep.begin() + 35));

    // A period page: status at 4, n at 6, more at 7, records from 8.
    rep = Ask(fd, 8, PeriodRequest(0, 5, 0, {24, 1, 1, 0, 0, 0}, {24, 2, 1, 0, 0, 0}));
    ASSERT_EQ(8u + 170 + 2, rep.size());
    EXPECT_EQ((Bytes{0, 0, 1, 1}), Bytes(rep.begin() + 4, rep.begin() + 8));

    // An error reply on the second archive request from now; a wrong length.
    const Bytes hourReq{3, 0, 0, 24, 2, 29, 0, 24, 2, 29, 1};
    ar.QueueFault({ArchiveFaultKind::ErrorReply, 22, 2});
    EXPECT_EQ(0x8F, Ask(fd, 15, hourReq).at(3));
    rep = Ask(fd, 15, hourReq);
    ASSERT_EQ(9u, rep.size());
    EXPECT_EQ((Bytes{0x33, 1, 9, 15, 22, 15, 0}), Bytes(rep.begin(), rep.begin() + 7));
    rep = Ask(fd, 16, {3, 0, 0, 24, 2, 29});
    ASSERT_EQ(9u, rep.size());
    EXPECT_EQ(2, rep[4]);

    // The gas day follows the contract hour of table 6.
    Bytes t6 = e.Table(6);
    t6[6] = 0;
    e.SetTable(6, t6);
    rep = Ask(fd, 16, {3, 0, 0, 24, 2, 29, 24, 2, 29});
    ASSERT_EQ(5u + 94 + 2, rep.size());
    EXPECT_EQ((Bytes{24, 2, 29, 0, 0, 0, 0x80, 0, 0}), Bytes(rep.begin() + 5, rep.begin() + 14));

    // Bounds set by hand stay as set.
    e.SetTable(27, {1, 1, 1, 0, 0, 0});
    rep = Ask(fd, 1, {0, 27, 0, 1});
    ASSERT_GE(rep.size(), 14u);
    EXPECT_EQ((Bytes{1, 1, 1, 0, 0, 0}), Bytes(rep.begin() + 8, rep.begin() + 14));
    ::close(fd);
}

}  // namespace
