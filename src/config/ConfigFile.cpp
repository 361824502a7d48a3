#include "config/ConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/Dtfun.h"
#include "common/LinkStatus.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "common/Suplfunc.h"
#include "config/Conffun.h"
#include "config/Globals.h"
#include "config/LimitRanges.h"
#include "config/Users.h"
#include "link/Hgcbox.h"
#include "platform/Clock.h"
#include "platform/Codepage.h"
#include "platform/FileWrite.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"

namespace {

// Every table the record holds, with its place.
struct Place {
    int table;
    std::size_t offset;
};
constexpr Place kPlaces[] = {
    {0, cnfofs::kIdent},          {3, cnfofs::kUpperLink},
    {4, cnfofs::kUsers},          {5, cnfofs::kNames},
    {6, cnfofs::kSystem},         {9, cnfofs::kFlowLink},
    {14, cnfofs::kChromLink},     {15, cnfofs::kWmtLink},
    {21, cnfofs::kDistr},         {22, cnfofs::kLimits},
    {23, cnfofs::kLimits + 180},  {24, cnfofs::kLimits + 360},
    {25, cnfofs::kLimits + 540},  {26, cnfofs::kLimits + 720},
    {28, cnfofs::kAverPeriod},    {29, cnfofs::kEthernet},
    {43, cnfofs::kConst},         {44, cnfofs::kConst + 20},
    {45, cnfofs::kConst + 100},   {46, cnfofs::kConst + 120},
};

// Column of a flow-computer row that each per-computer table fills.
struct FlowColumn {
    int table;
    std::size_t column;
};
constexpr FlowColumn kFlowColumns[] = {{18, 0}, {17, 1}, {19, 2}, {20, 3}};

constexpr int kPasswordTable = 13;
constexpr int kPasswordRowsPerRequest = 14;

constexpr const char* kOpenTitle = "Вибір файлу з параметрами конфігурації";
constexpr const char* kSaveTitle = "Вибір файлу для запису параметрів конфігурації";
constexpr const char* kFilter = "Data Files (*.cnf)|*.cnf|DataFiles(*.*)|*.*";

template <class... Ints>
std::string Format(const char* fmt, Ints... v) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, v...);
    return buf;
}

// "%s" of a message line replaced by a name.
std::string WithName(const char* fmt, const std::string& name) {
    std::string s = fmt;
    const std::size_t at = s.find("%s");
    if (at != std::string::npos) s.replace(at, 2, name);
    return s;
}

void PutTerminated(uint8_t* field, const std::string& utf8) {
    const std::string bytes = platform::Utf8ToCp1251(utf8);
    const std::size_t n = std::min<std::size_t>(bytes.size(), kNameWidth - 1);
    std::memset(field, 0, kNameWidth);
    std::memcpy(field, bytes.data(), n);
}

void CopyToImage(int t, const ConfigRecord& rec, std::size_t offset) {
    const std::span<uint8_t> dst = TableSpan(t);
    std::memcpy(dst.data(), rec.At(offset), dst.size());
}

void CopyFromImage(int t, ConfigRecord& rec, std::size_t offset) {
    const std::span<uint8_t> src = TableSpan(t);
    std::memcpy(rec.At(offset), src.data(), src.size());
}


void SetPanel(ui::StatusBar* bar, int panel, const std::string& text) {
    if (bar) bar->SetPanelText(panel, text);
}

void Repaint() { ui::Application::ProcessMessages(); }

void Step(ui::ProgressBar* progress) {
    if (progress) progress->StepBy(1);
    Repaint();
}

bool HasExtension(const std::string& path) {
    const std::string base = platform::BaseName(path);
    const std::size_t dot = base.rfind('.');
    return dot != std::string::npos && dot != 0 && dot + 1 < base.size();
}

std::string WithCnfExtension(std::string path) {
    if (HasExtension(path)) return path;
    if (!path.empty() && path.back() == '.') path.pop_back();
    return path + ".cnf";
}

// The file as a regular file of at most `limit` bytes; false when it cannot
// be opened (a folder, a device, missing, unreadable).
bool ReadSmallFile(const std::string& path, std::size_t limit, std::string& bytes, bool& tooLong) {
    tooLong = false;
    // Without blocking: a pipe chosen by mistake must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    bytes.clear();
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.append(buf, std::size_t(n));
        if (bytes.size() > limit) {
            tooLong = true;
            break;
        }
    }
    ::close(fd);
    return true;
}

}  // namespace

int ConfigRecord::FlowCount() const { return ClampCount(Bytes[cnfofs::kFlowLink], kRecordFlowRows); }

std::string ConfigRecord::ControllerName() const {
    return std::string(platform::TrimBlanks(platform::ReadField(At(cnfofs::kNames), kNameWidth, platform::CodePage::Cp1251, true)));
}

bool RecordTablePlace(int t, std::size_t& offset) {
    for (const Place& p : kPlaces)
        if (p.table == t) {
            offset = p.offset;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- defaults

void InitNewConfigFile(ConfigRecord& rec) {
    rec.Bytes.fill(0);
    rec[cnfofs::kControllerType] = 'I';
    rec[cnfofs::kVersion] = uint8_t(kProgramVersion);

    const uint8_t link[4] = {1, 11, 3, 0};  // address 1, 9600 baud, 3 reply preambles
    std::memcpy(rec.At(cnfofs::kUpperLink), link, sizeof link);

    char name[32];
    std::snprintf(name, sizeof name, "Контролер ЗБР_%02d", kProgramVersion);
    PutTerminated(rec.At(cnfofs::kNames), name);
    PutTerminated(rec.At(cnfofs::kNames + kNameWidth), "Нитка 1");
    PutTerminated(rec.At(cnfofs::kNames + 2 * kNameWidth), "Нитка 2");

    // Summer time from the last Sunday of March 03:00, winter time from the
    // last Sunday of October 04:00, contract hour 9, a chromatograph and
    // flow computers, the clock set from the PC.
    const uint8_t sys[12] = {3, 0xC9, 3, 10, 0xC9, 4, 9, 1, 0, 1, 0, 1};
    std::memcpy(rec.At(cnfofs::kSystem), sys, sizeof sys);
    const uint8_t chrom[14] = {1, 11, 1, 0, 150, 5, 3, 3, 0, 0, 0, 1, 0, 1};
    std::memcpy(rec.At(cnfofs::kChromLink), chrom, sizeof chrom);
    const uint8_t wmt[8] = {1, 11, 0, 0, 150, 5, 1, 0};
    std::memcpy(rec.At(cnfofs::kWmtLink), wmt, sizeof wmt);
    const uint8_t flowLink[6] = {1, 11, 5, 20, 3, 2};
    std::memcpy(rec.At(cnfofs::kFlowLink), flowLink, sizeof flowLink);

    for (int i = 0; i < kRecordFlowRows; ++i) {
        uint8_t* row = rec.FlowRow(i);
        row[0] = uint8_t(i + 1);
        std::memset(row + cnfofs::kFlowPassword, ' ', 16);
    }
    rec.FlowRow(0)[1] = 2;     // type
    rec.FlowRow(0)[2] = 0xA3;  // pipelines written
    rec.FlowRow(0)[3] = 1;     // byte order

    UsersTable users;
    for (UserRow& u : users) u = BlankUser();
    StoreUsers(rec.At(cnfofs::kUsers), users);

    for (int code : {7, 9, 12}) rec[cnfofs::kDistr + std::size_t(code)] = 1;

    for (int kind = 0; kind < kLimitKindCount; ++kind)
        for (int code = 0; code < kGasParamCount; ++code) {
            const float v = LimitRanges[kind][code].def;
            std::memcpy(rec.At(cnfofs::kLimits + std::size_t(kind) * cnfofs::kLimitStep + std::size_t(code) * 4), &v,
                        4);
        }

    rec[cnfofs::kAverPeriod] = 1;
}

// ---------------------------------------------------------------- file bytes

std::string EncodeConfigFile(const ConfigRecord& rec) {
    std::string out(reinterpret_cast<const char*>(rec.data()), kConfigRecordSize);
    for (int i = 0; i < kRecordFlowRows; ++i) {
        const std::size_t at = cnfofs::kFlow + std::size_t(i) * cnfofs::kFlowRowSize + cnfofs::kFlowPassword;
        for (std::size_t k = 0; k < 16; ++k) out[at + k] = char(EncodePasswordByte(uint8_t(out[at + k])));
    }
    return out;
}

ConfigFileError DecodeConfigFile(std::string_view bytes, ConfigRecord& rec) {
    if (bytes.size() != kConfigRecordSize) return ConfigFileError::WrongSize;
    ConfigRecord r;
    std::memcpy(r.data(), bytes.data(), kConfigRecordSize);
    if (r[cnfofs::kControllerType] != 'I') return ConfigFileError::NotZbr;
    // A version-9 file is a version-11 one; a file saved from a version-14
    // controller loads as it is, so that it can restore that controller.
    if (r[cnfofs::kVersion] == 9) r[cnfofs::kVersion] = 11;
    if (r[cnfofs::kVersion] != 11 && r[cnfofs::kVersion] != 14) return ConfigFileError::WrongVersion;
    for (int i = 0; i < kRecordFlowRows; ++i) {
        uint8_t* p = r.FlowRow(i) + cnfofs::kFlowPassword;
        for (int k = 0; k < 16; ++k) p[k] = DecodePasswordByte(p[k]);
    }
    rec = r;
    return ConfigFileError::None;
}

std::pair<std::string, std::string> ConfigFileErrorText(ConfigFileError e, const std::string& fileName,
                                                        int version) {
    switch (e) {
    case ConfigFileError::None: return {};
    case ConfigFileError::WrongSize:
        return {WithName("Файл %s не є файлом конфігурації", fileName),
                Format("контролера ЗБР_%02d", kProgramVersion)};
    case ConfigFileError::NotZbr:
        return {WithName("Файл %s не є файлом конфігурації", fileName), "контролера ЗБР"};
    case ConfigFileError::WrongVersion:
        return {WithName("Файл параметрів конфігурації %s підготовлений", fileName),
                Format("для контролера ЗБР з версією ПЗ %d", version)};
    }
    return {};
}

bool ReadConfigFile(const std::string& path, ConfigRecord& rec) {
    std::string bytes;
    bool tooLong = false;
    if (!ReadSmallFile(path, kConfigRecordSize, bytes, tooLong)) {
        MessageKind = 1;
        ShowQues("Помилка відкриття файлу", "");
        return false;
    }
    const ConfigFileError e = DecodeConfigFile(bytes, rec);
    if (e == ConfigFileError::None) return true;
    const int version = bytes.size() > cnfofs::kVersion ? uint8_t(bytes[cnfofs::kVersion]) : 0;
    const auto [line1, line2] = ConfigFileErrorText(e, platform::BaseName(path), version);
    MessageKind = 6;
    ShowQues(line1, line2);
    return false;
}

std::string ConfigFolder() { return platform::InWorkDir("CONFIG"); }

std::string DefaultConfigFileName(const ConfigRecord& rec, double now) {
    // The name goes into a path: no folder separators, no control characters.
    std::string name = rec.ControllerName();
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
    }
    DeviceDateTime t;
    DateTimeToRec(now, t);
    char head[16], tail[32];
    std::snprintf(head, sizeof head, "zbr_%02d-", int(rec[cnfofs::kVersion]));
    std::snprintf(tail, sizeof tail, "-%02d%02d%02d%02d%02d.cnf", int(t.year), int(t.month), int(t.day),
                  int(t.hour), int(t.minute));
    return ConfigFolder() + "/" + head + name + tail;
}

bool LoadConfigFile(ui::OpenDialog& pod, std::string& chosenPath, ConfigRecord& rec) {
    pod.Title = kOpenTitle;
    pod.InitialDir = ConfigFolder();
    pod.Filter = kFilter;
    pod.FilterIndex = 1;
    pod.FileName.clear();
    pod.HideReadOnly = true;
    pod.NoChangeDir = true;
    pod.FileMustExist = true;
    if (!pod.Execute()) return false;
    chosenPath = pod.FileName;
    return ReadConfigFile(chosenPath, rec);
}

bool WriteConfigFile(const std::string& path, const ConfigRecord& rec) {
    const std::string name = platform::BaseName(path);
    platform::WriteResult r;
    {
        ui::HourGlass wait;
        r = platform::WriteWholeFile(path, EncodeConfigFile(rec));
    }
    switch (r) {
    case platform::WriteResult::Ok:
        MessageKind = 6;
        ShowQues("Параметри конфігурації", WithName("Збережені в файлі %s", name));
        return true;
    case platform::WriteResult::CreateFailed:
        MessageKind = 1;
        ShowQues("Помилка відкриття файлу", name);
        return false;
    case platform::WriteResult::WriteFailed: break;
    }
    MessageKind = 1;
    ShowQues("Помилка роботи з файлом", name);
    return false;
}

bool SaveConfigFile(ui::SaveDialog& psd, std::string& chosenPath, const ConfigRecord& rec) {
    std::string proposed = DefaultConfigFileName(rec, platform::NowDateTime());
    psd.Title = kSaveTitle;
    psd.InitialDir = ConfigFolder();
    psd.Filter = kFilter;
    psd.FilterIndex = 1;
    psd.DefaultExt.clear();      // the extension is added below, before the existence check
    psd.OverwritePrompt = false;  // the question below asks instead
    psd.NoChangeDir = true;
    std::string path;
    for (;;) {
        psd.FileName = proposed;
        if (!psd.Execute()) return false;
        path = WithCnfExtension(psd.FileName);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) break;
        MessageKind = 3;
        ShowQues(WithName("Файл %s вже є.", platform::BaseName(path)), "Ви бажаєте замінити існуючий файл?");
        if (MessageAnswer == 1) break;
        proposed = path;  // the dialog comes back with the name last chosen
    }
    chosenPath = path;
    return WriteConfigFile(path, rec);
}

// ---------------------------------------------------------------- record and image

void FillConfigRecord(ConfigRecord& rec) {
    rec[cnfofs::kSource] = 1;
    for (const Place& p : kPlaces) CopyFromImage(p.table, rec, p.offset);
    for (int i = 0; i < kRecordFlowRows; ++i) {
        uint8_t* row = rec.FlowRow(i);
        for (const FlowColumn& c : kFlowColumns) row[c.column] = *RowPtr(c.table, i);
        // The controller never gives its flow-computer passwords back.
        std::memset(row + cnfofs::kFlowPassword, ' ', 16);
    }
}

namespace {

bool ApplyConfigRecordTables(ConfigRecord& rec, bool checkUsers) {
    CopyToImage(5, rec, cnfofs::kNames);
    CopyToImage(3, rec, cnfofs::kUpperLink);

    if (checkUsers) {
        if (!CheckRecordUsers(rec.At(cnfofs::kUsers))) return false;
        CopyToImage(4, rec, cnfofs::kUsers);
    }

    CopyToImage(6, rec, cnfofs::kSystem);
    if (rec[cnfofs::kChromPresent] != 0 && rec[cnfofs::kChromLink] == 0) {
        MessageKind = 2;
        ShowQues("Невірно задана адреса хроматографа", "");
        return false;
    }
    CopyToImage(14, rec, cnfofs::kChromLink);
    if (rec[cnfofs::kWmtPresent] != 0 && rec[cnfofs::kWmtLink] == 0) {
        MessageKind = 2;
        ShowQues("Невірно задана адреса вологоміра", "");
        return false;
    }
    CopyToImage(15, rec, cnfofs::kWmtLink);
    CopyToImage(9, rec, cnfofs::kFlowLink);

    if (rec[cnfofs::kFlowPresent] != 0) {
        const int n = rec.FlowCount();
        for (int i = 0; i < n; ++i)
            if (rec.FlowRow(i)[0] == 0) {
                MessageKind = 2;
                ShowQues("Невірно задані адреси обчислювачів", "");
                return false;
            }
    }

    for (int i = 0; i < kRecordFlowRows; ++i) {
        const uint8_t* row = rec.FlowRow(i);
        for (const FlowColumn& c : kFlowColumns) *RowPtr(c.table, i) = row[c.column];
        std::memcpy(RowPtr(kPasswordTable, i), row + cnfofs::kFlowPassword, 16);
    }
    for (const Place& p : kPlaces) {
        if (p.table <= 15) continue;  // taken above (0 is never taken)
        CopyToImage(p.table, rec, p.offset);
    }
    return true;
}

}  // namespace

bool ApplyConfigRecord(ConfigRecord& rec, bool checkUsers) {
    // A refused record leaves the image as it was, not half from the file:
    // the image stays what the controller holds.
    const auto before = ConfigImage;
    if (ApplyConfigRecordTables(rec, checkUsers)) return true;
    ConfigImage = before;
    return false;
}

// ---------------------------------------------------------------- writing

namespace {

bool WriteRows(int t, int first, int rows, ui::StatusBar* bar) {
    return WriteTableRange({uint8_t(t), uint8_t(first), uint8_t(rows)}, bar, true);
}

// All rows of a table in requests of up to 229 bytes.
bool WriteWholeTable(int t, ui::StatusBar* bar) {
    const int rows = ConfigTableDir[t].rows, chunk = WriteChunkRows(t);
    for (int first = 0; first < rows; first += chunk)
        if (!WriteRows(t, first, std::min(chunk, rows - first), bar)) return false;
    return true;
}

// The link and the settings follow a new address and baud rate of table 3.
void FollowUpperLink(ui::StatusBar* bar) {
    const uint8_t address = ConfigImage[cfgofs::kUpperLink];
    const uint32_t baud = CodeToBaud(ConfigImage[cfgofs::kUpperLink + 1]);  // 0: an unknown code
    if (!RestoreThenDisconnect && HgcBox) {
        HgcBox->Address = address;
        if (baud != 0) HgcBox->Baud = baud;
    }
    LinkParams& link = CurrentLinkParams(ProgramSettings);
    link.Adr = address;
    if (baud != 0) link.Rate = baud;
    ShowLinkInStatusBar(bar);
}

}  // namespace

bool WriteFlaggedTables(TableCheckBlock& block, ui::StatusBar* bar, ui::ProgressBar* progress) {
    uint8_t* marks = block.Marks;
    if (progress) {
        progress->SetRange(0, kConfigTableCount);
        progress->SetPosition(0);
    }
    Repaint();
    // Rows of the flow computers in use; none beyond the rows that exist.
    const int n = FlowComputerCount();

    if (marks[9]) {
        if (!WriteRows(9, 0, 6, bar)) return false;
        marks[9] = 0;
        Step(progress);
    }
    for (int t : {17, 18, 19, 20}) {
        if (!marks[t]) continue;
        if (n > 0 && !WriteRows(t, 0, n, bar)) return false;
        marks[t] = 0;
        Step(progress);
    }
    if (marks[kPasswordTable]) {
        for (int first = 0; first < n; first += kPasswordRowsPerRequest)
            if (!WriteRows(kPasswordTable, first, std::min(kPasswordRowsPerRequest, n - first), bar)) return false;
        marks[kPasswordTable] = 0;
        Step(progress);
    }

    // Table 3 last: a new address or baud rate takes effect in the
    // controller at once, and the writes after it would not reach it.
    for (int t = 0; t < kTableCount; ++t) {
        if (t == 3 || !marks[t] || !IsConfigTable(t)) continue;
        if (!WriteWholeTable(t, bar)) return false;
        if (t == 5) SetPanel(bar, kPanelControllerName, ControllerName());
        marks[t] = 0;
        Step(progress);
    }
    if (marks[3]) {
        if (!WriteWholeTable(3, bar)) return false;
        FollowUpperLink(bar);
        marks[3] = 0;
        Step(progress);
    }

    if (progress) progress->SetPosition(progress->Max());
    Repaint();
    // Let the full bar be seen for a moment.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < until) platform::IdleSlice(10);
    return true;
}
