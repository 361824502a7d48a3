// The last archive request, kept between runs in INI/rd_arh.ini.
//
// The file is the 74 bytes of the record, little-endian, no header:
//   0  u32  PeriodKind   last choice of the period dialog
//   4  u32  IndexKind    last choice of the index dialog
//   8  f64  PeriodBegin  begin of the last requested period (days since 1899-12-30)
//  16  f64  PeriodEnd    end of the last requested period
//  24  50 bytes reserved (zero in a new record; read and written back unchanged)
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct ArchiveRequestDefaultsRecord {
    uint32_t PeriodKind = 0;
    uint32_t IndexKind = 0;
    double PeriodBegin = 0;
    double PeriodEnd = 0;
    uint8_t Reserved[50] = {};
};

inline constexpr std::size_t kArchiveRequestDefaultsSize = 74;

// The record of the run: zero until the main window loads it.
extern ArchiveRequestDefaultsRecord ArchiveRequestDefaults;

// WorkDir/INI/rd_arh.ini.
std::string ArchiveDefaultsPath();

// {0, 1, now, now}, reserved bytes zero.
ArchiveRequestDefaultsRecord DefaultArchiveRequest(double now);

// Reads the file over `rec`. A file that cannot be opened or read gives
// the defaults (result false). A short file replaces only the bytes it holds.
// Dates that are not finite or lie outside years 1900..9999 (a damaged
// file) are replaced by `now`, so no dialog is ever handed a wild date.
bool LoadArchiveDefaults(const std::string& path, ArchiveRequestDefaultsRecord& rec, double now);

// Writes the 74 bytes whole through a temporary file in the same folder.
// False, with the reason in *error, when the file cannot be written; the
// old file then stays as it was.
bool SaveArchiveDefaults(const std::string& path, const ArchiveRequestDefaultsRecord& rec,
                         std::string* error = nullptr);

// The 74 bytes of the file, and back (Decode takes at most 74 bytes over `rec`).
std::string EncodeArchiveDefaults(const ArchiveRequestDefaultsRecord& rec);
void DecodeArchiveDefaults(const uint8_t* bytes, std::size_t n, ArchiveRequestDefaultsRecord& rec);
