#include "data/ArchiveFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/DateTime.h"
#include "config/ConfigImage.h"  // table offsets only (constant data)
#include "platform/FileWrite.h"
#include "platform/Codepage.h"
#include "platform/Paths.h"

namespace {

struct KindRow {
    ArchiveKindInfo info;
    const char* namePrefix;  // "zbr" or "wmt"
    char nameSeparator;      // between the version and the address
    bool nameHasLine;        // the trimmed line name follows the address
};

// Indexed by ArchiveKind.
// clang-format off
const KindRow kKinds[kArchiveKindCount] = {
    {{"MSA", 0, "MOMDATA", ".mch", RecordKind::ChromMeas, RecordKind::ChromMeas, TempArchive::Measured,
      "вимірювальні дані хроматографа Orvix7200 з архиву", 5, "DataFiles (*.mch)|*.mch"},
     "zbr", '_', true},
    {{"MSA", 1, "MOMDATA", ".mwm", RecordKind::WmtMomentary, RecordKind::WmtMomentary, TempArchive::Measured,
      "вимірювальні дані вологоміра з архіву", 6, "DataFiles (*.mwm)|*.mwm"},
     "wmt", '_', false},
    {{"HOU", 0, "HOURDATA", ".hch", RecordKind::Hdm, RecordKind::Hdm, TempArchive::HourDay,
      "годинні дані хроматографа Orvix7200 з архіву контролера", 7, "DataFiles (*.hch)|*.hch"},
     "zbr", '-', true},
    {{"DAY", 0, "DAYDATA", ".dch", RecordKind::Hdm, RecordKind::Hdm, TempArchive::HourDay,
      "добові дані хроматографа Orvix7200 з архіву контролера", 9, "DataFiles (*.dch)|*.dch"},
     "zbr", '-', true},
    {{"HOU", 1, "HOURDATA", ".hwm", RecordKind::WmtArchive, RecordKind::WmtArchive, TempArchive::HourDay,
      "годинні дані вологоміра з архіву контролера", 8, "DataFiles (*.hwm)|*.hwm"},
     "wmt", '_', false},
    {{"DAY", 1, "DAYDATA", ".dwm", RecordKind::WmtArchive, RecordKind::WmtArchive, TempArchive::HourDay,
      "добові дані вологоміра з архіву контролера ЗБР_11", 10, "DataFiles (*.dwm)|*.dwm"},
     "wmt", '_', false},
    {{"CLB", 0, "CALIBRARHIV", ".clb", RecordKind::Calib, RecordKind::Calib, TempArchive::Calib,
      "дані калібровки хроматографа Orvix7200", 11, "DataFiles (*.clb)|*.clb"},
     "zbr", '-', false},
    {{"VRF", 0, "VERIFARHIV", ".vrf", RecordKind::Verif, RecordKind::Verif, TempArchive::Verif,
      "дані веріфікації хроматографа Orvix7200", 12, "DataFiles (*.vrf)|*.vrf"},
     "zbr", '-', false},
    {{"ALA", -1, "ALAFILES", ".ala", RecordKind::DiagnosticRow, RecordKind::Diagnostic, TempArchive::Diagnostic,
      "діагностичні повідомлення контроллеру ЗБР_11", 3, "DataFiles (*.ala)|*.ala"},
     "zbr", '_', false},
    {{"AUD", -1, "AUDFILES", ".aud", RecordKind::InterventionRow, RecordKind::Intervention,
      TempArchive::Intervention, "повідомлення про втручання оператора контроллера ЗБР_11", 4,
      "DataFiles (*.aud)|*.aud"},
     "zbr", '_', false},
};
// clang-format on

const KindRow& Row(ArchiveKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return kKinds[i < std::size(kKinds) ? i : 0];
}

const char* const kTempNames[] = {"datafile.msd", "datafile.hdm", "datafile.clb",
                                  "datafile.vrf", "datafile.ala", "datafile.aud"};


std::string NameText(const uint8_t* field) {
    return std::string(platform::TrimBlanks(platform::ReadField(field, kArchiveNameWidth, platform::CodePage::Cp1251, true)));
}

// Reads up to n bytes; the number read (short only at end of file or error).
std::size_t ReadFully(int fd, void* buf, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::read(fd, static_cast<char*>(buf) + done, n - done);
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

// Opens a regular file for reading; -1 otherwise. `size` gets its length.
// Without blocking: a pipe chosen by mistake must not hang the program.
int OpenRegular(const std::string& path, uint64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<uint64_t>(st.st_size);
    return fd;
}

// Reads min(maxCount, whole entries in the rest of the file) entries.
uint32_t ReadEntries(int fd, uint64_t bytesLeft, std::size_t entrySize, uint32_t maxCount,
                     std::vector<uint8_t>& out) {
    out.clear();
    if (entrySize == 0) return 0;
    const uint64_t avail = bytesLeft / entrySize;
    const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(avail, maxCount));
    out.resize(std::size_t(n) * entrySize);
    const std::size_t got = ReadFully(fd, out.data(), out.size());
    const uint32_t whole = static_cast<uint32_t>(got / entrySize);
    out.resize(std::size_t(whole) * entrySize);
    return whole;
}

}  // namespace

// ---- header ------------------------------------------------------------

std::string ArchiveFileHeader::ControllerNameText() const { return NameText(ControllerName); }
std::string ArchiveFileHeader::LineNameText() const { return NameText(LineName); }

const ArchiveKindInfo& ArchiveInfo(ArchiveKind kind) { return Row(kind).info; }

const char* const kArchiveOpenFilter =
    "Data Files (*.cnf)|*.cnf|DataFiles(*.srt)|*.srt|DataFiles(*.ala)|*.ala|DataFiles(*.aud)|*.aud|"
    "DataFiles(*.mch)|*.mch|DataFiles(*.mwm)|*.mwm|DataFiles(*.hch)|*.hch|DataFiles(*.hwm)|*.hwm|"
    "DataFiles(*.dch)|*.dch|DataFiles(*.dwm)|*.dwm|DataFiles(*.clb)|*.clb|DataFiles(*.vrf)|*.vrf|"
    "DataFiles(*.*)|*.*";
const char* const kArchiveOpenTitle = "Вибір файлу даних";
const char* const kArchiveSaveTitle = "Вибір файлу для збереження даних";

ArchiveHeaderSource HeaderSourceFromImage(std::span<const uint8_t> image, uint8_t controllerAddress) {
    ArchiveHeaderSource s;
    s.controllerAddress = controllerAddress;
    if (image.size() < kConfigImageSize) return s;
    const uint8_t* names = image.data() + cfgofs::kNames;
    std::memcpy(s.controllerName, names, kArchiveNameWidth);
    std::memcpy(s.lineNames[0], names + kArchiveNameWidth, kArchiveNameWidth);
    std::memcpy(s.lineNames[1], names + 2 * kArchiveNameWidth, kArchiveNameWidth);
    s.chromatographType = image[cfgofs::kChromLink + 6];
    s.chromFlags = image[cfgofs::kChromLink + 7];
    s.moistureMeterType = image[ConfigTableDir[15].offset + 6];
    s.chromatographSerial = GetU32(image.data() + cfgofs::kChromSerial);
    return s;
}

bool HeaderNeedsSerialRead(ArchiveKind kind, const ArchiveHeaderSource& src) {
    return src.chromatographSerial == 0 &&
           (kind == ArchiveKind::Diagnostic || kind == ArchiveKind::Intervention ||
            kind == ArchiveKind::ChromDay);
}

DeviceDateTime PcClockRecord() {
    DeviceDateTime r;
    DateTimeToRec(Now(), r);
    return r;
}

ArchiveFileHeader BuildArchiveHeader(ArchiveKind kind, int line, const ArchiveHeaderSource& src,
                                     const DeviceDateTime& from, const DeviceDateTime& to, uint32_t count,
                                     const DeviceDateTime& readTime) {
    ArchiveFileHeader h;  // all zero
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    std::memcpy(h.KindTag, info.tag, 3);
    const int ln = line == 0 ? 0 : 1;

    bool chromLine = false;  // line in the high nibble, the line's name
    switch (kind) {
        case ArchiveKind::ChromMeas:
        case ArchiveKind::ChromHour:
        case ArchiveKind::ChromDay: chromLine = true; break;
        case ArchiveKind::WmtMeas:
            h.LineDevice = 0x01;
            std::memcpy(h.LineName, src.lineNames[0], kArchiveNameWidth);
            break;
        case ArchiveKind::WmtHour:
        case ArchiveKind::WmtDay: h.LineDevice = 0x01; break;
        default: break;
    }
    if (chromLine) {
        h.LineDevice = static_cast<uint8_t>(ln * 16);
        std::memcpy(h.LineName, src.lineNames[ln], kArchiveNameWidth);
    }

    std::memcpy(h.ControllerName, src.controllerName, kArchiveNameWidth);
    h.ControllerAddress = src.controllerAddress;
    h.ProgramVersion = kArchiveProgramVersion;
    h.ChromatographType = src.chromatographType;
    h.MoistureMeterType = src.moistureMeterType;
    h.SetSerial(src.chromatographSerial);
    h.ReadTime = readTime;
    h.FromDate = from;
    h.ToDate = to;
    const bool hourly = kind == ArchiveKind::ChromHour || kind == ArchiveKind::WmtHour;
    const bool daily = kind == ArchiveKind::ChromDay || kind == ArchiveKind::WmtDay;
    if (hourly || daily) {
        for (DeviceDateTime* d : {&h.FromDate, &h.ToDate}) {
            d->minute = 0;
            d->second = 0;
            if (daily) d->hour = 0;
        }
    }
    h.SetCount(count);
    h.OxygenShown = (src.chromFlags & 0x04) ? 1 : 0;
    return h;
}

bool ArchiveHeaderMatches(ArchiveKind kind, const ArchiveFileHeader& header) {
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    if (std::memcmp(header.KindTag, info.tag, 3) != 0) return false;
    if (header.ProgramVersion != kArchiveProgramVersion) return false;
    if (header.ChromatographType != kSupportedChromatographType) return false;
    if (info.device >= 0 && header.Device() != info.device) return false;
    return true;
}

// ---- temporary files -------------------------------------------------------

std::string TempArchivePath(TempArchive t) {
    const auto i = static_cast<std::size_t>(t);
    return platform::InWorkDir(kTempNames[i < std::size(kTempNames) ? i : 0]);
}

TempArchiveWriter::~TempArchiveWriter() { Close(); }

bool TempArchiveWriter::Open(TempArchive t, std::size_t recordSize) {
    return Open(TempArchivePath(t), recordSize);
}

bool TempArchiveWriter::Open(const std::string& path, std::size_t recordSize) {
    Close();
    path_ = path;
    recordSize_ = recordSize;
    count_ = 0;
    error_.clear();
    if (recordSize == 0) {
        error_ = std::strerror(EINVAL);
        return false;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    return true;
}

bool TempArchiveWriter::Append(const void* records, std::size_t count) {
    if (fd_ < 0) {
        error_ = std::strerror(EBADF);
        return false;
    }
    const auto* p = static_cast<const char*>(records);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t done = 0;
        while (done < recordSize_) {
            const ssize_t n = ::write(fd_, p + i * recordSize_ + done, recordSize_ - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = std::strerror(n < 0 ? errno : ENOSPC);
                // A part record must not be read back as a record: cut it off.
                if (done > 0 && ::ftruncate(fd_, off_t(count_) * off_t(recordSize_)) == 0)
                    ::lseek(fd_, 0, SEEK_END);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        ++count_;
    }
    return true;
}

bool TempArchiveWriter::Close() {
    if (fd_ < 0) return true;
    const int r = ::close(fd_);
    fd_ = -1;
    if (r != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    return true;
}

bool ReadTempArchive(const std::string& path, std::size_t recordSize, uint32_t maxCount,
                     std::vector<uint8_t>& out, uint32_t& count) {
    out.clear();
    count = 0;
    uint64_t size = 0;
    const int fd = OpenRegular(path, size);
    if (fd < 0) return false;
    count = ReadEntries(fd, size, recordSize, maxCount, out);
    ::close(fd);
    return true;
}

bool ReadTempArchive(TempArchive t, std::size_t recordSize, uint32_t maxCount, std::vector<uint8_t>& out,
                     uint32_t& count) {
    return ReadTempArchive(TempArchivePath(t), recordSize, maxCount, out, count);
}

void DeleteTempArchiveFiles() {
    for (TempArchive t : {TempArchive::Intervention, TempArchive::Diagnostic, TempArchive::Measured,
                          TempArchive::Calib, TempArchive::HourDay, TempArchive::Verif})
        ::unlink(TempArchivePath(t).c_str());
}

// ---- saved files -----------------------------------------------------------

std::string ArchiveFolder(ArchiveKind kind) { return platform::InWorkDir(ArchiveInfo(kind).folder); }

std::string SafeFileNamePart(std::string_view utf8) {
    std::string out(utf8);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
    }
    return out;
}

std::string DefaultArchiveFileName(ArchiveKind kind, const ArchiveFileHeader& header,
                                   const DeviceDateTime& today) {
    const KindRow& row = Row(kind);
    char head[32];
    std::snprintf(head, sizeof head, "%s%02d%c%03d_", row.namePrefix, int(kArchiveProgramVersion),
                  row.nameSeparator, int(header.ControllerAddress));
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d%02d", int(today.year), int(today.month), int(today.day));
    std::string name = head;
    if (row.nameHasLine) name += SafeFileNamePart(header.LineNameText()) + "_";
    name += date;
    name += row.info.extension;
    return ArchiveFolder(kind) + "/" + name;
}

std::string WithDefaultExtension(const std::string& path, std::string_view extension) {
    const std::string base = platform::BaseName(path);
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot != 0 && dot + 1 < base.size()) return path;
    std::string p = path;
    if (!base.empty() && base.back() == '.') p.pop_back();
    if (!extension.empty() && extension.front() != '.') p += '.';
    p += extension;
    return p;
}

bool SaveArchiveFile(const std::string& path, const ArchiveFileHeader& header, const void* entries,
                     std::size_t entrySize, uint32_t count, FileMessage& message) {
    if (entries == nullptr || entrySize == 0) count = 0;
    ArchiveFileHeader h = header;
    h.SetCount(count);
    std::string bytes;
    bytes.reserve(kArchiveHeaderSize + std::size_t(count) * entrySize);
    bytes.append(reinterpret_cast<const char*>(&h), kArchiveHeaderSize);
    if (count > 0) bytes.append(static_cast<const char*>(entries), std::size_t(count) * entrySize);

    const std::string name = platform::BaseName(path);
    switch (platform::WriteWholeFile(path, bytes)) {
        case platform::WriteResult::Ok:
            message = {6, "Дані збережені в файлі " + name + ".", ""};
            return true;
        case platform::WriteResult::CreateFailed: message = {1, "Помилка відкриття файлу", ""}; return false;
        case platform::WriteResult::WriteFailed: break;
    }
    message = {1, "Помилка роботи з файлом", name};
    return false;
}

bool OpenArchiveFile(ArchiveKind kind, const std::string& path, ArchiveFileContents& out,
                     FileMessage& message) {
    out = ArchiveFileContents{};
    message = FileMessage{};
    uint64_t size = 0;
    const int fd = OpenRegular(path, size);
    if (fd < 0) {
        message = {1, "Помилка відкриття файлу", ""};
        return false;
    }
    ArchiveFileHeader h;
    const std::size_t got = ReadFully(fd, &h, kArchiveHeaderSize);
    if (got < kArchiveHeaderSize || !ArchiveHeaderMatches(kind, h)) {
        ::close(fd);
        message = {1, "Файл " + platform::BaseName(path) + " не є файлом, що містить",
                   ArchiveInfo(kind).refusal};
        return false;
    }
    const std::size_t entrySize = RecordSizeOf(ArchiveInfo(kind).entry);
    out.declaredCount = h.Count();
    const uint64_t rest = size > kArchiveHeaderSize ? size - kArchiveHeaderSize : 0;
    out.count = ReadEntries(fd, rest, entrySize, out.declaredCount, out.entries);
    ::close(fd);
    out.cutShort = out.count < out.declaredCount;
    h.SetCount(out.count);
    out.header = h;
    return true;
}
