#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <limits>

#include "config/ConfigImage.h"
#include "data/ArchiveFiles.h"
#include "data/DataTestUtil.h"
#include "platform/Codepage.h"

namespace fs = std::filesystem;
using namespace data_test;

namespace {

// A source as the configuration image of a controller gives it.
ArchiveHeaderSource Source() {
    ArchiveHeaderSource s;
    platform::WriteField(s.controllerName, 20, "ГРС Південна");
    platform::WriteField(s.lineNames[0], 20, "Нитка 1");
    platform::WriteField(s.lineNames[1], 20, "  Нитка 2 ");
    s.controllerAddress = 5;
    s.chromatographType = 3;
    s.moistureMeterType = 2;
    s.chromatographSerial = 0x01020304;
    s.chromFlags = 0x07;  // both lines in use, oxygen shown
    return s;
}

const DeviceDateTime kFrom{24, 3, 1, 7, 30, 15};
const DeviceDateTime kTo{24, 3, 15, 22, 45, 50};
const DeviceDateTime kRead{24, 3, 16, 9, 0, 1};

ArchiveFileHeader Header(ArchiveKind kind, int line = 0, uint32_t count = 0) {
    return BuildArchiveHeader(kind, line, Source(), kFrom, kTo, count, kRead);
}

ChromMeasRecord Meas(uint8_t minute, float methane) {
    ChromMeasRecord r;
    r.time = {24, 3, 15, 10, minute, 0};
    r.SetValue(8, methane);
    SealRecord(r);
    return r;
}

}  // namespace

TEST(ArchiveHeader, BytesOfAChromatographHeader) {
    const ArchiveFileHeader h = Header(ArchiveKind::ChromMeas, 1, 7);
    const std::string b = BytesOf(h);
    ASSERT_EQ(b.size(), 82u);
    EXPECT_EQ(b.substr(0, 3), "MSA");
    EXPECT_EQ(uint8_t(b[3]), 0x10);
    EXPECT_EQ(h.ControllerNameText(), "ГРС Південна");
    EXPECT_EQ(h.LineNameText(), "Нитка 2");
    EXPECT_EQ(uint8_t(b[24]), ' ');  // the name as the image holds it
    EXPECT_EQ(uint8_t(b[44]), 5);
    EXPECT_EQ(uint8_t(b[45]), 11);
    EXPECT_EQ(uint8_t(b[46]), 3);
    EXPECT_EQ(uint8_t(b[47]), 2);
    EXPECT_EQ(b.substr(48, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(b.substr(52, 6), BytesOf(kRead));
    EXPECT_EQ(b.substr(58, 6), BytesOf(kFrom));
    EXPECT_EQ(b.substr(64, 6), BytesOf(kTo));
    EXPECT_EQ(b.substr(70, 4), std::string("\x07\0\0\0", 4));
    EXPECT_EQ(uint8_t(b[74]), 1);
    EXPECT_EQ(b.substr(75), std::string(7, '\0'));
    EXPECT_EQ(h.Line(), 1);
    EXPECT_EQ(h.Device(), 0);
}

TEST(ArchiveHeader, ValuesPerKind) {
    struct Case {
        ArchiveKind kind;
        const char* tag;
        uint8_t lineDevice;
        const char* lineName;
    };
    const Case cases[] = {
        {ArchiveKind::ChromMeas, "MSA", 0x00, "Нитка 1"},
        {ArchiveKind::WmtMeas, "MSA", 0x01, "Нитка 1"},
        {ArchiveKind::ChromHour, "HOU", 0x00, "Нитка 1"},
        {ArchiveKind::ChromDay, "DAY", 0x00, "Нитка 1"},
        {ArchiveKind::WmtHour, "HOU", 0x01, ""},
        {ArchiveKind::WmtDay, "DAY", 0x01, ""},
        {ArchiveKind::Calib, "CLB", 0x00, ""},
        {ArchiveKind::Verif, "VRF", 0x00, ""},
        {ArchiveKind::Diagnostic, "ALA", 0x00, ""},
        {ArchiveKind::Intervention, "AUD", 0x00, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        const ArchiveFileHeader h = Header(c.kind, 0, 3);
        EXPECT_EQ(h.Tag(), c.tag);
        EXPECT_EQ(h.LineDevice, c.lineDevice);
        EXPECT_EQ(h.LineNameText(), c.lineName);
        if (*c.lineName == 0) {
            EXPECT_EQ(BytesOf(h).substr(24, 20), std::string(20, '\0'));
        }
        EXPECT_EQ(h.Count(), 3u);
    }
    // Hourly keeps year..hour, daily year..day.
    const ArchiveFileHeader hour = Header(ArchiveKind::WmtHour);
    EXPECT_EQ(hour.FromDate, (DeviceDateTime{24, 3, 1, 7, 0, 0}));
    EXPECT_EQ(hour.ToDate, (DeviceDateTime{24, 3, 15, 22, 0, 0}));
    const ArchiveFileHeader day = Header(ArchiveKind::ChromDay, 1);
    EXPECT_EQ(day.FromDate, (DeviceDateTime{24, 3, 1, 0, 0, 0}));
    EXPECT_EQ(day.ToDate, (DeviceDateTime{24, 3, 15, 0, 0, 0}));
    EXPECT_EQ(day.LineDevice, 0x10);
    EXPECT_EQ(Header(ArchiveKind::Calib).FromDate, kFrom);

    ArchiveHeaderSource noOxygen = Source();
    noOxygen.chromFlags = 0x03;
    EXPECT_EQ(BuildArchiveHeader(ArchiveKind::Verif, 0, noOxygen, kFrom, kTo, 0, kRead).OxygenShown, 0);
}

TEST(ArchiveHeader, SourceFromTheConfigurationImage) {
    std::vector<uint8_t> image(kConfigImageSize, 0);
    platform::WriteField(image.data() + 382, 20, "Контролер ЗБР_11");
    platform::WriteField(image.data() + 402, 20, "Лінія А");
    platform::WriteField(image.data() + 422, 20, "Лінія Б");
    image[789 + 6] = 3;
    image[789 + 7] = 0x04;
    image[803 + 6] = 1;
    PutU32(image.data() + 1639, 123456);
    const ArchiveHeaderSource s = HeaderSourceFromImage(image, 9);
    const ArchiveFileHeader h = BuildArchiveHeader(ArchiveKind::ChromHour, 1, s, kFrom, kTo, 0, kRead);
    EXPECT_EQ(h.ControllerNameText(), "Контролер ЗБР_11");
    EXPECT_EQ(h.LineNameText(), "Лінія Б");
    EXPECT_EQ(h.ControllerAddress, 9);
    EXPECT_EQ(h.ChromatographType, 3);
    EXPECT_EQ(h.MoistureMeterType, 1);
    EXPECT_EQ(h.Serial(), 123456u);
    EXPECT_EQ(h.OxygenShown, 1);

    // A too small image gives an empty source rather than a read past its end.
    const ArchiveHeaderSource none = HeaderSourceFromImage(std::span<const uint8_t>(image.data(), 100), 4);
    EXPECT_EQ(none.controllerAddress, 4);
    EXPECT_EQ(none.chromatographSerial, 0u);
    EXPECT_TRUE(HeaderNeedsSerialRead(ArchiveKind::ChromDay, none));
    EXPECT_TRUE(HeaderNeedsSerialRead(ArchiveKind::Diagnostic, none));
    EXPECT_FALSE(HeaderNeedsSerialRead(ArchiveKind::ChromHour, none));
    EXPECT_FALSE(HeaderNeedsSerialRead(ArchiveKind::Intervention, s));
}

TEST(TempArchive, AppendAndReadBack) {
    FreshWorkDir();
    EXPECT_EQ(TempArchivePath(TempArchive::HourDay), platform::WorkDir() + "/datafile.hdm");
    TempArchiveWriter w;
    ASSERT_TRUE(w.Open(TempArchive::Measured, sizeof(ChromMeasRecord)));
    const ChromMeasRecord recs[3] = {Meas(0, 90.0f), Meas(3, 91.0f), Meas(6, 92.0f)};
    EXPECT_TRUE(w.Append(&recs[0]));
    EXPECT_TRUE(w.Append(&recs[1], 2));
    EXPECT_EQ(w.Count(), 3u);
    EXPECT_TRUE(w.Close());

    std::vector<ChromMeasRecord> back;
    ASSERT_TRUE(ReadTempArchive(TempArchive::Measured, 100, back));
    ASSERT_EQ(back.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(BytesOf(back[i]), BytesOf(recs[i]));
    ASSERT_TRUE(ReadTempArchive(TempArchive::Measured, 2, back));  // never more than received
    EXPECT_EQ(back.size(), 2u);

    // The count comes from what the file holds: a part record is left out,
    // and a larger expected count allocates nothing beyond the file.
    WriteBytes(TempArchivePath(TempArchive::Measured), BytesOf(recs[0]) + std::string(50, 'z'));
    std::vector<uint8_t> bytes;
    uint32_t count = 99;
    ASSERT_TRUE(
        ReadTempArchive(TempArchive::Measured, 94, std::numeric_limits<uint32_t>::max(), bytes, count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(bytes.size(), 94u);

    // A new read empties the file.
    ASSERT_TRUE(w.Open(TempArchive::Measured, 94));
    EXPECT_TRUE(w.Close());
    ASSERT_TRUE(ReadTempArchive(TempArchive::Measured, 94, 10, bytes, count));
    EXPECT_EQ(count, 0u);

    // No file to read back, or none to create.
    EXPECT_FALSE(ReadTempArchive(TempArchive::Calib, 170, 10, bytes, count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(w.Open(platform::WorkDir() + "/missing/datafile.clb", 170));
    EXPECT_FALSE(w.Append(&recs[0]));
    const FileMessage m = TempArchiveWriter::OpenFailureMessage();
    EXPECT_EQ(m.kind, 6);
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");
}

TEST(TempArchive, DeletedAtShutDown) {
    const std::string dir = FreshWorkDir();
    for (TempArchive t : {TempArchive::Measured, TempArchive::Diagnostic, TempArchive::Verif})
        WriteBytes(TempArchivePath(t), "x");
    WriteBytes(dir + "/other.txt", "keep");
    DeleteTempArchiveFiles();  // the missing ones are skipped
    EXPECT_EQ(FileCount(dir), 1);
}

TEST(ArchiveFile, SaveAndReopenByteForByte) {
    const std::string dir = FreshWorkDir();
    ASSERT_TRUE(platform::EnsureDir(ArchiveFolder(ArchiveKind::ChromMeas)));
    std::vector<ChromMeasRecord> recs = {Meas(0, 90.0f), Meas(3, 91.0f), Meas(6, 92.0f)};
    recs[1].values[0] ^= 0xFF;  // an unreliable record is saved unchanged
    const ArchiveFileHeader h = Header(ArchiveKind::ChromMeas, 1, 3);
    const std::string path = DefaultArchiveFileName(ArchiveKind::ChromMeas, h, {24, 3, 16});

    FileMessage msg;
    ASSERT_TRUE(SaveArchiveFile<ChromMeasRecord>(path, h, recs, msg));
    EXPECT_EQ(msg.kind, 6);
    EXPECT_EQ(msg.line1, "Дані збережені в файлі zbr11_005_Нитка 2_240316.mch.");
    std::string expected = BytesOf(h);
    for (const auto& r : recs) expected += BytesOf(r);
    EXPECT_EQ(ReadBytes(path), expected);

    ArchiveFileContents c;
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::ChromMeas, path, c, msg));
    EXPECT_EQ(BytesOf(c.header), BytesOf(h));
    EXPECT_EQ(c.count, 3u);
    EXPECT_FALSE(c.cutShort);
    const auto back = EntriesAs<ChromMeasRecord>(c.entries);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_FALSE(RecordCrcOk(back[1]));
    EXPECT_TRUE(RecordCrcOk(back[2]));

    // Saved again over itself from what was opened: the same bytes, and no
    // temporary file left in the folder.
    ASSERT_TRUE(SaveArchiveFile(path, c.header, c.entries.data(), 94, c.count, msg));
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(FileCount(ArchiveFolder(ArchiveKind::ChromMeas)), 1);

    // Text-row files round-trip the same way.
    std::vector<DiagnosticRow> rows(2);
    rows[0].Set(0, "   ***");
    rows[1].Set(2, "Рестарт підключеного контролера");
    const std::string ala = dir + "/list.ala";
    ASSERT_TRUE(SaveArchiveFile<DiagnosticRow>(ala, Header(ArchiveKind::Diagnostic), rows, msg));
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::Diagnostic, ala, c, msg));
    const auto rowsBack = EntriesAs<DiagnosticRow>(c.entries);
    ASSERT_EQ(rowsBack.size(), 2u);
    EXPECT_EQ(rowsBack[1].Get(2), "Рестарт підключеного контролера");
    EXPECT_EQ(c.header.Count(), 2u);
}

TEST(ArchiveFile, WrongFilesAreRefusedWithTheirMessage) {
    const std::string dir = FreshWorkDir();
    const std::string mch = "вимірювальні дані хроматографа Orvix7200 з архиву";
    auto open = [&](ArchiveKind kind, const std::string& bytes, FileMessage& m) {
        const std::string path = dir + "/test.dat";
        WriteBytes(path, bytes);
        ArchiveFileContents c;
        return OpenArchiveFile(kind, path, c, m);
    };
    FileMessage m;

    ArchiveFileContents c;
    EXPECT_FALSE(OpenArchiveFile(ArchiveKind::ChromMeas, dir + "/none.mch", c, m));
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");
    EXPECT_EQ(m.line2, "");
    EXPECT_FALSE(OpenArchiveFile(ArchiveKind::ChromMeas, dir, c, m));  // a folder
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");
    // A pipe nobody writes into and an endless device: refused at once.
    ASSERT_EQ(::mkfifo((dir + "/pipe.mch").c_str(), 0600), 0);
    EXPECT_FALSE(OpenArchiveFile(ArchiveKind::ChromMeas, dir + "/pipe.mch", c, m));
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");
    EXPECT_FALSE(OpenArchiveFile(ArchiveKind::ChromMeas, "/dev/zero", c, m));
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");
    ::unlink((dir + "/pipe.mch").c_str());

    // Shorter than its header: refused, not read past its end.
    EXPECT_FALSE(open(ArchiveKind::ChromMeas, BytesOf(Header(ArchiveKind::ChromMeas)).substr(0, 40), m));
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.line1, "Файл test.dat не є файлом, що містить");
    EXPECT_EQ(m.line2, mch);
    EXPECT_FALSE(open(ArchiveKind::ChromMeas, "", m));

    // Wrong tag, version or chromatograph type, whatever the tag.
    EXPECT_FALSE(open(ArchiveKind::ChromMeas, BytesOf(Header(ArchiveKind::ChromHour)), m));
    EXPECT_EQ(m.line2, mch);
    for (ArchiveKind k : {ArchiveKind::ChromDay, ArchiveKind::Diagnostic, ArchiveKind::Calib}) {
        ArchiveFileHeader h = Header(k);
        h.ProgramVersion = 14;
        EXPECT_FALSE(open(k, BytesOf(h), m));
        h = Header(k);
        h.ChromatographType = 2;
        EXPECT_FALSE(open(k, BytesOf(h), m));
        EXPECT_TRUE(open(k, BytesOf(Header(k)), m));
    }
    EXPECT_EQ(m.line2, std::string());  // a success leaves no message

    // A moisture-meter file named .mch: refused by the chromatograph viewer,
    // accepted by the moisture-meter one; line 2 files open like line 1.
    const std::string wmt = BytesOf(Header(ArchiveKind::WmtMeas));
    EXPECT_FALSE(open(ArchiveKind::ChromMeas, wmt, m));
    EXPECT_TRUE(open(ArchiveKind::WmtMeas, wmt, m));
    EXPECT_TRUE(open(ArchiveKind::ChromMeas, BytesOf(Header(ArchiveKind::ChromMeas, 1)), m));
    EXPECT_FALSE(open(ArchiveKind::WmtDay, BytesOf(Header(ArchiveKind::ChromDay)), m));
    EXPECT_EQ(m.line2, "добові дані вологоміра з архіву контролера ЗБР_11");
    EXPECT_FALSE(open(ArchiveKind::Intervention, BytesOf(Header(ArchiveKind::Diagnostic)), m));
    EXPECT_EQ(m.line2, "повідомлення про втручання оператора контроллера ЗБР_11");

    // The device nibble of message lists is not tested.
    ArchiveFileHeader ala = Header(ArchiveKind::Diagnostic);
    ala.LineDevice = 0x37;
    EXPECT_TRUE(open(ArchiveKind::Diagnostic, BytesOf(ala), m));
}

TEST(ArchiveFile, RecordCountComesFromWhatTheFileHolds) {
    const std::string dir = FreshWorkDir();
    const std::string path = dir + "/a.hwm";
    WmtArchiveRecord r;
    r.SetValue(0, -12.5f);
    SealRecord(r);
    const std::string rec = BytesOf(r);
    ArchiveFileContents c;
    FileMessage m;

    // Declares 100, holds 2 and a part of a third.
    WriteBytes(path, BytesOf(Header(ArchiveKind::WmtHour, 0, 100)) + rec + rec + rec.substr(0, 10));
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::WmtHour, path, c, m));
    EXPECT_EQ(c.declaredCount, 100u);
    EXPECT_EQ(c.count, 2u);
    EXPECT_EQ(c.header.Count(), 2u);  // the viewers take the count from the header
    EXPECT_EQ(c.entries.size(), 56u);
    EXPECT_TRUE(c.cutShort);

    // Declares 1, holds 3: read only as far as the count.
    WriteBytes(path, BytesOf(Header(ArchiveKind::WmtHour, 0, 1)) + rec + rec + rec);
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::WmtHour, path, c, m));
    EXPECT_EQ(c.count, 1u);
    EXPECT_FALSE(c.cutShort);
    EXPECT_EQ(EntriesAs<WmtArchiveRecord>(c.entries)[0].Value(0), -12.5f);

    // An absurd count with nothing behind it allocates nothing.
    WriteBytes(path, BytesOf(Header(ArchiveKind::WmtHour, 0, 0xFFFFFFFF)));
    ASSERT_TRUE(OpenArchiveFile(ArchiveKind::WmtHour, path, c, m));
    EXPECT_EQ(c.count, 0u);
    EXPECT_TRUE(c.entries.empty());
}

TEST(ArchiveFile, FailedSavesAreReported) {
    const std::string dir = FreshWorkDir();
    const ArchiveFileHeader h = Header(ArchiveKind::Verif, 0, 1);
    VerifRecord v;
    SealRecord(v);
    FileMessage m;

    // No such folder.
    EXPECT_FALSE(SaveArchiveFile(dir + "/VERIFARHIV/x.vrf", h, &v, sizeof v, 1, m));
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.line1, "Помилка відкриття файлу");

    // A folder nobody may write into (root may write into any ordinary
    // folder, so it gets one of the kernel's).
    std::string readOnly = dir + "/ro";
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() == 0) readOnly = "/proc";
    EXPECT_FALSE(SaveArchiveFile(readOnly + "/x.vrf", h, &v, sizeof v, 1, m));
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.line1.find("Дані збережені"), std::string::npos);
    fs::permissions(dir + "/ro", fs::perms::owner_all);

    // The disk refuses the bytes part-way: reported with the file's name,
    // and the old file stays as it was.
    const std::string path = dir + "/old.vrf";
    WriteBytes(path, "old contents");
    std::vector<VerifRecord> many(100, v);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveArchiveFile<VerifRecord>(path, h, many, m);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.line1, "Помилка роботи з файлом");
    EXPECT_EQ(m.line2, "old.vrf");
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(FileCount(dir), 2);  // old.vrf and ro: no temporary file left
}

TEST(ArchiveFile, DefaultNamesAndFolders) {
    const std::string dir = FreshWorkDir();
    const DeviceDateTime today{24, 3, 9};
    auto name = [&](ArchiveKind k, const ArchiveFileHeader& h) {
        const std::string p = DefaultArchiveFileName(k, h, today);
        EXPECT_EQ(p.rfind(dir + "/", 0), 0u) << p;
        return p.substr(dir.size() + 1);
    };
    EXPECT_EQ(name(ArchiveKind::ChromMeas, Header(ArchiveKind::ChromMeas)),
              "MOMDATA/zbr11_005_Нитка 1_240309.mch");
    EXPECT_EQ(name(ArchiveKind::ChromHour, Header(ArchiveKind::ChromHour, 1)),
              "HOURDATA/zbr11-005_Нитка 2_240309.hch");
    EXPECT_EQ(name(ArchiveKind::ChromDay, Header(ArchiveKind::ChromDay)),
              "DAYDATA/zbr11-005_Нитка 1_240309.dch");
    EXPECT_EQ(name(ArchiveKind::Calib, Header(ArchiveKind::Calib)), "CALIBRARHIV/zbr11-005_240309.clb");
    EXPECT_EQ(name(ArchiveKind::Verif, Header(ArchiveKind::Verif)), "VERIFARHIV/zbr11-005_240309.vrf");
    EXPECT_EQ(name(ArchiveKind::WmtMeas, Header(ArchiveKind::WmtMeas)), "MOMDATA/wmt11_005_240309.mwm");
    EXPECT_EQ(name(ArchiveKind::WmtHour, Header(ArchiveKind::WmtHour)), "HOURDATA/wmt11_005_240309.hwm");
    EXPECT_EQ(name(ArchiveKind::WmtDay, Header(ArchiveKind::WmtDay)), "DAYDATA/wmt11_005_240309.dwm");
    EXPECT_EQ(name(ArchiveKind::Diagnostic, Header(ArchiveKind::Diagnostic)),
              "ALAFILES/zbr11_005_240309.ala");
    EXPECT_EQ(name(ArchiveKind::Intervention, Header(ArchiveKind::Intervention)),
              "AUDFILES/zbr11_005_240309.aud");

    // A line name with a slash, a backslash and control bytes never makes a
    // path of its own.
    ArchiveFileHeader h = Header(ArchiveKind::ChromMeas);
    const char raw[20] = {' ', 'A', '/', 'B', '\\', 'C', '\x01', '\t', 'D', '\xC0', ' ', ' '};
    std::memcpy(h.LineName, raw, 20);
    EXPECT_EQ(name(ArchiveKind::ChromMeas, h), "MOMDATA/zbr11_005_A_B_C__DА_240309.mch");
    EXPECT_EQ(SafeFileNamePart("..\x7f/"), "..__");
    h.ControllerAddress = 255;
    std::memset(h.LineName, 0, 20);
    EXPECT_EQ(name(ArchiveKind::ChromMeas, h), "MOMDATA/zbr11_255__240309.mch");

    EXPECT_EQ(WithDefaultExtension("/a/b/name", ".hch"), "/a/b/name.hch");
    EXPECT_EQ(WithDefaultExtension("/a/b/name.", ".hch"), "/a/b/name.hch");
    EXPECT_EQ(WithDefaultExtension("/a/b.c/name", ".clb"), "/a/b.c/name.clb");
    EXPECT_EQ(WithDefaultExtension("/a/b/name.dat", ".hch"), "/a/b/name.dat");
    EXPECT_EQ(WithDefaultExtension("/a/b/.hidden", "aud"), "/a/b/.hidden.aud");

    EXPECT_EQ(ArchiveInfo(ArchiveKind::WmtHour).filterIndex, 8);
    EXPECT_STREQ(ArchiveInfo(ArchiveKind::Calib).saveFilter, "DataFiles (*.clb)|*.clb");
}
