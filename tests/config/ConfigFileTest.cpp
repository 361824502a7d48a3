// Configuration records and files: the defaults byte for byte, files made
// by hand loading, files refused with their messages, the save dialog's
// questions and failures, and the record's way into the configuration image
// with its checks.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include "common/Dtfun.h"
#include "common/Rd_wr_ini.h"
#include "config/ConfigFile.h"
#include "config/LimitRanges.h"
#include "config/Users.h"
#include "platform/Codepage.h"
#include "platform/Paths.h"
#include "support/TestFolders.h"
#include "ui/Dialogs.h"
#include "ui/TestDriver.h"

namespace fs = std::filesystem;

namespace {

// A new file as laid out byte by byte, passwords as they go to disk.
std::string ExpectedNewFile() {
    std::string f(2645, '\0');
    auto put = [&](std::size_t at, std::initializer_list<int> bytes) {
        for (int b : bytes) f[at++] = char(b);
    };
    auto putText = [&](std::size_t at, const std::string& utf8) {
        const std::string b = platform::Utf8ToCp1251(utf8);
        f.replace(at, b.size(), b);
    };
    f[2] = 'I';
    f[4] = 11;
    putText(29, "Контролер ЗБР_11");
    putText(49, "Нитка 1");
    putText(69, "Нитка 2");
    put(109, {1, 11, 3, 0});
    put(213, {3, 0xC9, 3, 10, 0xC9, 4, 9, 1, 0, 1, 0, 1});
    put(325, {1, 11, 1, 0, 150, 5, 3, 3, 0, 0, 0, 1, 0, 1});
    put(385, {1, 11, 0, 0, 150, 5, 1, 0});
    for (int i = 0; i < 16; ++i) {
        f[443 + 20 * i] = char(i + 1);
        for (int k = 0; k < 16; ++k) f[447 + 20 * i + k] = char(0xE4);  // a blank on disk
    }
    put(444, {2, 0xA3, 1});
    f[863 + 7] = f[863 + 9] = f[863 + 12] = 1;
    for (int kind = 0; kind < 5; ++kind)
        for (int code = 0; code < 20; ++code)
            std::memcpy(&f[983 + 180 * kind + 4 * code], &LimitRanges[kind][code].def, 4);
    f[1883] = 1;
    for (int r = 0; r < 16; ++r) {
        const std::size_t at = 1985 + 22 * r;
        for (int k = 0; k < 22; ++k) f[at + k] = ' ';
        f[at + 4] = f[at + 5] = 0;
    }
    put(2437, {1, 11, 5, 20, 3, 2});
    return f;
}

class ConfigFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("config-files");
        fs::create_directories(dir / "CONFIG");
        InitConfigImage();
    }
    void TearDown() override { drv.verify(); }
    std::string Config(const std::string& name) { return (dir / "CONFIG" / name).string(); }

    fs::path dir;
    ui::test::Driver drv;
    ui::OpenDialog pod{nullptr, "pod"};
    ui::SaveDialog psd{nullptr, "psd"};
};

}  // namespace

TEST_F(ConfigFiles, NewFileIsWhatTheLayoutPrescribes) {
    ConfigRecord rec;
    rec.Bytes.fill(0x5A);
    InitNewConfigFile(rec);
    const std::string want = ExpectedNewFile();
    const std::string got = EncodeConfigFile(rec);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) ASSERT_EQ(uint8_t(got[i]), uint8_t(want[i])) << "byte " << i;

    // Through the save dialog onto the disk: the same bytes, under the name
    // proposed from the version, the name and the time.
    drv.chooseFile(Config("new.cnf"));
    drv.expectMessage(6, "Параметри конфігурації", "Збережені в файлі new.cnf");
    std::string chosen;
    ASSERT_TRUE(SaveConfigFile(psd, chosen, rec));
    EXPECT_EQ(chosen, Config("new.cnf"));
    EXPECT_EQ(zbr_test::ReadBytes(Config("new.cnf")), want);
    ASSERT_EQ(drv.fileDialogs().size(), 1u);
    const ui::test::FileDialogRecord& d = drv.fileDialogs()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.title, "Вибір файлу для запису параметрів конфігурації");
    EXPECT_EQ(d.initialDir, (dir / "CONFIG").string());
    EXPECT_EQ(d.fileName.rfind((dir / "CONFIG" / "zbr_11-Контролер ЗБР_11-").string(), 0), 0u) << d.fileName;
    EXPECT_EQ(d.fileName.size() - d.fileName.rfind('-'), std::string("-2403091530.cnf").size());
}

TEST_F(ConfigFiles, PasswordTransformAndTheProposedName) {
    EXPECT_EQ(EncodePasswordByte(0), 4);
    EXPECT_EQ(EncodePasswordByte(' '), 0xE4);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(DecodePasswordByte(EncodePasswordByte(uint8_t(b))), b);

    ConfigRecord rec;
    InitNewConfigFile(rec);
    for (int k = 0; k < 16; ++k) rec.FlowRow(3)[4 + k] = uint8_t(k * 17);
    ConfigRecord back;
    ASSERT_EQ(DecodeConfigFile(EncodeConfigFile(rec), back), ConfigFileError::None);
    EXPECT_EQ(back, rec);

    // Separators and control characters of the name never reach the path.
    platform::WriteField(rec.At(cnfofs::kNames), 20, " ГРС/1\\a\x01" "b ", ' ');
    rec[cnfofs::kVersion] = 14;
    const double at = RecToDateTime(DeviceDateTime{24, 3, 9, 15, 30, 12});
    EXPECT_EQ(DefaultConfigFileName(rec, at), (dir / "CONFIG" / "zbr_14-ГРС_1_a_b-2403091530.cnf").string());
}

TEST_F(ConfigFiles, HandMadeFileLoads) {
    // Laid out by hand: names in Windows-1251, the passwords transformed.
    std::string f(2645, '\0');
    f[0] = 1;
    f[2] = 'I';
    f[4] = 11;
    const std::string name = platform::Utf8ToCp1251("ГРС Південна");
    f.replace(29, name.size(), name);
    f[2437] = 2;
    const std::string pw = "Пароль-1";  // UTF-8 here; Windows-1251 in the record
    const std::string pw1251 = platform::Utf8ToCp1251(pw);
    for (int k = 0; k < 16; ++k) {
        const uint8_t plain = k < int(pw1251.size()) ? uint8_t(pw1251[k]) : ' ';
        f[447 + 20 + k] = char(((plain ^ 0xFF) + 5) & 0xFF);
    }
    zbr_test::WriteBytes(Config("hand.cnf"), f);

    drv.chooseFile(Config("hand.cnf"));
    ConfigRecord rec;
    std::string chosen;
    ASSERT_TRUE(LoadConfigFile(pod, chosen, rec));
    EXPECT_EQ(chosen, Config("hand.cnf"));
    EXPECT_EQ(rec.ControllerName(), "ГРС Південна");
    EXPECT_EQ(rec.FlowCount(), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.FlowRow(1) + 4), 16), pw1251 + std::string(16 - pw1251.size(), ' '));
    EXPECT_EQ(rec.FlowRow(0)[4], 4);  // a zero byte on disk is what a 4 is written as
    ASSERT_EQ(drv.fileDialogs().size(), 1u);
    EXPECT_FALSE(drv.fileDialogs()[0].save);
    EXPECT_EQ(drv.fileDialogs()[0].title, "Вибір файлу з параметрами конфігурації");
    EXPECT_EQ(drv.fileDialogs()[0].initialDir, (dir / "CONFIG").string());
}

TEST_F(ConfigFiles, WrongFilesAreRefusedAndTheRecordStays) {
    ConfigRecord good;
    InitNewConfigFile(good);
    const std::string bytes = EncodeConfigFile(good);
    ConfigRecord rec;
    rec.Bytes.fill(0x77);
    const ConfigRecord before = rec;

    zbr_test::WriteBytes(Config("short.cnf"), bytes.substr(0, 2644));
    drv.expectMessage(6, "Файл short.cnf не є файлом конфігурації", "контролера ЗБР_11");
    EXPECT_FALSE(ReadConfigFile(Config("short.cnf"), rec));
    zbr_test::WriteBytes(Config("long.cnf"), bytes + "x");
    drv.expectMessage(6, "Файл long.cnf не є файлом конфігурації", "контролера ЗБР_11");
    EXPECT_FALSE(ReadConfigFile(Config("long.cnf"), rec));
    std::string other = bytes;
    other[2] = 'J';
    zbr_test::WriteBytes(Config("other.cnf"), other);
    drv.expectMessage(6, "Файл other.cnf не є файлом конфігурації", "контролера ЗБР");
    EXPECT_FALSE(ReadConfigFile(Config("other.cnf"), rec));
    std::string v12 = bytes;
    v12[4] = 12;
    zbr_test::WriteBytes(Config("v12.cnf"), v12);
    drv.expectMessage(6, "Файл параметрів конфігурації v12.cnf підготовлений", "для контролера ЗБР з версією ПЗ 12");
    EXPECT_FALSE(ReadConfigFile(Config("v12.cnf"), rec));
    drv.expectMessage(1, "Помилка відкриття файлу", "");
    EXPECT_FALSE(ReadConfigFile(Config("missing.cnf"), rec));
    fs::create_directories(Config("folder.cnf"));
    drv.expectMessage(1, "Помилка відкриття файлу", "");
    EXPECT_FALSE(ReadConfigFile(Config("folder.cnf"), rec));
    // A pipe nobody writes into: refused, not waited on.
    ASSERT_EQ(::mkfifo(Config("pipe.cnf").c_str(), 0600), 0);
    drv.expectMessage(1, "Помилка відкриття файлу", "");
    EXPECT_FALSE(ReadConfigFile(Config("pipe.cnf"), rec));
    EXPECT_EQ(rec, before);

    // Version 9 is taken as 11; a file of a version-14 controller loads as it is.
    std::string v9 = bytes;
    v9[4] = 9;
    zbr_test::WriteBytes(Config("v9.cnf"), v9);
    ASSERT_TRUE(ReadConfigFile(Config("v9.cnf"), rec));
    EXPECT_EQ(rec[cnfofs::kVersion], 11);
    std::string v14 = bytes;
    v14[4] = 14;
    zbr_test::WriteBytes(Config("v14.cnf"), v14);
    ASSERT_TRUE(ReadConfigFile(Config("v14.cnf"), rec));
    EXPECT_EQ(rec[cnfofs::kVersion], 14);

    drv.cancelFileDialog();
    std::string chosen = "kept";
    EXPECT_FALSE(LoadConfigFile(pod, chosen, rec));
    EXPECT_EQ(chosen, "kept");
}

TEST_F(ConfigFiles, SaveAddsTheExtensionBeforeAskingAndNeverOverwritesUnasked) {
    ConfigRecord rec;
    InitNewConfigFile(rec);
    zbr_test::WriteBytes(Config("plant.cnf"), "old plant");
    zbr_test::WriteBytes(Config("station.cnf"), "old station");
    std::string chosen;

    // "plant" typed without extension is the existing plant.cnf: asked;
    // "Ні" brings the dialog back with that name; then station.cnf, asked
    // again and replaced.
    drv.chooseFile(Config("plant"));
    drv.expectQuestion(3, "Файл plant.cnf вже є.", "Ви бажаєте замінити існуючий файл?", false);
    drv.chooseFile(Config("station.cnf"));
    drv.expectQuestion(3, "Файл station.cnf вже є.", "Ви бажаєте замінити існуючий файл?", true);
    drv.expectMessage(6, "Параметри конфігурації", "Збережені в файлі station.cnf");
    ASSERT_TRUE(SaveConfigFile(psd, chosen, rec));
    EXPECT_EQ(chosen, Config("station.cnf"));
    EXPECT_EQ(zbr_test::ReadBytes(Config("plant.cnf")), "old plant");
    EXPECT_EQ(zbr_test::ReadBytes(Config("station.cnf")), EncodeConfigFile(rec));
    ASSERT_EQ(drv.fileDialogs().size(), 2u);
    EXPECT_EQ(drv.fileDialogs()[1].fileName, Config("plant.cnf"));

    // The proposed name itself is asked about too when it exists.
    drv.chooseFile(Config("plant.cnf"));
    drv.expectQuestion(3, "Файл plant.cnf вже є.", "Ви бажаєте замінити існуючий файл?", false);
    drv.cancelFileDialog();
    EXPECT_FALSE(SaveConfigFile(psd, chosen, rec));
    EXPECT_EQ(zbr_test::ReadBytes(Config("plant.cnf")), "old plant");

    // A new name without extension gets ".cnf".
    drv.chooseFile(Config("fresh"));
    drv.expectMessage(6, "Параметри конфігурації", "Збережені в файлі fresh.cnf");
    ASSERT_TRUE(SaveConfigFile(psd, chosen, rec));
    EXPECT_TRUE(fs::exists(Config("fresh.cnf")));
    EXPECT_FALSE(fs::exists(Config("fresh")));
}

TEST_F(ConfigFiles, FailedSavesAreReportedAndLeaveTheOldFileWhole) {
    ConfigRecord rec;
    InitNewConfigFile(rec);
    std::string chosen;

    drv.chooseFile((dir / "NOWHERE" / "x.cnf").string());
    drv.expectMessage(1, "Помилка відкриття файлу", "x.cnf");
    EXPECT_FALSE(SaveConfigFile(psd, chosen, rec));

    // The disk refuses the bytes part-way.
    zbr_test::WriteBytes(Config("old.cnf"), "old contents");
    drv.chooseFile(Config("old.cnf"));
    drv.expectQuestion(3, "Файл old.cnf вже є.", "Ви бажаєте замінити існуючий файл?", true);
    drv.expectMessage(1, "Помилка роботи з файлом", "old.cnf");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveConfigFile(psd, chosen, rec);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(zbr_test::ReadBytes(Config("old.cnf")), "old contents");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "CONFIG")) ++files;
    EXPECT_EQ(files, 1);  // no temporary file left
}

TEST_F(ConfigFiles, RecordIntoTheImageWithItsChecks) {
    ConfigRecord rec;
    InitNewConfigFile(rec);
    for (int i = 0; i < 16; ++i) std::memset(rec.FlowRow(i) + 4, 'a' + i, 16);
    std::memset(TablePtr(4), 0x11, kUsersTableBytes);

    ASSERT_TRUE(ApplyConfigRecord(rec, false));
    auto same = [&](int t, std::size_t at) {
        const std::span<uint8_t> s = TableSpan(t);
        return std::memcmp(s.data(), rec.At(at), s.size()) == 0;
    };
    for (auto [t, at] : std::initializer_list<std::pair<int, std::size_t>>{
             {3, 109}, {5, 29}, {6, 213}, {9, 2437}, {14, 325}, {15, 385}, {21, 863}, {22, 983}, {23, 1163},
             {24, 1343}, {25, 1523}, {26, 1703}, {28, 1883}, {29, 1893}, {43, 2445}, {44, 2465}, {45, 2545},
             {46, 2565}})
        EXPECT_TRUE(same(t, at)) << "table " << t;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(*RowPtr(18, i), i + 1);
        EXPECT_EQ(*RowPtr(17, i), i == 0 ? 2 : 0);
        EXPECT_EQ(std::memcmp(RowPtr(13, i), rec.FlowRow(i) + 4, 16), 0);
    }
    EXPECT_EQ(*TablePtr(4), 0x11);  // without the users check table 4 stays

    // With it: a record without a manufacturer is refused, and the image is
    // left as it was (not with the names and link that come before the check).
    InitConfigImage();
    const auto untouched = ConfigImage;
    drv.expectMessage(2, "У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика");
    EXPECT_FALSE(ApplyConfigRecord(rec, true));
    EXPECT_TRUE(ConfigImage == untouched);
    UsersTable users = LoadUsers(rec.At(cnfofs::kUsers));
    SetField(users[0].Name, 4, "ZBR");
    users[0].Level = 1;
    SetField(users[0].Code, 4, "1111");
    users[3].Spare = 9;
    StoreUsers(rec.At(cnfofs::kUsers), users);
    ASSERT_TRUE(ApplyConfigRecord(rec, true));
    EXPECT_TRUE(same(4, 1985));
    EXPECT_EQ(RowPtr(4, 3)[5], 0);  // spare bytes cleared in the record and the image

    // Device addresses; a refused record changes no table, not even those
    // copied before its check.
    ConfigRecord bad = rec;
    bad[cnfofs::kChromLink] = 0;
    *bad.At(cnfofs::kNames) = 'Q';
    bad[cnfofs::kSystem] = 77;
    const auto applied = ConfigImage;
    drv.expectMessage(2, "Невірно задана адреса хроматографа");
    EXPECT_FALSE(ApplyConfigRecord(bad, false));
    EXPECT_TRUE(ConfigImage == applied);
    bad = rec;
    bad[cnfofs::kWmtLink] = 0;
    EXPECT_TRUE(ApplyConfigRecord(bad, false));  // no moisture meter in the record
    bad[cnfofs::kWmtPresent] = 1;
    drv.expectMessage(2, "Невірно задана адреса вологоміра");
    EXPECT_FALSE(ApplyConfigRecord(bad, false));
    bad = rec;
    bad[cnfofs::kFlowLink] = 3;
    bad.FlowRow(5)[0] = 0;
    EXPECT_TRUE(ApplyConfigRecord(bad, false));  // only the computers in use count
    bad.FlowRow(2)[0] = 0;
    drv.expectMessage(2, "Невірно задані адреси обчислювачів");
    EXPECT_FALSE(ApplyConfigRecord(bad, false));
    // A count above 16 from a damaged file looks at the 16 rows there are.
    bad = rec;
    bad[cnfofs::kFlowLink] = 200;
    EXPECT_TRUE(ApplyConfigRecord(bad, false));
    bad.FlowRow(15)[0] = 0;
    drv.expectMessage(2, "Невірно задані адреси обчислювачів");
    EXPECT_FALSE(ApplyConfigRecord(bad, false));
    bad[cnfofs::kFlowPresent] = 0;
    EXPECT_TRUE(ApplyConfigRecord(bad, false));
}

TEST_F(ConfigFiles, RecordFromTheImage) {
    ConfigRecord rec;
    InitNewConfigFile(rec);
    for (std::size_t i = 0; i < kConfigImageSize; ++i) ConfigImage[i] = uint8_t(i * 7 + 3);
    FillConfigRecord(rec);
    EXPECT_EQ(rec[cnfofs::kSource], 1);
    EXPECT_EQ(std::memcmp(rec.At(1), TablePtr(0), 18), 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(rec.FlowRow(i)[0], *RowPtr(18, i));
        EXPECT_EQ(rec.FlowRow(i)[1], *RowPtr(17, i));
        EXPECT_EQ(rec.FlowRow(i)[2], *RowPtr(19, i));
        EXPECT_EQ(rec.FlowRow(i)[3], *RowPtr(20, i));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.FlowRow(i) + 4), 16), std::string(16, ' '));
    }
    // Back into the image: every table the record holds comes back as it
    // was, but the flow-computer passwords (never read, so blank).
    rec[cnfofs::kChromPresent] = rec[cnfofs::kWmtPresent] = rec[cnfofs::kFlowPresent] = 0;
    std::memcpy(TablePtr(6), rec.At(cnfofs::kSystem), 12);
    const auto withFlags = ConfigImage;
    ASSERT_TRUE(ApplyConfigRecord(rec, false));
    for (std::size_t i = 0; i < kConfigImageSize; ++i) {
        if (i >= ConfigTableDir[13].offset && i < ConfigTableDir[13].offset + 256u) {
            EXPECT_EQ(ConfigImage[i], ' ');
            continue;
        }
        EXPECT_EQ(ConfigImage[i], withFlags[i]) << "image byte " << i;
    }
}
