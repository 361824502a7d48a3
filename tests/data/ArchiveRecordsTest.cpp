#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "data/ArchiveRecords.h"

namespace {

template <class R>
const uint8_t* Bytes(const R& r) {
    return reinterpret_cast<const uint8_t*>(&r);
}

}  // namespace

TEST(ArchiveRecords, SizesOfEveryKind) {
    EXPECT_EQ(RecordSizeOf(RecordKind::ChromMeas), 94u);
    EXPECT_EQ(RecordSizeOf(RecordKind::Hdm), 94u);
    EXPECT_EQ(RecordSizeOf(RecordKind::Calib), 170u);
    EXPECT_EQ(RecordSizeOf(RecordKind::Verif), 90u);
    EXPECT_EQ(RecordSizeOf(RecordKind::WmtMomentary), 29u);
    EXPECT_EQ(RecordSizeOf(RecordKind::WmtArchive), 28u);
    EXPECT_EQ(RecordSizeOf(RecordKind::Diagnostic), 22u);
    EXPECT_EQ(RecordSizeOf(RecordKind::Intervention), 24u);
    EXPECT_EQ(RecordSizeOf(RecordKind::DiagnosticRow), 300u);
    EXPECT_EQ(RecordSizeOf(RecordKind::InterventionRow), 205u);
}

TEST(ArchiveRecords, LittleEndianFields) {
    const uint8_t one[4] = {0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(GetF32(one), 1.0f);
    const uint8_t n[4] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(GetU32(n), 0x12345678u);
    EXPECT_EQ(GetU16(n), 0x5678);
    uint8_t b[4];
    PutF32(b, -2.5f);
    EXPECT_EQ(GetF32(b), -2.5f);
    PutU16(b, 0xA1B2);
    EXPECT_EQ(b[0], 0xB2);
    EXPECT_EQ(b[1], 0xA1);
    PutF32(b, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(std::isnan(GetF32(b)));
}

TEST(ArchiveRecords, FieldsLieAtTheirOffsets) {
    ChromMeasRecord m;
    m.time = {24, 3, 15, 10, 20, 30};
    m.controllerStatus = 0x80;
    m.SetChromStatus(0x0102);
    m.SetValue(8, 1.0f);  // methane at 12 + 32
    EXPECT_EQ(Bytes(m)[0], 24);
    EXPECT_EQ(Bytes(m)[5], 30);
    EXPECT_EQ(Bytes(m)[7], 0x80);
    EXPECT_EQ(Bytes(m)[8], 0x02);
    EXPECT_EQ(Bytes(m)[9], 0x01);
    EXPECT_EQ(Bytes(m)[44 + 3], 0x3F);
    EXPECT_EQ(m.Value(8), 1.0f);

    HdmArchiveRecord h;
    h.SetCount(300);
    h.endHour = 0x80 | 9;
    h.SetValue(19, 0.5f);
    EXPECT_EQ(Bytes(h)[10], 300 & 0xFF);
    EXPECT_EQ(Bytes(h)[11], 1);
    EXPECT_EQ(GetF32(Bytes(h) + 12 + 76), 0.5f);
    EXPECT_EQ(h.EndHourValue(), 9);
    EXPECT_FALSE(h.EndMarkedWithStar());
    h.endHour = 9;
    EXPECT_TRUE(h.EndMarkedWithStar());

    CalibRecord c;
    c.SetFactor(0, 2.0f);
    c.SetValue(19, 3.0f);
    EXPECT_EQ(GetF32(Bytes(c) + 88), 2.0f);
    EXPECT_EQ(GetF32(Bytes(c) + 8 + 76), 3.0f);

    WmtMomentaryRecord w;
    w.SetMeterState(0x1234);
    w.SetValue(3, 7.0f);
    EXPECT_EQ(Bytes(w)[9], 0x34);
    EXPECT_EQ(Bytes(w)[10], 0x12);
    EXPECT_EQ(GetF32(Bytes(w) + 11 + 12), 7.0f);

    WmtArchiveRecord wa;
    wa.SetValue(0, 4.0f);
    EXPECT_EQ(GetF32(Bytes(wa) + 10), 4.0f);

    DiagnosticRecord d;
    PutU32(d.value, 0xDEADBEEF);
    PutF32(d.setpoint, 1.25f);
    EXPECT_EQ(d.ValueU32(), 0xDEADBEEFu);
    EXPECT_EQ(d.SetpointF32(), 1.25f);
}

TEST(ArchiveRecords, CrcOfAWholeRecordIsZeroWhenValid) {
    VerifRecord v;
    v.time = {24, 1, 2, 3, 4, 5};
    v.result = 3;
    for (int k = 0; k < kGasParamCount; ++k) v.SetValue(k, float(k) * 1.5f);
    EXPECT_FALSE(RecordCrcOk(v));  // CRC still zero
    SealRecord(v);
    EXPECT_TRUE(RecordCrcOk(v));
    EXPECT_EQ(Crc16(&v, sizeof v - 2), GetU16(v.crc));  // low byte first

    VerifRecord spoilt = v;
    spoilt.values[5] ^= 0x01;
    EXPECT_FALSE(RecordCrcOk(spoilt));
    spoilt = v;
    spoilt.crc[1] ^= 0x80;
    EXPECT_FALSE(RecordCrcOk(spoilt));

    // The same rule over raw bytes of any kind.
    uint8_t raw[22] = {24, 1, 2, 3, 4, 5, 12};
    SealRecord(raw, sizeof raw);
    EXPECT_TRUE(RecordCrcOk(raw, sizeof raw));
    EXPECT_FALSE(RecordCrcOk(raw, 1));
}

TEST(ArchiveRecords, TextRowFieldsAreZeroPaddedWindows1251) {
    DiagnosticRow r;
    r.Set(0, "  15.03.24");
    r.Set(2, "Зміна програмного забезпечення");
    r.Set(6, std::string(40, 'x'));  // longer than its 20 bytes
    EXPECT_EQ(r.Get(0), "  15.03.24");
    EXPECT_EQ(r.Get(2), "Зміна програмного забезпечення");
    EXPECT_EQ(r.Get(6), std::string(19, 'x'));
    EXPECT_EQ(r.unit[19], 0);
    EXPECT_EQ(r.event[0], 0xC7);  // 'З' in Windows-1251, one byte
    EXPECT_EQ(r.Get(1), "");
    EXPECT_EQ(r.Get(7), "");

    InterventionRow a;
    a.Set(6, "ОПЕР1");
    EXPECT_EQ(a.Get(6), "ОПЕР");  // 4 characters and the closing zero
    EXPECT_EQ(a.operatorName[4], 0);
    a.Set(3, "  12");
    EXPECT_EQ(Bytes(a)[140 + 2], '1');
}
