#include "config/ArchiveDefaults.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/Suplfunc.h"
#include "platform/FileRead.h"
#include "platform/FileWrite.h"
#include "platform/Paths.h"

ArchiveRequestDefaultsRecord ArchiveRequestDefaults;

namespace {

// Days since 1899-12-30 of 1900-01-01 and of 9999-12-31 23:59:59.
constexpr double kFirstDay = 2.0;
constexpr double kLastDay = 2958466.0;

void PutF64(uint8_t* p, double d) {
    uint64_t v = 0;
    std::memcpy(&v, &d, 8);
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
double GetF64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(p[i]) << (8 * i);
    double d = 0;
    std::memcpy(&d, &v, 8);
    return d;
}

bool SaneDate(double d) { return std::isfinite(d) && d >= kFirstDay && d < kLastDay; }

}  // namespace

std::string ArchiveDefaultsPath() { return platform::InWorkDir("INI/rd_arh.ini"); }

ArchiveRequestDefaultsRecord DefaultArchiveRequest(double now) {
    ArchiveRequestDefaultsRecord r;
    r.PeriodKind = 0;
    r.IndexKind = 1;
    r.PeriodBegin = now;
    r.PeriodEnd = now;
    return r;
}

std::string EncodeArchiveDefaults(const ArchiveRequestDefaultsRecord& rec) {
    uint8_t b[kArchiveRequestDefaultsSize] = {};
    PutU32(b, rec.PeriodKind);
    PutU32(b + 4, rec.IndexKind);
    PutF64(b + 8, rec.PeriodBegin);
    PutF64(b + 16, rec.PeriodEnd);
    std::memcpy(b + 24, rec.Reserved, sizeof rec.Reserved);
    return std::string(reinterpret_cast<const char*>(b), sizeof b);
}

void DecodeArchiveDefaults(const uint8_t* bytes, std::size_t n, ArchiveRequestDefaultsRecord& rec) {
    // Over the record's own bytes, so that a short file changes only what it holds.
    std::string cur = EncodeArchiveDefaults(rec);
    std::memcpy(cur.data(), bytes, std::min(n, cur.size()));
    const auto* b = reinterpret_cast<const uint8_t*>(cur.data());
    rec.PeriodKind = GetU32(b);
    rec.IndexKind = GetU32(b + 4);
    rec.PeriodBegin = GetF64(b + 8);
    rec.PeriodEnd = GetF64(b + 16);
    std::memcpy(rec.Reserved, b + 24, sizeof rec.Reserved);
}

bool LoadArchiveDefaults(const std::string& path, ArchiveRequestDefaultsRecord& rec, double now) {
    std::string bytes;
    // Missing, a folder, a pipe, a device that fails: the defaults.
    if (platform::ReadRegularFile(path, bytes, kArchiveRequestDefaultsSize) != platform::ReadResult::Ok) {
        rec = DefaultArchiveRequest(now);
        return false;
    }
    uint8_t b[kArchiveRequestDefaultsSize] = {};
    const std::size_t n = bytes.size();
    std::memcpy(b, bytes.data(), n);
    DecodeArchiveDefaults(b, n, rec);
    if (!SaneDate(rec.PeriodBegin)) rec.PeriodBegin = now;
    if (!SaneDate(rec.PeriodEnd)) rec.PeriodEnd = now;
    return true;
}

bool SaveArchiveDefaults(const std::string& path, const ArchiveRequestDefaultsRecord& rec, std::string* error) {
    return platform::WriteWholeFile(path, EncodeArchiveDefaults(rec), error) == platform::WriteResult::Ok;
}
