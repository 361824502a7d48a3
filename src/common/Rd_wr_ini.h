// The program settings record and its file "zbr.ini".
//
// Everything that outlives a run (link type, the three sets of link
// parameters, the modem settings, the connection waits, the main window's
// place and size, and the two subscriber lists) lives in one packed record,
// ProgramSettings. Its scalar part is kept in "zbr.ini", in four sections
// that match the four groups of the record; the subscriber lists have files
// of their own (ListFiles.h). SettingsShadow holds what the files are known
// to contain, so that writing touches only what changed.
#pragma once
#include "common/ListRecords.h"

#include <cstdint>
#include <string>

#pragma pack(push, 1)

// Parameters of one link.
struct LinkParams {
    uint8_t COMPort;     // COM port number (1 = COM1)
    uint8_t Adr;         // controller address used in requests (1..255)
    uint32_t Rate;       // baud rate
    uint8_t Preambles;   // 0xFF bytes sent ahead of each request frame
    uint8_t Repeat;      // attempts per exchange
    uint32_t TimeOut;    // longest gap between two reply bytes, ms
    uint32_t WaitTime;   // wait for the start of the reply, s
};

// Group FON_CONN_PAR: the telephone (modem) link.
struct PhoneConnParams {
    LinkParams Link;
    PhoneSubscriberList Users;
    bool Default_Command;      // kept in the file and carried
    char Command[200];         // modem initialisation, commands separated by '^'; NUL-terminated
    uint32_t ConnectWaitTime;  // seconds to wait for the modem connection
    bool AutoRepeat;           // kept in the file and carried
    uint32_t Conn_Repeat;      // dialling attempts

    std::string CommandText() const { return FieldToUtf8(Command, sizeof Command); }
    void SetCommandText(std::string_view utf8) { Utf8ToField(Command, sizeof Command, utf8); }
};

// Group ETHERNET_CONN_PAR: the TCP link. Link.COMPort and Link.Rate are not
// kept in the file.
struct EthernetConnParams {
    LinkParams Link;
    EthernetSubscriberList Users;
    uint32_t ConnectWaitTime;  // seconds to keep retrying the TCP connect
    uint32_t Conn_Repeat;      // connection attempts
};

struct ProgramSettingsRecord {
    // Group CURR_PAR
    uint8_t Conn_Prz;         // link type: 0 direct COM port, 1 telephone modem, 2 Ethernet
    uint32_t Free_Port_Wait;  // seconds to keep trying to open a busy COM port
    bool Do_Close_Port;       // direct link: open/close the port around each exchange
    int32_t Form_Height;      // main window (note: height before width here, width first in the file)
    int32_t Form_Width;
    int32_t Form_Left;
    int32_t Form_Top;
    // Group DIR_CONN_PAR
    LinkParams Dir;
    // Group FON_CONN_PAR
    PhoneConnParams Fon;
    // Group ETHERNET_CONN_PAR
    EthernetConnParams Ethr;
};

#pragma pack(pop)

static_assert(sizeof(LinkParams) == 16);
static_assert(sizeof(bool) == 1);
static_assert(sizeof(ProgramSettingsRecord) == 22 + 16 + (16 + sizeof(PhoneSubscriberList) + 1 + 200 + 4 + 1 + 4) +
                                                   (16 + sizeof(EthernetSubscriberList) + 4 + 4));

// The settings of the run and what the files are known to hold. Both start
// zero; ReadProgramIni and the list readers fill ProgramSettings at start-up,
// after which the whole record is copied into SettingsShadow.
extern ProgramSettingsRecord ProgramSettings;
extern ProgramSettingsRecord SettingsShadow;

// The link parameters of the link type in use (Conn_Prz 1 telephone,
// 2 Ethernet, anything else the direct link).
LinkParams& CurrentLinkParams(ProgramSettingsRecord& s);

// Reads every key of "zbr.ini" (path: its full name) into `s`, each missing
// or non-numeric value taking its default. The window's default place is the
// middle of a screen of the given size. The subscriber lists are left alone.
void ReadProgramIni(const std::string& path, ProgramSettingsRecord& s, int screenWidth, int screenHeight);
void ReadProgramIni(const std::string& path, int screenWidth, int screenHeight);  // into ProgramSettings

// Writes the sections of "zbr.ini" whose groups differ from the shadow (the
// subscriber lists inside the groups are not looked at: their own writers
// keep them) and refreshes those bytes of the shadow. The file is read and
// written at most once; when nothing changed it is not touched. On a failed
// write returns false, puts a text naming the file into *error and leaves
// the shadow as it was, so the next call tries again.
bool WriteProgramIni(const std::string& path, const ProgramSettingsRecord& s, ProgramSettingsRecord& shadow,
                     std::string* error = nullptr);
bool WriteProgramIni(const std::string& path, std::string* error = nullptr);  // ProgramSettings, SettingsShadow
