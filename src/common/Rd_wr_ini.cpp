#include "common/Rd_wr_ini.h"

#include "platform/IniFile.h"

#include <cstddef>
#include <cstring>
#include <vector>

ProgramSettingsRecord ProgramSettings{};
ProgramSettingsRecord SettingsShadow{};

LinkParams& CurrentLinkParams(ProgramSettingsRecord& s) {
    switch (s.Conn_Prz) {
    case 1: return s.Fon.Link;
    case 2: return s.Ethr.Link;
    default: return s.Dir;
    }
}

namespace {

constexpr const char* kCurr = "CURR_PAR";
constexpr const char* kDir = "DIR_CONN_PAR";
constexpr const char* kFon = "FON_CONN_PAR";
constexpr const char* kEthr = "ETHERNET_CONN_PAR";

// A run of bytes of the record.
struct Range {
    std::size_t off, len;
};

constexpr std::size_t kDirOff = offsetof(ProgramSettingsRecord, Dir);
constexpr std::size_t kFonOff = offsetof(ProgramSettingsRecord, Fon);
constexpr std::size_t kEthrOff = offsetof(ProgramSettingsRecord, Ethr);
constexpr std::size_t kEnd = sizeof(ProgramSettingsRecord);
constexpr std::size_t kFonUsers = kFonOff + offsetof(PhoneConnParams, Users);
constexpr std::size_t kEthrUsers = kEthrOff + offsetof(EthernetConnParams, Users);

// The bytes of each group that "zbr.ini" speaks for: the whole group except
// the subscriber list inside it (the list files keep the lists and their
// writers keep the lists' part of the shadow).
struct Group {
    const char* section;
    std::vector<Range> ranges;
};

const std::vector<Group>& Groups() {
    static const std::vector<Group> groups = {
        {kCurr, {{0, kDirOff}}},
        {kDir, {{kDirOff, kFonOff - kDirOff}}},
        {kFon,
         {{kFonOff, kFonUsers - kFonOff},
          {kFonUsers + sizeof(PhoneSubscriberList), kEthrOff - kFonUsers - sizeof(PhoneSubscriberList)}}},
        {kEthr,
         {{kEthrOff, kEthrUsers - kEthrOff},
          {kEthrUsers + sizeof(EthernetSubscriberList), kEnd - kEthrUsers - sizeof(EthernetSubscriberList)}}},
    };
    return groups;
}

bool Differs(const Group& g, const ProgramSettingsRecord& a, const ProgramSettingsRecord& b) {
    auto pa = reinterpret_cast<const unsigned char*>(&a);
    auto pb = reinterpret_cast<const unsigned char*>(&b);
    for (const Range& r : g.ranges)
        if (std::memcmp(pa + r.off, pb + r.off, r.len) != 0) return true;
    return false;
}

void CopyGroup(const Group& g, const ProgramSettingsRecord& from, ProgramSettingsRecord& to) {
    auto pf = reinterpret_cast<const unsigned char*>(&from);
    auto pt = reinterpret_cast<unsigned char*>(&to);
    for (const Range& r : g.ranges) std::memcpy(pt + r.off, pf + r.off, r.len);
}

uint8_t Low8(int32_t v) { return static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFFu); }

// The keys of one link's parameters; the Ethernet section has no COMPort and no Rate.
void ReadLink(const platform::IniFile& ini, const char* sec, LinkParams& p, bool withPortAndRate,
              int32_t timeOutDef, int32_t waitTimeDef) {
    if (withPortAndRate) p.COMPort = Low8(ini.ReadInteger(sec, "COMPort", 1));
    p.Adr = Low8(ini.ReadInteger(sec, "Adr", 1));
    if (withPortAndRate) p.Rate = static_cast<uint32_t>(ini.ReadInteger(sec, "Rate", 38400));
    p.Preambles = Low8(ini.ReadInteger(sec, "Preambles", 5));
    p.Repeat = Low8(ini.ReadInteger(sec, "Repeat", 1));
    p.TimeOut = static_cast<uint32_t>(ini.ReadInteger(sec, "TimeOut", timeOutDef));
    p.WaitTime = static_cast<uint32_t>(ini.ReadInteger(sec, "WaitTime", waitTimeDef));
}

void WriteLink(platform::IniFile& ini, const char* sec, const LinkParams& p, bool withPortAndRate) {
    if (withPortAndRate) ini.WriteInteger(sec, "COMPort", p.COMPort);
    ini.WriteInteger(sec, "Adr", p.Adr);
    if (withPortAndRate) ini.WriteInteger(sec, "Rate", static_cast<int32_t>(p.Rate));
    ini.WriteInteger(sec, "Preambles", p.Preambles);
    ini.WriteInteger(sec, "Repeat", p.Repeat);
    ini.WriteInteger(sec, "TimeOut", static_cast<int32_t>(p.TimeOut));
    ini.WriteInteger(sec, "WaitTime", static_cast<int32_t>(p.WaitTime));
}

void WriteGroup(platform::IniFile& ini, std::size_t group, const ProgramSettingsRecord& s) {
    switch (group) {
    case 0:
        ini.WriteInteger(kCurr, "Conn_Prz", s.Conn_Prz);
        ini.WriteInteger(kCurr, "Free_Port_Wait", static_cast<int32_t>(s.Free_Port_Wait));
        ini.WriteBool(kCurr, "Do_Close_Port", s.Do_Close_Port);
        ini.WriteInteger(kCurr, "Form_Width", s.Form_Width);
        ini.WriteInteger(kCurr, "Form_Height", s.Form_Height);
        ini.WriteInteger(kCurr, "Form_Left", s.Form_Left);
        ini.WriteInteger(kCurr, "Form_Top", s.Form_Top);
        break;
    case 1:
        WriteLink(ini, kDir, s.Dir, true);
        break;
    case 2:
        WriteLink(ini, kFon, s.Fon.Link, true);
        ini.WriteBool(kFon, "Default_Command", s.Fon.Default_Command);
        ini.WriteRawString(kFon, "Command", FieldBytes(s.Fon.Command, sizeof s.Fon.Command));
        ini.WriteInteger(kFon, "ConnectWaitTime", static_cast<int32_t>(s.Fon.ConnectWaitTime));
        ini.WriteBool(kFon, "AutoRepeat", s.Fon.AutoRepeat);
        ini.WriteInteger(kFon, "Conn_Repeat", static_cast<int32_t>(s.Fon.Conn_Repeat));
        break;
    case 3:
        WriteLink(ini, kEthr, s.Ethr.Link, false);
        ini.WriteInteger(kEthr, "ConnectWaitTime", static_cast<int32_t>(s.Ethr.ConnectWaitTime));
        ini.WriteInteger(kEthr, "Conn_Repeat", static_cast<int32_t>(s.Ethr.Conn_Repeat));
        break;
    }
}

}  // namespace

void ReadProgramIni(const std::string& path, ProgramSettingsRecord& s, int screenWidth, int screenHeight) {
    platform::IniFile ini(path);

    s.Conn_Prz = Low8(ini.ReadInteger(kCurr, "Conn_Prz", 0));
    s.Free_Port_Wait = static_cast<uint32_t>(ini.ReadInteger(kCurr, "Free_Port_Wait", 1));
    s.Do_Close_Port = ini.ReadBool(kCurr, "Do_Close_Port", false);
    s.Form_Width = ini.ReadInteger(kCurr, "Form_Width", 1000);
    s.Form_Height = ini.ReadInteger(kCurr, "Form_Height", 680);
    // Centred on the screen for the size just read (halving rounds toward zero).
    s.Form_Left = ini.ReadInteger(kCurr, "Form_Left",
                                  static_cast<int32_t>((static_cast<int64_t>(screenWidth) - s.Form_Width) / 2));
    s.Form_Top = ini.ReadInteger(kCurr, "Form_Top",
                                 static_cast<int32_t>((static_cast<int64_t>(screenHeight) - s.Form_Height) / 2));

    ReadLink(ini, kDir, s.Dir, true, 100, 2);

    ReadLink(ini, kFon, s.Fon.Link, true, 100, 6);
    s.Fon.Default_Command = ini.ReadBool(kFon, "Default_Command", false);
    // A longer value than the field holds (hand-edited) is cut to 199 bytes.
    BytesToField(s.Fon.Command, sizeof s.Fon.Command, ini.ReadRawString(kFon, "Command", ""));
    s.Fon.ConnectWaitTime = static_cast<uint32_t>(ini.ReadInteger(kFon, "ConnectWaitTime", 50));
    s.Fon.AutoRepeat = ini.ReadBool(kFon, "AutoRepeat", false);
    s.Fon.Conn_Repeat = static_cast<uint32_t>(ini.ReadInteger(kFon, "Conn_Repeat", 1));

    ReadLink(ini, kEthr, s.Ethr.Link, false, 300, 5);
    s.Ethr.ConnectWaitTime = static_cast<uint32_t>(ini.ReadInteger(kEthr, "ConnectWaitTime", 10));
    s.Ethr.Conn_Repeat = static_cast<uint32_t>(ini.ReadInteger(kEthr, "Conn_Repeat", 1));
}

void ReadProgramIni(const std::string& path, int screenWidth, int screenHeight) {
    ReadProgramIni(path, ProgramSettings, screenWidth, screenHeight);
}

bool WriteProgramIni(const std::string& path, const ProgramSettingsRecord& s, ProgramSettingsRecord& shadow,
                     std::string* error) {
    const std::vector<Group>& groups = Groups();
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (Differs(groups[i], s, shadow)) changed.push_back(i);
    if (changed.empty()) return true;  // the file is not opened

    platform::IniFile ini(path);
    for (std::size_t i : changed) WriteGroup(ini, i, s);
    if (!ini.UpdateFile()) {
        if (error) *error = ini.Error();
        return false;
    }
    for (std::size_t i : changed) CopyGroup(groups[i], s, shadow);
    return true;
}

bool WriteProgramIni(const std::string& path, std::string* error) {
    return WriteProgramIni(path, ProgramSettings, SettingsShadow, error);
}
