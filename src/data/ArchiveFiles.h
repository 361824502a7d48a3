// The archive header, the temporary archive files and the saved archive files.
//
// Every archive read from the controller is appended record by record to a
// temporary file in the program folder, read back into one array and handed,
// headed by an 82-byte ArchiveFileHeader, to the viewer of its kind. A viewer
// saves the header and its entries as an archive file; the "view from file"
// menu items open such a file again, check its header and hand it to the same
// viewer.
//
// A saved archive file is the header followed by RecordCount entries of the
// kind's fixed size, nothing before, between or after them. Diagnostic (.ala)
// and intervention (.aud) files hold the viewer's text rows instead of the
// controller's records; their RecordCount counts rows.
//
// Names: archive folders are sub-folders of WorkDir. Default file names carry
// the measuring line's name; that name is Windows-1251 bytes in the header and
// becomes UTF-8 in the file name (Linux file names are UTF-8), with '/', '\'
// and control characters replaced by '_'.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Dtfun.h"
#include "data/ArchiveRecords.h"

// The controller software version the program serves: written into every
// header and required of every archive file opened.
inline constexpr uint8_t kArchiveProgramVersion = 11;
// The only chromatograph type the program supports (Orvix7200).
inline constexpr uint8_t kSupportedChromatographType = 3;

// ---- the header ----------------------------------------------------------

inline constexpr std::size_t kArchiveHeaderSize = 82;
inline constexpr std::size_t kArchiveNameWidth = 20;

// 82 bytes, little-endian; every byte not set by the builder is 0.
struct ArchiveFileHeader {
    char KindTag[3] = {};                            // 0: "MSA","HOU","DAY","CLB","VRF","ALA","AUD"
    uint8_t LineDevice = 0;                          // 3: high nibble line (0, 1), low nibble device
                                                     //    (0 chromatograph, 1 moisture meter)
    uint8_t ControllerName[kArchiveNameWidth] = {};  // 4: table 5 row 0, Windows-1251
    uint8_t LineName[kArchiveNameWidth] = {};        // 24: table 5 row 1 or 2; zero if none
    uint8_t ControllerAddress = 0;                   // 44
    uint8_t ProgramVersion = 0;                      // 45: always 11
    uint8_t ChromatographType = 0;                   // 46: table 14 row 6
    uint8_t MoistureMeterType = 0;                   // 47: table 15 row 6
    uint8_t ChromatographSerial[4] = {};             // 48: u32, table 41
    DeviceDateTime ReadTime;                         // 52: PC clock when the header was built
    DeviceDateTime FromDate;                         // 58: period beginning or first record
    DeviceDateTime ToDate;                           // 64: period end or last record
    uint8_t RecordCount[4] = {};                     // 70: u32 entries after the header
    uint8_t OxygenShown = 0;                         // 74: 1 when oxygen (code 15) is shown
    uint8_t Reserved[7] = {};                        // 75

    uint32_t Serial() const { return GetU32(ChromatographSerial); }
    void SetSerial(uint32_t v) { PutU32(ChromatographSerial, v); }
    uint32_t Count() const { return GetU32(RecordCount); }
    void SetCount(uint32_t v) { PutU32(RecordCount, v); }
    int Line() const { return LineDevice >> 4; }
    int Device() const { return LineDevice & 0x0F; }
    bool Oxygen() const { return OxygenShown != 0; }
    std::string_view Tag() const { return std::string_view(KindTag, 3); }
    // The names as UTF-8 with surrounding blanks trimmed (up to a zero byte).
    std::string ControllerNameText() const;
    std::string LineNameText() const;
};
static_assert(sizeof(ArchiveFileHeader) == kArchiveHeaderSize);
static_assert(alignof(ArchiveFileHeader) == 1);

// ---- archive kinds -------------------------------------------------------

enum class ArchiveKind : uint8_t {
    ChromMeas,     // chromatograph measured values, .mch
    WmtMeas,       // moisture-meter measured values, .mwm
    ChromHour,     // chromatograph hourly values, .hch
    ChromDay,      // chromatograph daily values, .dch
    WmtHour,       // moisture-meter hourly values, .hwm
    WmtDay,        // moisture-meter daily values, .dwm
    Calib,         // calibration results, .clb
    Verif,         // verification results, .vrf
    Diagnostic,    // diagnostic messages, .ala (text rows)
    Intervention,  // operator interventions, .aud (text rows)
};
inline constexpr int kArchiveKindCount = 10;

// The temporary files of the reads, in WorkDir.
enum class TempArchive : uint8_t {
    Measured,      // datafile.msd: measured values of either device
    HourDay,       // datafile.hdm: hourly and daily values of either device
    Calib,         // datafile.clb
    Verif,         // datafile.vrf
    Diagnostic,    // datafile.ala
    Intervention,  // datafile.aud
};

struct ArchiveKindInfo {
    const char* tag;         // header tag
    int device;              // device nibble required when opening; -1 not tested
    const char* folder;      // sub-folder of WorkDir
    const char* extension;   // ".mch"
    RecordKind entry;        // what a saved file holds
    RecordKind record;       // what the controller sends
    TempArchive temp;        // temporary file of the read
    const char* refusal;     // second line of "Файл %s не є файлом, що містить"
    int filterIndex;         // 1-based entry of ArchiveOpenFilter() the open dialog selects
    const char* saveFilter;  // filter of the save dialog
};
const ArchiveKindInfo& ArchiveInfo(ArchiveKind kind);

// The open dialog's filter list of the "view from file" items (entries
// "Data Files (*.cnf)" .. "DataFiles(*.*)", each followed by its pattern).
extern const char* const kArchiveOpenFilter;
// Title of that dialog.
extern const char* const kArchiveOpenTitle;  // "Вибір файлу даних"
// Title of the save dialogs of the value viewers.
extern const char* const kArchiveSaveTitle;  // "Вибір файлу для збереження даних"

// ---- building a header ----------------------------------------------------

// What the header takes from the configuration image and the link.
struct ArchiveHeaderSource {
    uint8_t controllerName[kArchiveNameWidth] = {};  // table 5 row 0
    uint8_t lineNames[2][kArchiveNameWidth] = {};    // table 5 rows 1 and 2
    uint8_t controllerAddress = 0;                   // address the link is using
    uint8_t chromatographType = 0;                   // table 14 row 6
    uint8_t moistureMeterType = 0;                   // table 15 row 6
    uint32_t chromatographSerial = 0;                // table 41
    uint8_t chromFlags = 0;                          // table 14 row 7 (bit 2: oxygen shown)
};

// Fills the source from a configuration image of 1849 bytes (names in
// Windows-1251 as the table layer keeps them).
ArchiveHeaderSource HeaderSourceFromImage(std::span<const uint8_t> image, uint8_t controllerAddress);

// True when the chromatograph's serial number must first be read from the
// controller (table 41, record 0) because the image holds 0 there: done for
// the diagnostic, intervention and chromatograph daily headers only.
bool HeaderNeedsSerialRead(ArchiveKind kind, const ArchiveHeaderSource& src);

// The PC clock as a date record.
DeviceDateTime PcClockRecord();

// The header of an archive of `kind` read for measuring line `line` (0, 1;
// used by the chromatograph kinds). `from`/`to` are the requested period
// (or, for reads by index, the dates of the first and last record read); the
// hourly kinds keep year..hour, the daily kinds year..day, the rest the whole
// record. `count` is the number of records read back.
ArchiveFileHeader BuildArchiveHeader(ArchiveKind kind, int line, const ArchiveHeaderSource& src,
                                     const DeviceDateTime& from, const DeviceDateTime& to, uint32_t count,
                                     const DeviceDateTime& readTime);

// True when the header may be opened as `kind`: tag, program version 11,
// chromatograph type 3 and (except diagnostic and intervention files) the
// device nibble. Only the low nibble of LineDevice is tested, so files of
// either line open.
bool ArchiveHeaderMatches(ArchiveKind kind, const ArchiveFileHeader& header);

// ---- messages --------------------------------------------------------------

// A message for the message box: its kind and two lines (UTF-8).
struct FileMessage {
    int kind = 0;  // 0: nothing to show
    std::string line1;
    std::string line2;
};

// ---- temporary files -------------------------------------------------------

// WorkDir + "/datafile.msd" etc.
std::string TempArchivePath(TempArchive t);

// Appends the records of one read to its temporary file. Open() empties the
// file; every Append() is a checked write of whole records.
class TempArchiveWriter {
public:
    TempArchiveWriter() = default;
    ~TempArchiveWriter();
    TempArchiveWriter(const TempArchiveWriter&) = delete;
    TempArchiveWriter& operator=(const TempArchiveWriter&) = delete;

    // False when the file cannot be created; the caller shows
    // OpenFailureMessage() (kind 6 "Помилка відкриття файлу") and sends nothing.
    bool Open(TempArchive t, std::size_t recordSize);
    bool Open(const std::string& path, std::size_t recordSize);
    // Appends `count` records of the record size; false (and nothing counted
    // for the failed part) when a write fails.
    bool Append(const void* records, std::size_t count = 1);
    // Closes; false when the close reported a write failure.
    bool Close();

    bool IsOpen() const { return fd_ >= 0; }
    uint32_t Count() const { return count_; }
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }
    static FileMessage OpenFailureMessage() { return {6, "Помилка відкриття файлу", ""}; }

private:
    int fd_ = -1;
    std::size_t recordSize_ = 0;
    uint32_t count_ = 0;
    std::string path_;
    std::string error_;
};

// Reads the records back: as many whole records as the file holds, at most
// `maxCount`. The count comes from the file's size, never from the caller
// alone; a trailing part record is left out. False when the file cannot be
// opened (the caller shows kind 6 "Помилка відкриття файлу" and no viewer).
bool ReadTempArchive(const std::string& path, std::size_t recordSize, uint32_t maxCount,
                     std::vector<uint8_t>& out, uint32_t& count);
bool ReadTempArchive(TempArchive t, std::size_t recordSize, uint32_t maxCount, std::vector<uint8_t>& out,
                     uint32_t& count);
template <ArchiveRecordType R>
bool ReadTempArchive(TempArchive t, uint32_t maxCount, std::vector<R>& out);

// Deletes the six temporary files where they exist (at shut-down).
void DeleteTempArchiveFiles();

// ---- saved files -----------------------------------------------------------

// WorkDir + "/" + the kind's folder.
std::string ArchiveFolder(ArchiveKind kind);

// A name part made safe for a file name: '/', '\' and control characters
// become '_' (the text is UTF-8 already).
std::string SafeFileNamePart(std::string_view utf8);

// The default name a viewer offers when saving, as a full path: for example
// WorkDir/MOMDATA/zbr11_005_Нитка 1_240315.mch (program version, controller
// address, trimmed line name where the kind has one, then the year - 2000,
// month and day of `today`).
std::string DefaultArchiveFileName(ArchiveKind kind, const ArchiveFileHeader& header,
                                   const DeviceDateTime& today);

// `path` with `extension` (".mch") added when its file name has none.
std::string WithDefaultExtension(const std::string& path, std::string_view extension);

// Writes the header and `count` entries of `entrySize` bytes, RecordCount set
// to `count`, through a temporary file and a rename. `message` receives what
// to show: kind 6 "Дані збережені в файлі %s." on success; kind 1
// "Помилка відкриття файлу" when no file can be made in the folder; kind 1
// "Помилка роботи з файлом" / file name when writing fails. The old file (if
// any) is untouched on failure.
bool SaveArchiveFile(const std::string& path, const ArchiveFileHeader& header, const void* entries,
                     std::size_t entrySize, uint32_t count, FileMessage& message);
template <ArchiveRecordType R>
bool SaveArchiveFile(const std::string& path, const ArchiveFileHeader& header, std::span<const R> entries,
                     FileMessage& message) {
    return SaveArchiveFile(path, header, entries.data(), sizeof(R), static_cast<uint32_t>(entries.size()),
                           message);
}

// An archive file read back.
struct ArchiveFileContents {
    ArchiveFileHeader header;      // as in the file, RecordCount set to `count`
    uint32_t declaredCount = 0;    // RecordCount as the file gave it
    uint32_t count = 0;            // entries actually read
    std::vector<uint8_t> entries;  // count x entry size bytes
    bool cutShort = false;         // the file held fewer entries than declared
                                   // (or a trailing part entry, which is left out)
};

// Opens a saved archive file as `kind`. On refusal returns false with the
// message to show: kind 1 "Помилка відкриття файлу" when the file cannot be
// opened; kind 1 "Файл %s не є файлом, що містить" (name without folder) and
// the kind's second line when the header is short or does not match. The
// entries read are those the file really holds, at most RecordCount.
bool OpenArchiveFile(ArchiveKind kind, const std::string& path, ArchiveFileContents& out,
                     FileMessage& message);

// The entries as typed records (copied).
template <ArchiveRecordType R>
std::vector<R> EntriesAs(const std::vector<uint8_t>& bytes) {
    std::vector<R> out(bytes.size() / sizeof(R));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(R));
    return out;
}

template <ArchiveRecordType R>
bool ReadTempArchive(TempArchive t, uint32_t maxCount, std::vector<R>& out) {
    std::vector<uint8_t> bytes;
    uint32_t count = 0;
    if (!ReadTempArchive(t, sizeof(R), maxCount, bytes, count)) return false;
    out = EntriesAs<R>(bytes);
    return true;
}
