#include "data/ArchiveRecords.h"

#include <algorithm>

#include "platform/Codepage.h"

std::size_t RecordSizeOf(RecordKind kind) {
    switch (kind) {
        case RecordKind::ChromMeas: return sizeof(ChromMeasRecord);
        case RecordKind::Hdm: return sizeof(HdmArchiveRecord);
        case RecordKind::Calib: return sizeof(CalibRecord);
        case RecordKind::Verif: return sizeof(VerifRecord);
        case RecordKind::WmtMomentary: return sizeof(WmtMomentaryRecord);
        case RecordKind::WmtArchive: return sizeof(WmtArchiveRecord);
        case RecordKind::Diagnostic: return sizeof(DiagnosticRecord);
        case RecordKind::Intervention: return sizeof(InterventionRecord);
        case RecordKind::DiagnosticRow: return sizeof(DiagnosticRow);
        case RecordKind::InterventionRow: return sizeof(InterventionRow);
    }
    return 0;
}

void SetRowField(uint8_t* field, std::size_t width, std::string_view utf8) {
    if (width == 0) return;
    std::memset(field, 0, width);
    const std::string bytes = platform::Utf8ToCp1251(utf8);
    // Keep the last byte zero; a zero inside the text ends it anyway.
    const std::size_t n = std::min(bytes.size(), width - 1);
    std::memcpy(field, bytes.data(), n);
}

std::string GetRowField(const uint8_t* field, std::size_t width) {
    std::size_t n = 0;
    while (n < width && field[n] != 0) ++n;
    return platform::Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(field), n));
}

namespace {

struct FieldRef {
    std::size_t offset;
    std::size_t width;
};

constexpr FieldRef kDiagnosticFields[DiagnosticRow::kFieldCount] = {
    {0, 20}, {20, 20}, {40, 100}, {140, 100}, {240, 20}, {260, 20}, {280, 20}};
constexpr FieldRef kInterventionFields[InterventionRow::kFieldCount] = {
    {0, 20}, {20, 20}, {40, 100}, {140, 20}, {160, 20}, {180, 20}, {200, 5}};

}  // namespace

void DiagnosticRow::Set(int i, std::string_view utf8) {
    if (i < 0 || i >= kFieldCount) return;
    const FieldRef f = kDiagnosticFields[i];
    SetRowField(reinterpret_cast<uint8_t*>(this) + f.offset, f.width, utf8);
}

std::string DiagnosticRow::Get(int i) const {
    if (i < 0 || i >= kFieldCount) return {};
    const FieldRef f = kDiagnosticFields[i];
    return GetRowField(reinterpret_cast<const uint8_t*>(this) + f.offset, f.width);
}

void InterventionRow::Set(int i, std::string_view utf8) {
    if (i < 0 || i >= kFieldCount) return;
    const FieldRef f = kInterventionFields[i];
    SetRowField(reinterpret_cast<uint8_t*>(this) + f.offset, f.width, utf8);
}

std::string InterventionRow::Get(int i) const {
    if (i < 0 || i >= kFieldCount) return {};
    const FieldRef f = kInterventionFields[i];
    return GetRowField(reinterpret_cast<const uint8_t*>(this) + f.offset, f.width);
}

// The field tables must match the struct layouts.
static_assert(offsetof(DiagnosticRow, event) == 40 && offsetof(DiagnosticRow, object) == 140 &&
              offsetof(DiagnosticRow, value) == 240 && offsetof(DiagnosticRow, unit) == 280);
static_assert(offsetof(InterventionRow, parameter) == 40 && offsetof(InterventionRow, oldValue) == 140 &&
              offsetof(InterventionRow, unit) == 180 && offsetof(InterventionRow, operatorName) == 200);
static_assert(offsetof(ChromMeasRecord, values) == 12 && offsetof(ChromMeasRecord, crc) == 92);
static_assert(offsetof(HdmArchiveRecord, count) == 10 && offsetof(HdmArchiveRecord, values) == 12);
static_assert(offsetof(CalibRecord, factors) == 88 && offsetof(CalibRecord, crc) == 168);
static_assert(offsetof(WmtMomentaryRecord, meterState) == 9 && offsetof(WmtMomentaryRecord, values) == 11);
static_assert(offsetof(WmtArchiveRecord, values) == 10 && offsetof(WmtArchiveRecord, crc) == 26);
static_assert(offsetof(DiagnosticRecord, value) == 10 && offsetof(DiagnosticRecord, crc) == 20);
static_assert(offsetof(InterventionRecord, operatorName) == 18 && offsetof(InterventionRecord, crc) == 22);
