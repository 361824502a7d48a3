// The ini-file class on real files: reading rules, edits that keep the rest
// of the file, line ends, code page, atomic writes and reported failures.
#include "platform/IniFile.h"
#include "settings/TempFolder.h"

#include <sys/stat.h>

using platform::IniFile;
using namespace settings_test;

namespace {

// A file in the stored layout: CRLF, Windows-1251 ("Газ" below).
const std::string kWindowsFile =
    "; settings\r\n"
    "[Main]\r\n"
    "Count=12\r\n"
    "  Spaced Key  =   value with spaces   \r\n"
    "count=99\r\n"
    "Negative=-2147483648\r\n"
    "Hex=0x1F\r\n"
    "Dollar=$FFFFFFFF\r\n"
    "Bad=12abc\r\n"
    "Empty=\r\n"
    "Huge=2147483648\r\n"
    "Quoted=\"  padded  \"\r\n"
    "Name=\xc3\xe0\xe7\r\n"
    "NoEquals line\r\n"
    "\r\n"
    "[Other]\r\n"
    "Flag=1\r\n"
    "Off=0\r\n"
    "[MAIN]\r\n"
    "Count=7\r\n"
    "Late=5\r\n";

}  // namespace

TEST(IniFileRead, RulesOfTheClassicProfileFile) {
    std::string dir = MakeTempFolder();
    WriteBytes(dir + "/a.ini", kWindowsFile);
    IniFile ini(dir + "/a.ini");
    ASSERT_TRUE(ini.Exists());
    ASSERT_FALSE(ini.LoadFailed());

    // Case-blind names; the first section and the first key of a name count.
    EXPECT_EQ(ini.ReadInteger("main", "COUNT", 0), 12);
    EXPECT_EQ(ini.ReadInteger("Main", "Late", -1), -1);
    EXPECT_TRUE(ini.SectionExists("mAiN"));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Main", "Other"}));

    EXPECT_EQ(ini.ReadRawString("Main", "spaced key", ""), "value with spaces");
    EXPECT_EQ(ini.ReadRawString("Main", "Quoted", ""), "  padded  ");
    EXPECT_EQ(ini.ReadInteger("Main", "Negative", 0), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("Main", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Main", "Dollar", 0), -1);
    // Not a number, empty, out of range, missing: the default.
    EXPECT_EQ(ini.ReadInteger("Main", "Bad", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Main", "Empty", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Main", "Huge", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Main", "Missing", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Nowhere", "Count", 4), 4);
    EXPECT_EQ(ini.ReadRawString("Main", "Empty", "def"), "");
    EXPECT_EQ(ini.ReadRawString("Main", "Missing", "def"), "def");
    EXPECT_TRUE(ini.ReadBool("Other", "Flag", false));
    EXPECT_FALSE(ini.ReadBool("Other", "Off", true));
    EXPECT_TRUE(ini.ReadBool("Other", "Missing", true));

    EXPECT_EQ(ini.ReadString("Main", "Name", ""), "Газ");
    EXPECT_EQ(ini.ReadRawString("Main", "Name", ""), "\xc3\xe0\xe7");
}

TEST(IniFileWrite, EditsKeepEveryOtherLine) {
    std::string dir = MakeTempFolder();
    std::string path = dir + "/a.ini";
    WriteBytes(path, kWindowsFile);
    IniFile ini(path);
    ini.WriteInteger("MAIN", "count", -5);           // first occurrence, in place, key spelling kept
    ini.WriteString("main", "Name", "Єдність");      // UTF-8 in, Windows-1251 in the file
    ini.WriteInteger("Main", "NewKey", 3);           // after the last line of its section
    ini.WriteBool("Other", "Off", true);
    ini.WriteString("Added", "Text", " lead");       // new section at the end; spaces kept by quoting
    ini.WriteRawString("Added", "Quoted", "\"q\"");
    ASSERT_TRUE(ini.UpdateFile()) << ini.Error();

    std::string expected = kWindowsFile;
    auto replace = [&](const std::string& from, const std::string& to) {
        auto at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("Count=12\r\n", "Count=-5\r\n");
    replace("Name=\xc3\xe0\xe7\r\n", "Name=\xaa\xe4\xed\xb3\xf1\xf2\xfc\r\n");
    replace("NoEquals line\r\n", "NoEquals line\r\nNewKey=3\r\n");
    replace("Off=0\r\n", "Off=1\r\n");
    expected += "[Added]\r\nText=\" lead\"\r\nQuoted=\"\"q\"\"\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(FileCount(dir), 1);  // no temporary file left behind

    IniFile again(path);
    EXPECT_EQ(again.ReadString("Added", "Text", ""), " lead");
    EXPECT_EQ(again.ReadRawString("Added", "Quoted", ""), "\"q\"");
    EXPECT_EQ(again.ReadString("Main", "Name", ""), "Єдність");
    EXPECT_EQ(again.ReadInteger("MAIN", "Count", 0), -5);
}

TEST(IniFileWrite, LineEndsAndWhenTheFileIsWritten) {
    std::string dir = MakeTempFolder();
    WriteBytes(dir + "/lf.ini", "[S]\nA=1\n\n[T]\nB=2");
    {
        IniFile ini(dir + "/lf.ini");
        ini.WriteInteger("S", "C", 3);
        ini.WriteInteger("T", "B", 4);
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadBytes(dir + "/lf.ini"), "[S]\nA=1\nC=3\n\n[T]\nB=4\n");

    IniFile fresh(dir + "/new.ini");
    EXPECT_FALSE(fresh.Exists());
    fresh.WriteRawString("S", "K", "v");
    fresh.WriteRawString("S", "K", "w");  // edits in memory; one write for all of them
    ASSERT_TRUE(fresh.UpdateFile());
    EXPECT_EQ(ReadBytes(dir + "/new.ini"), "[S]\r\nK=w\r\n");

    // Nothing changed (or the same value written again): the file is not touched.
    std::filesystem::remove(dir + "/new.ini");
    fresh.WriteRawString("s", "k", "w");
    EXPECT_FALSE(fresh.Modified());
    EXPECT_TRUE(fresh.UpdateFile());
    EXPECT_FALSE(Exists(dir + "/new.ini"));

    IniFile del(dir + "/lf.ini");
    del.DeleteKey("S", "A");
    del.EraseSection("t");
    ASSERT_TRUE(del.UpdateFile());
    EXPECT_EQ(ReadBytes(dir + "/lf.ini"), "[S]\nC=3\n\n");
}

TEST(IniFileWrite, FailuresAreReportedAndKeepTheOldFile) {
    std::string dir = MakeTempFolder();

    // Folder missing.
    IniFile nofolder(dir + "/NO_SUCH/x.ini");
    nofolder.WriteInteger("S", "K", 1);
    EXPECT_FALSE(nofolder.UpdateFile());
    EXPECT_NE(nofolder.Error().find(dir + "/NO_SUCH/x.ini"), std::string::npos) << nofolder.Error();
    EXPECT_TRUE(nofolder.Modified());

    // A file that exists but cannot be read is never replaced.
    std::filesystem::create_directory(dir + "/isdir.ini");
    IniFile unreadable(dir + "/isdir.ini");
    EXPECT_TRUE(unreadable.LoadFailed());
    unreadable.WriteInteger("S", "K", 1);
    EXPECT_FALSE(unreadable.UpdateFile());
    EXPECT_NE(unreadable.Error().find("isdir.ini"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/isdir.ini"));
}

TEST(IniFileWrite, ReadOnlyFolderIsReported) {
    // The permission does not bind the superuser.
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder is writable";
    std::string dir = MakeTempFolder();
    std::string ro = dir + "/ro";
    std::filesystem::create_directory(ro);
    WriteBytes(ro + "/a.ini", "[S]\r\nK=1\r\n");
    ::chmod(ro.c_str(), 0555);
    IniFile ini(ro + "/a.ini");
    ini.WriteInteger("S", "K", 2);
    bool ok = ini.UpdateFile();
    ::chmod(ro.c_str(), 0755);
    EXPECT_FALSE(ok);
    EXPECT_NE(ini.Error().find(ro + "/a.ini"), std::string::npos) << ini.Error();
    EXPECT_EQ(ReadBytes(ro + "/a.ini"), "[S]\r\nK=1\r\n");
    EXPECT_EQ(FileCount(ro), 1);
}
