// "zbr.ini": defaults, a hand-made file in the stored layout (CRLF, Windows-1251), the round
// trip of every field, and which sections a write touches.
#include "common/ListFiles.h"
#include "common/Rd_wr_ini.h"
#include "platform/IniFile.h"
#include "settings/TempFolder.h"

#include <cstring>

using namespace settings_test;

namespace {

ProgramSettingsRecord Zero() {
    ProgramSettingsRecord s;
    std::memset(&s, 0, sizeof s);
    return s;
}

}  // namespace

TEST(ProgramIni, MissingFileGivesTheDefaults) {
    std::string dir = MakeTempFolder();
    ProgramSettingsRecord s = Zero();
    ReadProgramIni(dir + "/zbr.ini", s, 1920, 1080);
    EXPECT_EQ(s.Conn_Prz, 0);
    EXPECT_EQ(+s.Free_Port_Wait, 1u);
    EXPECT_FALSE(s.Do_Close_Port);
    EXPECT_EQ(+s.Form_Width, 1000);
    EXPECT_EQ(+s.Form_Height, 680);
    EXPECT_EQ(+s.Form_Left, 460);
    EXPECT_EQ(+s.Form_Top, 200);
    const LinkParams& d = s.Dir;
    EXPECT_EQ(d.COMPort, 1); EXPECT_EQ(d.Adr, 1); EXPECT_EQ(+d.Rate, 38400u); EXPECT_EQ(d.Preambles, 5);
    EXPECT_EQ(d.Repeat, 1); EXPECT_EQ(+d.TimeOut, 100u); EXPECT_EQ(+d.WaitTime, 2u);
    EXPECT_EQ(+s.Fon.Link.WaitTime, 6u);
    EXPECT_EQ(+s.Fon.Link.Rate, 38400u);
    EXPECT_EQ(+s.Fon.ConnectWaitTime, 50u);
    EXPECT_EQ(+s.Fon.Conn_Repeat, 1u);
    EXPECT_EQ(s.Fon.CommandText(), "");
    EXPECT_EQ(s.Ethr.Link.COMPort, 0);
    EXPECT_EQ(+s.Ethr.Link.Rate, 0u);
    EXPECT_EQ(+s.Ethr.Link.TimeOut, 300u);
    EXPECT_EQ(+s.Ethr.Link.WaitTime, 5u);
    EXPECT_EQ(+s.Ethr.ConnectWaitTime, 10u);
    EXPECT_EQ(+s.Ethr.Conn_Repeat, 1u);

    // A width alone: centred for that width. A screen smaller than the
    // window: the halving rounds toward zero.
    WriteBytes(dir + "/zbr.ini", "[CURR_PAR]\r\nForm_Width=800\r\n");
    ReadProgramIni(dir + "/zbr.ini", s, 1920, 1080);
    EXPECT_EQ(+s.Form_Left, 560);
    ReadProgramIni(dir + "/zbr.ini", s, 799, 1);
    EXPECT_EQ(+s.Form_Left, 0);
    EXPECT_EQ(+s.Form_Top, -339);
}

TEST(ProgramIni, FileOfTheWindowsProgramLoads) {
    std::string dir = MakeTempFolder();
    std::string longCommand(250, 'A');
    WriteBytes(dir + "/zbr.ini",
               "[CURR_PAR]\r\nConn_Prz=7\r\nFree_Port_Wait=3\r\nDo_Close_Port=1\r\nForm_Width=1200\r\n"
               "Form_Height=700\r\nForm_Left=-8\r\nForm_Top=12\r\n"
               "[DIR_CONN_PAR]\r\nCOMPort=5\r\nAdr=257\r\nRate=115200\r\nPreambles=abc\r\nRepeat=0\r\n"
               "TimeOut=150\r\nWaitTime=3\r\n"
               "[FON_CONN_PAR]\r\nCOMPort=2\r\nAdr=9\r\nRate=9600\r\nPreambles=3\r\nRepeat=2\r\nTimeOut=200\r\n"
               "WaitTime=8\r\nDefault_Command=1\r\nCommand=ATZ^AT&F\r\nConnectWaitTime=60\r\nAutoRepeat=1\r\n"
               "Conn_Repeat=3\r\n"
               "[ETHERNET_CONN_PAR]\r\nCOMPort=4\r\nAdr=17\r\nRate=1200\r\nPreambles=0\r\nRepeat=4\r\n"
               "TimeOut=500\r\nWaitTime=7\r\nConnectWaitTime=20\r\nConn_Repeat=2\r\n");
    ProgramSettingsRecord s = Zero();
    ReadProgramIni(dir + "/zbr.ini", s, 1920, 1080);
    EXPECT_EQ(s.Conn_Prz, 7);  // no range test on reading
    EXPECT_EQ(+s.Free_Port_Wait, 3u);
    EXPECT_TRUE(s.Do_Close_Port);
    EXPECT_EQ(+s.Form_Width, 1200); EXPECT_EQ(+s.Form_Height, 700);
    EXPECT_EQ(+s.Form_Left, -8); EXPECT_EQ(+s.Form_Top, 12);
    EXPECT_EQ(s.Dir.COMPort, 5);
    EXPECT_EQ(s.Dir.Adr, 1);        // low 8 bits of 257
    EXPECT_EQ(s.Dir.Preambles, 5);  // not a number: the default
    EXPECT_EQ(s.Dir.Repeat, 0);
    EXPECT_EQ(+s.Dir.Rate, 115200u);
    EXPECT_EQ(s.Fon.Link.COMPort, 2); EXPECT_EQ(s.Fon.Link.Adr, 9); EXPECT_EQ(+s.Fon.Link.WaitTime, 8u);
    EXPECT_TRUE(s.Fon.Default_Command);
    EXPECT_EQ(s.Fon.CommandText(), "ATZ^AT&F");
    EXPECT_EQ(+s.Fon.ConnectWaitTime, 60u);
    EXPECT_TRUE(s.Fon.AutoRepeat);
    EXPECT_EQ(+s.Fon.Conn_Repeat, 3u);
    EXPECT_EQ(s.Ethr.Link.COMPort, 0);  // COMPort and Rate of the Ethernet link are not kept in the file
    EXPECT_EQ(+s.Ethr.Link.Rate, 0u);
    EXPECT_EQ(s.Ethr.Link.Adr, 17); EXPECT_EQ(+s.Ethr.Link.TimeOut, 500u);
    EXPECT_EQ(+s.Ethr.ConnectWaitTime, 20u); EXPECT_EQ(+s.Ethr.Conn_Repeat, 2u);

    // A command too long for its field is cut to 199 bytes and stays terminated.
    WriteBytes(dir + "/zbr.ini", "[FON_CONN_PAR]\r\nCommand=" + longCommand + "\r\n");
    ReadProgramIni(dir + "/zbr.ini", s, 1920, 1080);
    EXPECT_EQ(s.Fon.CommandText(), longCommand.substr(0, 199));
    EXPECT_EQ(s.Fon.Command[199], '\0');
}

TEST(ProgramIni, RoundTripOfEveryField) {
    std::string dir = MakeTempFolder();
    ProgramSettingsRecord s = Zero();
    s.Conn_Prz = 2; s.Free_Port_Wait = 4000000000u; s.Do_Close_Port = true;
    s.Form_Height = 600; s.Form_Width = 900; s.Form_Left = -20; s.Form_Top = 30;
    s.Dir = {3, 200, 57600, 7, 3, 120, 4};
    s.Fon.Link = {9, 250, 19200, 2, 5, 400, 30};
    s.Fon.Default_Command = true;
    s.Fon.SetCommandText("AT&F^ATX3^AT S0=0");
    s.Fon.ConnectWaitTime = 90; s.Fon.AutoRepeat = true; s.Fon.Conn_Repeat = 4;
    s.Ethr.Link = {0, 17, 0, 1, 2, 700, 9};
    s.Ethr.ConnectWaitTime = 15; s.Ethr.Conn_Repeat = 6;

    ProgramSettingsRecord shadow = Zero();
    std::string err;
    ASSERT_TRUE(WriteProgramIni(dir + "/zbr.ini", s, shadow, &err)) << err;
    EXPECT_EQ(std::memcmp(&s, &shadow, sizeof s), 0);

    ProgramSettingsRecord back = Zero();
    ReadProgramIni(dir + "/zbr.ini", back, 1, 1);
    EXPECT_EQ(std::memcmp(&s, &back, sizeof s), 0);
    platform::IniFile ini(dir + "/zbr.ini");
    EXPECT_EQ(ini.ReadRawString("CURR_PAR", "Free_Port_Wait", ""), "-294967296");  // signed 32-bit text
    EXPECT_FALSE(ini.ValueExists("ETHERNET_CONN_PAR", "COMPort"));
    EXPECT_FALSE(ini.ValueExists("ETHERNET_CONN_PAR", "Rate"));
    EXPECT_EQ(ini.ReadSection("CURR_PAR"),
              (std::vector<std::string>{"Conn_Prz", "Free_Port_Wait", "Do_Close_Port", "Form_Width", "Form_Height",
                                        "Form_Left", "Form_Top"}));
}

TEST(ProgramIni, OnlyChangedSectionsAreWritten) {
    std::string dir = MakeTempFolder();
    std::string path = dir + "/zbr.ini";
    ProgramSettingsRecord s = Zero();
    ReadProgramIni(path, s, 1024, 768);
    ProgramSettingsRecord shadow = s;

    // Nothing changed: the file is not even created.
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    EXPECT_FALSE(Exists(path));

    // Only Conn_Prz: the seven CURR_PAR keys, nothing else.
    s.Conn_Prz = 1;
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    EXPECT_EQ(platform::IniFile(path).ReadSections(), std::vector<std::string>{"CURR_PAR"});
    EXPECT_EQ(platform::IniFile(path).ReadSection("CURR_PAR").size(), 7u);
    EXPECT_EQ(std::memcmp(&s, &shadow, sizeof s), 0);

    // A second call with nothing changed leaves the file alone.
    std::filesystem::remove(path);
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    EXPECT_FALSE(Exists(path));

    // The other lines of an existing file stay as they were.
    WriteBytes(path, "; kept\r\n[CURR_PAR]\r\nConn_Prz=1\r\nMine=x\r\n[USER]\r\nA=1\r\n");
    s.Dir.TimeOut = 250;
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind("; kept\r\n[CURR_PAR]\r\nConn_Prz=1\r\nMine=x\r\n[USER]\r\nA=1\r\n[DIR_CONN_PAR]\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("TimeOut=250\r\n"), std::string::npos);

    // A changed subscriber list is its own writer's business: zbr.ini is not
    // rewritten and the list's part of the shadow stays as it was, so the
    // list writer still sees the change (the selected subscriber included).
    std::filesystem::remove(path);
    s.Fon.Users.user_index = 3;
    s.Fon.Users.users_num = 5;
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(shadow.Fon.Users.user_index, 0);
    ASSERT_TRUE(WritePhoneSubscribers(dir + "/fon_abonents.ini", s.Fon.Users, shadow.Fon.Users));
    EXPECT_EQ(platform::IniFile(dir + "/fon_abonents.ini").ReadInteger("FON_CONN_PAR", "user_index", 0), 3);

    // Ethernet COMPort/Rate are not in the file, but their change still
    // counts for the group: the section is rewritten without them.
    s.Ethr.Link.Rate = 9600;
    ASSERT_TRUE(WriteProgramIni(path, s, shadow));
    EXPECT_EQ(+shadow.Ethr.Link.Rate, 9600u);
    EXPECT_FALSE(platform::IniFile(path).ValueExists("ETHERNET_CONN_PAR", "Rate"));
}

TEST(ProgramIni, FailedWriteIsReportedAndRetried) {
    std::string dir = MakeTempFolder();
    std::string path = dir + "/INI/zbr.ini";  // the folder is missing
    ProgramSettingsRecord s = Zero();
    ProgramSettingsRecord shadow = Zero();
    s.Conn_Prz = 2;
    s.Dir.Adr = 4;
    std::string err;
    EXPECT_FALSE(WriteProgramIni(path, s, shadow, &err));
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_EQ(shadow.Conn_Prz, 0);  // not refreshed: the next call tries again
    EXPECT_EQ(shadow.Dir.Adr, 0);

    std::filesystem::create_directory(dir + "/INI");
    ASSERT_TRUE(WriteProgramIni(path, s, shadow, &err));
    EXPECT_EQ(platform::IniFile(path).ReadInteger("DIR_CONN_PAR", "Adr", 0), 4);
    EXPECT_EQ(shadow.Dir.Adr, 4);
}
