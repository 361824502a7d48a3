// The ini files, the list files and the three small binary files
// (rd_arh.ini, rep_format.ini, title.ini), damaged: random bytes, very long lines,
// lines without '=', duplicate sections, numbers far out of range, bytes that
// are neither valid UTF-8 nor sensible Windows-1251. Every reader must give
// defaults or clamped values and keep each text field terminated.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "config/ArchiveDefaults.h"
#include "data/ArchiveFiles.h"
#include "common/ListFiles.h"
#include "common/Rd_wr_ini.h"
#include "common/ReportFormat.h"
#include "link/LinkGlobals.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "reports/PrnText.h"
#include "sheet/Workbook.h"
#include "robustness/Random.h"
#include "support/TestFolders.h"

using robust::Dice;

namespace {

template <class T>
std::unique_ptr<T> Zeroed() {
    auto p = std::make_unique<T>();
    std::memset(static_cast<void*>(p.get()), 0xAB, sizeof(T));  // junk, so nothing relies on zeros
    return p;
}

bool Terminated(const char* field, std::size_t width) { return std::memchr(field, 0, width) != nullptr; }

const std::vector<std::string> kNumbers = {
    "0", "1", "-1", "255", "256", "65535", "2147483647", "2147483648", "-2147483648", "-2147483649",
    "4294967295", "4294967296", "99999999999999999999999999", "-99999999999999999999", "0x", "0xFFFFFFFF",
    "0x1FFFFFFFF", "$", "$7fffffff", "$FFFFFFFFFF", "+", "-", "--1", "1e9", "12abc", " 7 ", "\"5\"", "'6", "",
};

// One line of a damaged ini text, made of the given section and key names.
std::string RandomLine(Dice& d, const std::vector<std::string>& sections, const std::vector<std::string>& keys) {
    switch (d.Int(0, 9)) {
    case 0: return "[" + d.Pick(sections) + "]";                       // also duplicates
    case 1: return "[" + d.Pick(sections);                             // unclosed header
    case 2: return d.Pick(keys) + "=" + d.Pick(kNumbers);
    case 3: return d.Pick(keys) + "=" + d.Bytes(std::size_t(d.Int(0, 80)));  // any bytes, NUL included
    case 4: return d.Pick(keys) + "=" + std::string(std::size_t(d.Int(100, 20000)), char(d.Int(0x20, 0xFF)));
    case 5: return d.Pick(keys);                                       // no '='
    case 6: return "=" + d.Pick(kNumbers);                             // no key
    case 7: return d.Bytes(std::size_t(d.Int(0, 40)));
    case 8: return "  " + d.Pick(keys) + "  =  \"" + d.Bytes(std::size_t(d.Int(0, 5))) + "'  ";
    default: return std::string(std::size_t(d.Int(0, 3)), d.Chance(50) ? '\r' : '\n');
    }
}

std::string RandomIni(Dice& d, const std::vector<std::string>& sections, const std::vector<std::string>& keys,
                      int lines) {
    std::string text;
    if (d.Chance(10)) text += "\xEF\xBB\xBF";
    for (int i = 0; i < lines; ++i) text += RandomLine(d, sections, keys) + (d.Chance(70) ? "\r\n" : "\n");
    if (d.Chance(20)) text.resize(std::size_t(d.Int(0, int64_t(text.size()))));  // cut anywhere
    return text;
}

}  // namespace

TEST(IniRobust, IniFileReadsAndWritesAnyText) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "any.ini").string();
    Dice dice(2001);
    const std::vector<std::string> sections = {"A", "a", "B", "", " A ", "[x]", "\xC0\xC1", "\xFF\xFE", "A]B"};
    const std::vector<std::string> keys = {"k", "K", "n", " k", "k ", "\x80\x81", "", "a=b", ";c", "#d"};
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        zbr_test::WriteBytes(path, RandomIni(dice, sections, keys, int(dice.Int(0, 30))));
        platform::IniFile ini(path);
        for (const std::string& s : ini.ReadSections())
            for (const std::string& k : ini.ReadSection(s)) {
                (void)ini.ReadString(s, k, "def");
                (void)ini.ReadRawString(s, k, "def");
                (void)ini.ReadBool(s, k, true);
                (void)ini.ReadInteger(s, k, -7);
            }
        for (const std::string& s : sections)
            for (const std::string& k : keys) {
                (void)ini.ReadString(s, k, "");
                (void)ini.ReadInteger(s, k, 42);
            }
        // Writing through the same damaged text keeps the file readable.
        // (Sections are written under plain names, as the program's own are.)
        const std::vector<std::string> plain = {"A", "a", "B"};
        ini.WriteInteger(dice.Pick(plain), "k", int32_t(dice.Int(INT32_MIN, INT32_MAX)));
        ini.WriteString("A", "text", dice.Bytes(std::size_t(dice.Int(0, 20))));  // not valid UTF-8
        ini.WriteRawString("B", "raw", dice.Bytes(std::size_t(dice.Int(0, 20))));
        ini.DeleteKey(dice.Pick(sections), dice.Pick(keys));
        if (dice.Chance(20)) ini.EraseSection(dice.Pick(plain));
        const int32_t n = int32_t(dice.Int(INT32_MIN, INT32_MAX));
        ini.WriteInteger("ZZ", "num", n);
        ASSERT_TRUE(ini.UpdateFile()) << ini.Error();
        platform::IniFile again(path);
        EXPECT_EQ(again.ReadInteger("ZZ", "num", 0), n);
        EXPECT_TRUE(again.ReadSections() == ini.ReadSections());
    }
}

// Numbers beyond 32 bits, signs alone and trailing junk read as the default;
// nothing wraps into a different value.
TEST(IniRobust, BadNumbersReadAsDefault) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "num.ini").string();
    const std::vector<std::string> bad = {"",    "+",   "-",       "--1",  "0x", "$", "12abc", "1e9",
                                          "99999999999999999999999999", "-99999999999999999999",
                                          "2147483648", "-2147483649", "0x1FFFFFFFF", "$FFFFFFFFFF", "\xFF"};
    for (const std::string& v : bad) {
        zbr_test::WriteBytes(path, "[S]\r\nk=" + v + "\r\n");
        platform::IniFile ini(path);
        EXPECT_EQ(ini.ReadInteger("S", "k", -7), -7) << v;
    }
}

TEST(IniRobust, ProgramIniKeepsItsRecordSound) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "zbr.ini").string();
    Dice dice(2002);
    const std::vector<std::string> sections = {"CURR_PAR", "DIR_CONN_PAR", "FON_CONN_PAR", "ETHERNET_CONN_PAR",
                                               "curr_par", "OTHER"};
    const std::vector<std::string> keys = {"Conn_Prz", "Free_Port_Wait", "Do_Close_Port", "Form_Width",
                                           "Form_Height", "Form_Left", "Form_Top", "COMPort", "Adr", "Rate",
                                           "Preambles", "Repeat", "TimeOut", "WaitTime", "Default_Command",
                                           "Command", "ConnectWaitTime", "AutoRepeat", "Conn_Repeat"};
    auto rec = Zeroed<ProgramSettingsRecord>();
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        zbr_test::WriteBytes(path, RandomIni(dice, sections, keys, int(dice.Int(0, 60))));
        ReadProgramIni(path, *rec, int(dice.Int(-5000, 5000)), int(dice.Int(-5000, 5000)));
        EXPECT_TRUE(Terminated(rec->Fon.Command, sizeof rec->Fon.Command));
        EXPECT_LE(rec->Fon.CommandText().size(), 2 * sizeof rec->Fon.Command);
        EXPECT_LE(uint8_t(rec->Do_Close_Port), 1);
        EXPECT_LE(uint8_t(rec->Fon.Default_Command), 1);
        EXPECT_LE(uint8_t(rec->Fon.AutoRepeat), 1);
    }
    // A Command far longer than its field is cut, terminated.
    zbr_test::WriteBytes(path, "[FON_CONN_PAR]\r\nCommand=" + std::string(5000, 'Z') + "\r\n");
    ReadProgramIni(path, *rec, 800, 600);
    EXPECT_EQ(rec->Fon.CommandText(), std::string(sizeof rec->Fon.Command - 1, 'Z'));
}

// Waits from a hand-edited zbr.ini ("WaitTime=-1" reads as 4294967295 s)
// reach the link object only within what the parameter window allows.
TEST(IniRobust, WildWaitsNeverReachTheLink) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "zbr.ini").string();
    zbr_test::WriteBytes(path,
                         "[CURR_PAR]\r\nFree_Port_Wait=-1\r\n[DIR_CONN_PAR]\r\nWaitTime=-1\r\nTimeOut=0\r\n");
    auto rec = Zeroed<ProgramSettingsRecord>();
    ReadProgramIni(path, *rec, 800, 600);
    EXPECT_EQ(+rec->Dir.WaitTime, 0xFFFFFFFFu);  // the record keeps what the file says
    hgcbox box(0);
    LoadLinkObject(box, rec->Dir, hgcbox::kLinkDirect, false, rec->Free_Port_Wait);
    EXPECT_EQ(box.ReplyTimeoutMs, kMaxReplyWaitSec * 1000u);
    EXPECT_EQ(box.ByteTimeoutMs, kMinByteWaitMs);
    EXPECT_EQ(box.OpenRetrySec, kMaxPortReleaseWaitSec);
}

TEST(IniRobust, ListFilesStayWithinTheirRecords) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    Dice dice(2003);
    std::vector<std::string> sections = {"FON_CONN_PAR", "ETHERNET_CONN_PAR", "OBJECT_LIST"};
    for (int n : {0, 1, 2, 3, 50, 51, 199, 200, 201, 255, 256, -1})
        for (const char* s : {"FON_ABONENT_", "ETHERNET_ABONENT_", "OBJECT_"}) sections.push_back(s + std::to_string(n));
    const std::vector<std::string> keys = {"users_num", "user_index", "sort_prz", "obj_num", "obj_index",
                                           "user_name", "contr_adr", "adr_modbus", "phone_code", "ip_adr",
                                           "port", "obj_name"};
    const std::string fon = (dir / "fon_abonents.ini").string();
    const std::string ethr = (dir / "ethr_abonents.ini").string();
    const std::string obj = (dir / "objects.ini").string();
    auto phone = Zeroed<PhoneSubscriberList>();
    auto ether = Zeroed<EthernetSubscriberList>();
    auto objects = Zeroed<ObjectListRecord>();
    for (int i = 0; i < 150; ++i) {
        SCOPED_TRACE(i);
        const std::string text = RandomIni(dice, sections, keys, int(dice.Int(0, 80)));
        zbr_test::WriteBytes(fon, text);
        zbr_test::WriteBytes(ethr, text);
        zbr_test::WriteBytes(obj, text);
        ReadPhoneSubscribers(fon, *phone);
        ReadEthernetSubscribers(ethr, *ether);
        ReadObjectList(obj, *objects);

        EXPECT_LE(phone->users_num, MaxSubscribers);
        EXPECT_TRUE(phone->user_index == 0 || phone->user_index < phone->users_num);
        for (const PhoneSubscriber& u : phone->users) {
            ASSERT_TRUE(Terminated(u.user_name, sizeof u.user_name));
            ASSERT_TRUE(Terminated(u.phone_code, sizeof u.phone_code));
        }
        EXPECT_LE(ether->users_num, MaxSubscribers);
        EXPECT_TRUE(ether->user_index == 0 || ether->user_index < ether->users_num);
        for (int k = 0; k < ether->users_num; ++k)
            ASSERT_TRUE(Terminated(ether->users[k].user_name, sizeof ether->users[k].user_name));
        EXPECT_LE(objects->obj_num, MaxObjects);
        EXPECT_TRUE(objects->obj_index == 0 || objects->obj_index < objects->obj_num);
        for (int k = 0; k < objects->obj_num; ++k)
            ASSERT_TRUE(Terminated(objects->objs[k].obj_name, sizeof objects->objs[k].obj_name));

        // The sorts and the texts run over whatever was read.
        for (uint8_t sort : {uint8_t(0), uint8_t(1), uint8_t(7)}) {
            phone->sort_prz = ether->sort_prz = objects->sort_prz = sort;
            SortPhoneSubscribers(*phone);
            SortEthernetSubscribers(*ether);
            SortObjectList(*objects);
        }
        for (int k = 0; k < phone->users_num; ++k) (void)phone->users[k].Name();
        for (int k = 0; k < ether->users_num; ++k) (void)ether->users[k].Name();
        for (int k = 0; k < objects->obj_num; ++k) (void)objects->objs[k].Name();
    }
    // Counts beyond the lists are clamped; long names are cut and terminated.
    zbr_test::WriteBytes(obj, "[OBJECT_LIST]\r\nobj_num=100000\r\nobj_index=99\r\n[OBJECT_1]\r\nobj_name=" +
                                  std::string(300, '\xC6') + "\r\n");
    ReadObjectList(obj, *objects);
    EXPECT_EQ(objects->obj_num, MaxObjects);
    EXPECT_EQ(objects->obj_index, 0);
    EXPECT_EQ(std::strlen(objects->objs[0].obj_name), NameFieldSize - 1);
}

TEST(IniRobust, ArchiveDefaultsFromAnyBytes) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "rd_arh.ini").string();
    Dice dice(2004);
    const double now = 46000.5;
    for (int i = 0; i < 500; ++i) {
        std::string bytes = dice.Bytes(std::size_t(dice.Int(0, 120)));
        if (bytes.size() >= 24 && dice.Chance(50)) {  // special doubles in the date places
            const double wild[] = {NAN, INFINITY, -INFINITY, -1e308, 1e308, 0, -693594, 2958466, 1e-310};
            const double v = wild[dice.Int(0, 8)];
            std::memcpy(bytes.data() + (dice.Chance(50) ? 8 : 16), &v, 8);
        }
        zbr_test::WriteBytes(path, bytes);
        ArchiveRequestDefaultsRecord rec;
        ASSERT_TRUE(LoadArchiveDefaults(path, rec, now));
        EXPECT_TRUE(std::isfinite(rec.PeriodBegin) && rec.PeriodBegin >= -1.0 && rec.PeriodBegin < 2958466.0)
            << i << " " << rec.PeriodBegin;
        EXPECT_TRUE(std::isfinite(rec.PeriodEnd) && rec.PeriodEnd >= -1.0 && rec.PeriodEnd < 2958466.0)
            << i << " " << rec.PeriodEnd;
    }
    ArchiveRequestDefaultsRecord rec;
    EXPECT_FALSE(LoadArchiveDefaults(dir.string(), rec, now));  // a folder
    EXPECT_EQ(rec.PeriodBegin, now);
}

TEST(IniRobust, ReportFormatFromAnyBytes) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "rep_format.ini").string();
    Dice dice(2005);
    for (int i = 0; i < 500; ++i) {
        zbr_test::WriteBytes(path, dice.Bytes(std::size_t(dice.Int(0, 80))));
        ReportFormatRecord rec;
        ASSERT_TRUE(LoadReportFormat(path, rec));
        for (int code = -3; code < kGasParamCount + 3; ++code) {
            const int d = ParamDecimals(rec, code);
            ASSERT_TRUE(d >= 0 && d <= kMaxDecimals) << code << " " << d;
            ASSERT_LE(FormatGasCell(float(dice.Int(-1000000, 1000000)) / 7.0f, d).size(), 64u);
        }
        for (int g = -3; g < kQuantityGroupCount + 3; ++g) {
            const int d = QuantityDecimals(rec, g);
            ASSERT_TRUE(d >= 0 && d <= kMaxDecimals) << g << " " << d;
        }
        for (float v : {1e38f, -1e38f, NAN, INFINITY, 0.0f})
            ASSERT_LE(FormatGasCell(v, int(dice.Int(-50, 300))).size(), 64u);
    }
}

// title.ini, the report heading: any bytes, a folder in its place. The
// heading read is at most its 40 bytes of text without a zero; a heading
// written back is exactly 40 bytes and reads back the same.
TEST(IniRobust, ReportHeadingFromAnyBytes) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    const std::string path = (dir / "title.ini").string();
    Dice dice(2006);
    for (int i = 0; i < 500; ++i) {
        zbr_test::WriteBytes(path, dice.Bytes(std::size_t(dice.Int(0, 120))));
        const std::string heading = ReadReportHeading(path);
        const std::string bytes = platform::Utf8ToCp1251(heading);
        ASSERT_LE(bytes.size(), kReportHeadingBytes) << i;
        ASSERT_EQ(bytes.find('\0'), std::string::npos) << i;
        ASSERT_TRUE(WriteReportHeading(path, heading, nullptr)) << i;
        ASSERT_EQ(zbr_test::ReadBytes(path).size(), kReportHeadingBytes) << i;
        // Bytes Windows-1251 leaves unassigned come back as '?'; after that
        // the heading stays as it is.
        const std::string again = ReadReportHeading(path);
        ASSERT_EQ(platform::Utf8ToCp1251(again).size(), bytes.size()) << i;
        ASSERT_TRUE(WriteReportHeading(path, again, nullptr)) << i;
        ASSERT_EQ(ReadReportHeading(path), again) << i;
    }
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);  // a folder where the file belongs
    EXPECT_EQ(ReadReportHeading(path), "");
    std::string why;
    EXPECT_FALSE(WriteReportHeading(path, "ТОВ", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Files the program may not read (permissions bind only an ordinary user,
// so this runs as one in a child): each reads as missing, with the
// defaults or the refusal of a missing file, and none of them is replaced
// by a write, so that nothing the program could not see is lost.
TEST(IniRobust, UnreadableFilesReadAsMissingAndAreNeverOverwritten) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    const std::string zbr = (dir / "zbr.ini").string(), fon = (dir / "fon_abonents.ini").string(),
                      fmt = (dir / "rep_format.ini").string(), arh = (dir / "rd_arh.ini").string(),
                      title = (dir / "title.ini").string(), mch = (dir / "saved.mch").string();
    const std::map<std::string, std::string> contents = {
        {zbr, "[DIR_CONN_PAR]\r\nRate=9600\r\n"},
        {fon, "[FON_CONN_PAR]\r\nusers_num=1\r\n[FON_ABONENT_1]\r\nuser_name=A\r\n"},
        {fmt, std::string(33, '\x07')},
        {arh, std::string(74, '\x05')},
        {title, std::string(40, 'T')},
        {mch, std::string(200, '\x01')}};
    for (const auto& [path, bytes] : contents) {
        zbr_test::WriteBytes(path, bytes);
        std::filesystem::permissions(path, std::filesystem::perms::none);
    }
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        int failed = 0;
        auto settings = std::make_unique<ProgramSettingsRecord>();
        ReadProgramIni(zbr, *settings, 1024, 768);
        if (settings->Dir.Rate != 38400) failed |= 1;
        if (!platform::IniFile(zbr).LoadFailed()) failed |= 2;
        auto list = std::make_unique<PhoneSubscriberList>();
        ReadPhoneSubscribers(fon, *list);
        if (list->users_num != 0) failed |= 4;
        auto shadow = std::make_unique<PhoneSubscriberList>(*list);
        list->users_num = 1;
        if (WritePhoneSubscribers(fon, *list, *shadow)) failed |= 8;  // would replace what it could not read
        ReportFormatRecord rf;
        if (LoadReportFormat(fmt, rf) || ParamDecimals(rf, 0) != 4)
            failed |= 16;
        ArchiveRequestDefaultsRecord ad;
        if (LoadArchiveDefaults(arh, ad, 100.0) || ad.IndexKind != 1 || ad.PeriodBegin != 100.0) failed |= 32;
        if (!ReadReportHeading(title).empty()) failed |= 64;
        ArchiveFileContents c;
        FileMessage m;
        if (OpenArchiveFile(ArchiveKind::ChromMeas, mch, c, m) || m.line1 != "Помилка відкриття файлу") failed |= 128;
        std::vector<uint8_t> recs;
        uint32_t count = 7;
        if (ReadTempArchive(mch, 94, 100, recs, count) || count != 0) failed |= 256;
        _exit(failed > 99 ? 99 : failed);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    for (const auto& [path, bytes] : contents) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_EQ(zbr_test::ReadBytes(path), bytes) << path;
    }
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed checks (bits): " << WEXITSTATUS(status);
}

// Whatever sits at a settings, list, format, heading or template path (a named
// pipe nobody writes to, a folder, an endless device) reads at once as a file
// that cannot be read: defaults, never a hang, never an overwrite.
TEST(IniRobust, PipesFoldersAndDevicesInPlaceOfFilesNeverHang) {
    const auto dir = zbr_test::FreshWorkDir("robustness_special");
    const char* names[] = {"zbr.ini", "fon_abonents.ini", "rep_format.ini", "rd_arh.ini", "title.ini", "t.xlsx"};
    for (int kind = 0; kind < 3; ++kind) {
        for (const char* n : names) {
            const std::string p = (dir / n).string();
            std::filesystem::remove_all(p);
            if (kind == 0) {
                ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
            }
            if (kind == 1) std::filesystem::create_directory(p);
            if (kind == 2) std::filesystem::create_symlink("/dev/zero", p);
        }
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            alarm(20);  // a reader that blocks ends the child with SIGALRM
            int failed = 0;
            auto settings = std::make_unique<ProgramSettingsRecord>();
            ReadProgramIni((dir / "zbr.ini").string(), *settings, 1024, 768);
            if (settings->Dir.Rate != 38400) failed |= 1;
            if (!platform::IniFile((dir / "zbr.ini").string()).LoadFailed()) failed |= 2;
            auto list = std::make_unique<PhoneSubscriberList>();
            ReadPhoneSubscribers((dir / "fon_abonents.ini").string(), *list);
            if (list->users_num != 0) failed |= 4;
            auto shadow = std::make_unique<PhoneSubscriberList>(*list);
            list->users_num = 1;
            if (WritePhoneSubscribers((dir / "fon_abonents.ini").string(), *list, *shadow)) failed |= 8;
            ReportFormatRecord rf;
            if (LoadReportFormat((dir / "rep_format.ini").string(), rf) || ParamDecimals(rf, 0) != 4) failed |= 16;
            ArchiveRequestDefaultsRecord ad;
            if (LoadArchiveDefaults((dir / "rd_arh.ini").string(), ad, 100.0) || ad.PeriodBegin != 100.0)
                failed |= 32;
            if (!ReadReportHeading((dir / "title.ini").string()).empty()) failed |= 64;
            sheet::Workbook wb;
            if (wb.Open((dir / "t.xlsx").string()) || wb.LastError().empty()) failed |= 128;
            _exit(failed > 99 ? 99 : failed);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "kind " << kind << ": a reader hung or crashed";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "kind " << kind << ", failed checks (bits): " << WEXITSTATUS(status);
        for (const char* n : names) {
            const auto p = dir / n;
            const auto st = std::filesystem::symlink_status(p).type();
            EXPECT_TRUE(kind == 0 ? st == std::filesystem::file_type::fifo
                        : kind == 1 ? st == std::filesystem::file_type::directory
                                    : st == std::filesystem::file_type::symlink) << p;
        }
    }
}
