#include "data/MessageDecoders.h"

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <span>

#include "common/Stringi.h"
#include "common/Suplfunc.h"
#include "config/LimitRanges.h"
#include "platform/Codepage.h"

namespace {

std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* fmt, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return {};
    return std::string(buf, std::size_t(n) < sizeof buf ? std::size_t(n) : sizeof buf - 1);
}

// A text of a group, or `fallback` for a code outside it.
std::string TextOr(const TextGroup& g, int code, const char* fallback) {
    const char* t = g.At(code);
    return t ? std::string(t) : std::string(fallback);
}

std::string Slot(int slot) {
    return slot >= 0 && slot < kTextTableSize ? std::string(TextTable[slot]) : std::string();
}

// The gas parameter's name with the blanks around it removed, or "" for a
// code outside 0..19.
std::string ParamName(int code) {
    std::string s = TextOr(texts::GasParamNames, code, "");
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    const std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

std::string Quoted(int code) { return "\"" + ParamName(code) + "\""; }

}  // namespace

// ===========================================================================
// Diagnostic messages

namespace {

enum class DiagGroup { T, N, State, Archive, Fault, Link, L, Flag, OwnTime, PcTime, Memory, Table, Ovg, Checksum };

DiagGroup GroupOf(int code) {
    switch (code) {
        case 1: return DiagGroup::State;
        case 2: case 3: case 6: case 7: case 8: case 9: case 81: return DiagGroup::N;
        case 4: return DiagGroup::Archive;
        case 5: return DiagGroup::Fault;
        case 10: case 11: return DiagGroup::Link;
        case 22: case 23: return DiagGroup::Flag;
        case 38: return DiagGroup::OwnTime;
        case 39: return DiagGroup::PcTime;
        case 40: case 41: return DiagGroup::Memory;
        case 42: case 43: return DiagGroup::Table;
        case 48: case 49: return DiagGroup::Ovg;
        case 59: return DiagGroup::Checksum;
        default: break;
    }
    if ((code >= 12 && code <= 17) || (code >= 44 && code <= 47) || (code >= 60 && code <= 68)) return DiagGroup::L;
    return DiagGroup::T;  // 0, 18..21, 24..37, 50..58, 69..80 and every unknown code
}

std::string TableIndex(int b8, int b9) { return Fmt("Табл. = %d  Інд. = %d", b8, b9); }

// Flag events of the moisture meter, by the meter type of the header.
std::string WmtFlagObject(uint8_t type, int b8, int b9) {
    switch (type) {
        case 0:
            return b9 < 16 ? TextOr(texts::WmtStatusBitNames, b9, "")
                           : Fmt("??? (ZEGAZ 5000. Табл. = %d  Інд. = %d)", b8, b9);
        case 1: return Fmt("??? ( ФОГ-3Г. Табл. = %d  Інд. = %d)", b8, b9);
        case 2:
            return b9 < 8 ? TextOr(texts::WmtEventNames, b9, "") : Fmt("??? (TOROS. Табл. = %d  Інд. = %d)", b8, b9);
        default: return Fmt("??? (Код волог. %d. Табл. = %d  Інд. = %d)", int(type), b8, b9);
    }
}

}  // namespace

const char* DiagnosticGroup(int code) {
    switch (GroupOf(code)) {
        case DiagGroup::T: return "T";
        case DiagGroup::N: return "N";
        case DiagGroup::State: return "state";
        case DiagGroup::Archive: return "archive";
        case DiagGroup::Fault: return "fault";
        case DiagGroup::Link: return "link";
        case DiagGroup::L: return "L";
        case DiagGroup::Flag: return "flag";
        case DiagGroup::OwnTime: return "own time";
        case DiagGroup::PcTime: return "PC time";
        case DiagGroup::Memory: return "memory";
        case DiagGroup::Table: return "table";
        case DiagGroup::Ovg: return "flow computer";
        case DiagGroup::Checksum: return "checksum";
    }
    return "T";
}

DiagnosticTexts DecodeDiagnosticRecord(const DiagnosticRecord& r, uint8_t moistureMeterType) {
    DiagnosticTexts t;
    if (!RecordCrcOk(r)) {
        t[kAlaDate] = kUnreliableDate;
        return t;
    }
    const DeviceDateTime& d = r.time;
    t[kAlaDate] = Fmt("  %02d.%02d.%02d", d.day, d.month, d.year);
    t[kAlaTime] = Fmt("  %02d:%02d:%02d", d.hour, d.minute, d.second);

    const int code = r.event, b8 = r.object, b9 = r.index;
    t[kAlaEvent] = code <= kLastDiagnosticEvent ? TextOr(texts::EventTexts, code, "") : Fmt("Код діагностики = %d", code);

    std::string& object = t[kAlaObject];
    switch (GroupOf(code)) {
        case DiagGroup::T: object = TableIndex(b8, b9); break;
        case DiagGroup::N: break;
        case DiagGroup::State:
            object = (b8 == 202 && b9 < 11) ? TextOr(texts::ChromStateNames, b9, "") : TableIndex(b8, b9);
            break;
        case DiagGroup::Archive: object = b8 <= 9 ? TextOr(texts::ArchiveNames, b8, " ?") : " ?"; break;
        case DiagGroup::Fault:
            if (b8 == 14) {
                const int err = r.value[0];
                object = (err >= 1 && err <= texts::kChromErrorLast) ? TextOr(texts::ChromErrorTexts, err, "")
                                                                     : Fmt("Код помилки = %d", err);
            } else {
                object = " ?";
            }
            break;
        case DiagGroup::Link:
            if (b8 == 33)
                object = b9 == 0 ? "Хроматограф" : b9 == 1 ? "Вологомір" : Fmt("Тaбл. = %d", b8);
            else if (b8 == 34)
                object = Fmt("Обчислювач витрати газу (Адр. = %d)", b9);
            else
                object = Fmt("Тaбл. = %d", b8);
            break;
        case DiagGroup::L:
            if (b9 < kGasParamCount) {
                object = TextOr(texts::GasParamNames, b9, "");
                t[kAlaUnit] = LimitRanges[1][b9].unit;
            } else {
                object = "  ?";
            }
            t[kAlaValue] = FormatValue(r.ValueF32());
            t[kAlaSetpoint] = FormatValue(r.SetpointF32());
            if (t[kAlaValue].empty()) t[kAlaValue] = "?";
            if (t[kAlaSetpoint].empty()) t[kAlaSetpoint] = "?";
            break;
        case DiagGroup::Flag:
            if (b8 == 200)
                object = b9 < 79 ? TextOr(texts::ChromErrorTexts, b9, "") : TableIndex(b8, b9);
            else if (b8 == 201)
                object = WmtFlagObject(moistureMeterType, b8, b9);
            else
                object = TableIndex(b8, b9);
            break;
        case DiagGroup::OwnTime: object = "Згідно часу обчислювача"; break;
        case DiagGroup::PcTime: object = "Згідно часу ЕОМ"; break;
        case DiagGroup::Memory:
            object = (b8 >= 242 && b8 <= 244) ? Slot(b8 - 76) : Fmt("Таблиця %d", b8);
            break;
        case DiagGroup::Table: object = Fmt("Таблиця %d", b8); break;
        case DiagGroup::Ovg: object = Fmt("Обчислювач ВГ. (Адр. = %d)", b9); break;
        case DiagGroup::Checksum:
            object = Fmt("Старе значення КС = %08X", unsigned(r.ValueU32()));
            t[kAlaValue] = Fmt("%08X", unsigned(r.SetpointU32()));
            break;
    }
    return t;
}

namespace {
// Where each field of a saved row lies, in column order.
struct Field {
    std::size_t offset, width;
};
constexpr Field kDiagnosticFields[DiagnosticRow::kFieldCount] = {
    {offsetof(DiagnosticRow, date), sizeof(DiagnosticRow::date)},
    {offsetof(DiagnosticRow, time), sizeof(DiagnosticRow::time)},
    {offsetof(DiagnosticRow, event), sizeof(DiagnosticRow::event)},
    {offsetof(DiagnosticRow, object), sizeof(DiagnosticRow::object)},
    {offsetof(DiagnosticRow, value), sizeof(DiagnosticRow::value)},
    {offsetof(DiagnosticRow, setpoint), sizeof(DiagnosticRow::setpoint)},
    {offsetof(DiagnosticRow, unit), sizeof(DiagnosticRow::unit)}};
constexpr Field kInterventionFields[InterventionRow::kFieldCount] = {
    {offsetof(InterventionRow, date), sizeof(InterventionRow::date)},
    {offsetof(InterventionRow, time), sizeof(InterventionRow::time)},
    {offsetof(InterventionRow, parameter), sizeof(InterventionRow::parameter)},
    {offsetof(InterventionRow, oldValue), sizeof(InterventionRow::oldValue)},
    {offsetof(InterventionRow, newValue), sizeof(InterventionRow::newValue)},
    {offsetof(InterventionRow, unit), sizeof(InterventionRow::unit)},
    {offsetof(InterventionRow, operatorName), sizeof(InterventionRow::operatorName)}};

const Field* FieldsOf(const DiagnosticRow*) { return kDiagnosticFields; }
const Field* FieldsOf(const InterventionRow*) { return kInterventionFields; }

// True for a text of ASCII characters without a zero byte: the same bytes
// in Windows-1251.
bool PlainAscii(std::string_view s) {
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0 || c >= 0x80) return false;
    }
    return true;
}

// The Windows-1251 byte of each code point below U+0800 ('?' where the code
// page has none): ASCII and the Cyrillic letters, the characters of almost
// every text of the lists.
const std::array<uint8_t, 0x800>& Cp1251Below800() {
    static const std::array<uint8_t, 0x800> table = [] {
        std::array<uint8_t, 0x800> t{};
        for (char32_t ch = 0; ch < 0x800; ++ch) {
            const int b = platform::UnicodeToByte(ch, platform::CodePage::Cp1251);
            t[ch] = b < 0 ? uint8_t('?') : uint8_t(b);
        }
        return t;
    }();
    return table;
}

// Writes a text into its zeroed field of `width` bytes as the row's Set()
// does, when the text's characters before the cut are all of one or two
// UTF-8 bytes (well formed); false, with the field left to Set(), otherwise.
bool PutShortCharacters(uint8_t* field, std::size_t width, std::string_view s) {
    const std::array<uint8_t, 0x800>& cp1251 = Cp1251Below800();
    std::size_t n = 0, i = 0;
    while (i < s.size() && n + 1 < width) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            field[n++] = c;
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF && i + 1 < s.size() && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            field[n++] = cp1251[((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu)];
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// A saved row of either list from its texts, and back.
template <class Row>
Row MakeRow(const std::array<std::string, Row::kFieldCount>& t) {
    Row row;
    const Field* fields = FieldsOf(&row);
    for (int i = 0; i < Row::kFieldCount; ++i) {
        const std::string& s = t[std::size_t(i)];
        if (s.empty()) continue;
        if (!PutShortCharacters(reinterpret_cast<uint8_t*>(&row) + fields[i].offset, fields[i].width, s))
            row.Set(i, s);  // zeroes the field first
    }
    return row;
}

template <class Row>
std::array<std::string, Row::kFieldCount> RowTexts(const Row& row) {
    std::array<std::string, Row::kFieldCount> t;
    for (int i = 0; i < Row::kFieldCount; ++i) t[std::size_t(i)] = row.Get(i);
    return t;
}

// A text as a field of `width` bytes gives it back: one Windows-1251 byte a
// character ('?' for a character the code page lacks), cut so that the
// field's last byte stays zero, read up to the first zero byte.
std::string Fitted(std::string_view utf8, std::size_t width) {
    std::string out;
    if (width == 0) return out;
    std::size_t bytes = 0;
    for (char32_t ch : platform::DecodeUtf8(utf8)) {
        if (bytes == width - 1) break;
        ++bytes;
        const int b = platform::UnicodeToByte(ch, platform::CodePage::Cp1251);
        if (b == 0) break;
        platform::AppendUtf8(out, b < 0 ? char32_t('?') : platform::ByteToUnicode(uint8_t(b), platform::CodePage::Cp1251));
    }
    return out;
}

template <class Row>
std::array<std::string, Row::kFieldCount> FitTexts(std::array<std::string, Row::kFieldCount> t) {
    const Field* fields = FieldsOf(static_cast<const Row*>(nullptr));
    for (int i = 0; i < Row::kFieldCount; ++i) {
        std::string& s = t[std::size_t(i)];
        // Texts of plain ASCII that fit need no work (dates, times, numbers).
        if (s.size() >= fields[i].width || !PlainAscii(s)) s = Fitted(s, fields[i].width);
    }
    return t;
}

// What each byte of a saved field becomes when the field is read and
// written again: itself, or '?' where it stands for no character.
const std::array<uint8_t, 256>& ResavedBytes() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const int again =
                platform::UnicodeToByte(platform::ByteToUnicode(uint8_t(b), platform::CodePage::Cp1251),
                                        platform::CodePage::Cp1251);
            t[std::size_t(b)] = again < 0 ? uint8_t('?') : uint8_t(again);
        }
        return t;
    }();
    return table;
}

template <class Row>
Row Resaved(const Row& row) {
    const std::array<uint8_t, 256>& again = ResavedBytes();
    const auto* from = reinterpret_cast<const uint8_t*>(&row);
    Row out;  // zeros
    auto* to = reinterpret_cast<uint8_t*>(&out);
    for (const Field& f : std::span(FieldsOf(&row), Row::kFieldCount)) {
        for (std::size_t k = 0; k + 1 < f.width && from[f.offset + k] != 0; ++k)
            to[f.offset + k] = again[from[f.offset + k]];
    }
    return out;
}
}  // namespace

DiagnosticRow MakeDiagnosticRow(const DiagnosticTexts& t) { return MakeRow<DiagnosticRow>(t); }

DiagnosticTexts TextsOf(const DiagnosticRow& row) { return RowTexts(row); }

DiagnosticTexts DiagnosticTextsAsSaved(DiagnosticTexts t) { return FitTexts<DiagnosticRow>(std::move(t)); }

DiagnosticRow SavedAgain(const DiagnosticRow& row) { return Resaved(row); }

// ===========================================================================
// Operator interventions

std::string TransitionDayText(uint8_t v) {
    if ((v & 0x80) == 0) return Fmt("%d", v & 0x1F);
    const bool fromEnd = (v & 0x40) != 0;
    const int n = (v & 0x07) - 1;
    const int w = ((v >> 3) & 0x07) - 1;
    if (n < 0 || n > 2 || w < 0 || w > 6) return "?";
    static const char* const kFromStart[3] = {"1", "2", "3"};
    static const char* const kFromEnd[3] = {"п", "пп", ""};
    return std::string(fromEnd ? kFromEnd[n] : kFromStart[n]) + TextOr(texts::DayNamesShort, w, "");
}

namespace {

// How the old and new values of a field read.
enum class Val {
    None,        // empty cells
    Number,      // the byte in decimal
    Pad02,       // "  %02d" of the byte
    YesNo,       // "Так" / "Ні"
    Present,     // "Є" / "Нема"
    List,        // entry of a text list, "?" past its end
    Baud,        // the rate of a baud-rate code
    Weekday,     // 1..7: long weekday name from Sunday
    Season,      // 0 summer, 1 winter
    TransDay,    // transition-day rule
    Hex0x,       // "0x %02X"
    HexSp,       // " 0x%02X"
    Hours,       // "%dг"
    Ip,          // "%02d %02d %02d %02d" of the four bytes
    U32,         // "%u"
    Name4,       // the first four characters of a name, then "..."
    Limit,       // f32 with the decimals of its limit range
    Constant,    // f32 with 4 decimals
};

struct FieldInfo {
    std::string parameter;
    Val val = Val::None;
    TextGroup list{0, 0};
    const char* unit = nullptr;  // replaces the record's unit
};

TextGroup Slots(int first, int count) { return TextGroup{first, count}; }

std::string NotListed(int t, int f) { return Fmt("Табл. %d;  Поле %d", t, f); }
std::string Reserved(int t, int f) { return Fmt("Табл.%d.  Резервне поле № %d", t, f); }

// The parameter and the value kind of (table, field). A field that is not
// listed gives "Табл. %d;  Поле %d" and no values.
FieldInfo FieldOf(int t, int f) {
    FieldInfo fi;
    fi.parameter = NotListed(t, f);
    auto set = [&](std::string p, Val v) {
        fi.parameter = std::move(p);
        fi.val = v;
    };
    auto list = [&](std::string p, TextGroup g) {
        set(std::move(p), Val::List);
        fi.list = g;
    };
    auto pick = [f](std::initializer_list<const char*> names) -> const char* {
        return f >= 0 && std::size_t(f) < names.size() ? names.begin()[f] : nullptr;
    };
    const TextGroup modbus = texts::ModbusModeNames;
    const TextGroup parity = Slots(texts::ParityNames.first, 3);
    switch (t) {
        case 2:
            if (f <= 5)
                set(pick({"Дата, год", "Дата, месяц", "Дата, день", "Дата, час", "Дата, минута", "Дата, секунда"}),
                    Val::Pad02);
            else if (f == 6)
                set("Дата, день тижня", Val::Weekday);
            else if (f == 7)
                set("Тип часу", Val::Season);
            break;
        case 3:
            if (f == 0) set("Адреса контролера", Val::Number);
            else if (f == 1) set("Швидкість обміну с ВР", Val::Baud), fi.unit = "біт/с";
            else if (f == 2) set("Кільк. преамбул у відповіді ВР", Val::Number);
            else if (f == 3) set(Reserved(t, f), Val::None);
            break;
        case 4: set("Параметри доступу користувача", Val::None); break;
        case 5:
            if (f <= 2)
                set(pick({"Найменування контролера", "Наймен. нитки 1 хроматографа", "Наймен. нитки 2 хроматографа"}),
                    Val::Name4);
            break;
        case 6:
            switch (f) {
                case 0: list("Місяць переходу на літній час", texts::MonthNames); break;
                case 3: list("Місяць переходу на зимовий час", texts::MonthNames); break;
                case 1: set("День переходу на літній час", Val::TransDay); break;
                case 4: set("День переходу на зимовий час", Val::TransDay); break;
                case 2: set("Час переходу на літній час", Val::Number); break;
                case 5: set("Час переходу на зимовий час", Val::Number); break;
                case 6: set("Контрактова година", Val::Number); break;
                case 7: set("Наявність підключеного хроматографа", Val::Present); break;
                case 8: set("Наявність підключеного вологоміра", Val::Present); break;
                case 9: set("Наявність підключених ОВГ", Val::Present); break;
                case 10: set("Синхронізувати час контр. з ОВГ", Val::YesNo); break;
                case 11: set("Синхронізувати час контр. з ЕОМ", Val::YesNo); break;
                default: break;
            }
            break;
        case 9:
            switch (f) {
                case 0: set("Кількість підключених ОВГ", Val::Number); break;
                case 1: set("Швидкість обміну з ОВГ", Val::Baud), fi.unit = "біт/с"; break;
                case 2: set("Кількість невдалих опитувань ОВГ", Val::Number); break;
                case 3: set("Таймаут очікування відповіді від ОВГ", Val::Number); break;
                case 4: set("Кільк. преамбул в запиті до обчислювача ВГ", Val::Number); break;
                case 5: list("Режим запису параметрів газу в ОВГ", Slots(texts::kOvgWriteModes, 4)); break;
                default: break;
            }
            break;
        case 13:
            set(f < 16 ? Fmt("Пароль на запис в ОВГ %d", f + 1) : std::string("Пароль на запис в ОВГ № ?"), Val::None);
            break;
        case 14:
            switch (f) {
                case 0: set("Адреса хроматографа", Val::Number); break;
                case 1: set("Швидкість обміну з хроматографом", Val::Baud), fi.unit = "біт/с"; break;
                case 2: list("Режим обміну MODBUS з хроматографом", modbus); break;
                case 3: list("Тип парності хроматографа", parity); break;
                case 4: set("Таймаут очікування відповіді від хроматографа", Val::Number); break;
                case 5: set("Кількл. невдалих опитувань хроматографа", Val::Number); break;
                case 6: list("Тип хроматографа", texts::ChromTypeNames); break;
                case 7: set("Задіяні ознаки  хроматографа", Val::Hex0x); break;
                case 8: set("Синхронізувати час хром. з ОВГ", Val::YesNo); break;
                case 9: set("синхронізувати час хром. з ЕОМ", Val::YesNo); break;
                case 10: set("Індекс ОВГ для читання Тг в нитку 1 хром.", Val::Number); break;
                case 11: set("Номер нитки ОВГ для читання Тг в нитку 1 хром.", Val::Number); break;
                case 12: set("Індекс ОВГ для читання Тг в нитку 2 хром.", Val::Number); break;
                case 13: set("Номер нитки ВРГ для читання Тг в нитку 2 хром.", Val::Number); break;
                default: break;
            }
            break;
        case 15:
            switch (f) {
                case 0: set("Адреса вологоміра", Val::Number); break;
                case 1: set("Швидкість обміну з вологоміром", Val::Baud), fi.unit = "бит/с"; break;
                case 2: list("Режим обміну MODBUS з вологоміром", modbus); break;
                case 3: list("Тип парності вологоміра", parity); break;
                case 4: set("Таймаут очікування відповіді від вологоміра", Val::Number); break;
                case 5: set("Кільк. невдалих опитувань вологоміра", Val::Number); break;
                case 6: list("Тип вологоміра", texts::WmtTypeNames); break;
                case 7: set(Reserved(t, f), Val::None); break;
                default: break;
            }
            break;
        case 17: list(f < 16 ? Fmt("Тип ОВГ %d", f + 1) : std::string("Тип ОВГ  № ?"), texts::OvgTypeNames); break;
        case 18:
            set(f < 16 ? Fmt("Адреса підключеного ОВГ %d", f + 1) : std::string("Адреса підключеного ОВГ № ?"),
                Val::Number);
            break;
        case 19:
            set(f < 16 ? Fmt("Необхідність запису парам. газу для т/п ОВГ %d", f + 1)
                       : Fmt("Необхідність запису парам. газу для т/п ОВГ ? (%d)", f + 1),
                Val::HexSp);
            break;
        case 20:
            list(f < 16 ? Fmt("Порядок байтів багатоб. змінної ОВГ %d", f + 1)
                        : std::string("Порядок байтів багатоб. змінної ОВГ № ?"),
                 Slots(texts::kByteOrders, 2));
            break;
        case 21:
            list(f < kGasParamCount ? "НЗ  " + Quoted(f) : std::string("НЗ   ?"), texts::AvgSendModeNames);
            break;
        case 22: case 23: case 24: case 25: case 26: {
            static const char* const kPrefix[5] = {"ЗН", "НПУ", "ВПУ", "НМЗ", "ВМЗ"};
            const std::string prefix = kPrefix[t - kFirstLimitTable];
            set(f < kGasParamCount ? prefix + "  " + Quoted(f) : prefix + "   ?", Val::Limit);
            break;
        }
        case 28:
            if (f == 0) set("Період розсилки параметрів газу в ОВГ", Val::Hours);
            else if (f == 1) set(Reserved(t, f), Val::None);
            break;
        case 29:
            if (f <= 2) set(pick({"IP адреса", "Маска підмережі", "Шлюз за умовчуванням"}), Val::Ip);
            else if (f <= 6) set(pick({"", "", "", "Порт ОВГ 1", "Порт ОВГ 2", "Порт ЗБР 1", "Порт ЗБР 2"}), Val::U32);
            break;
        case 43: case 45:
            if (f < kGasParamCount)
                list((t == 43 ? "На константі. Нитка 1. " : "На константі. Нитка 2. ") + Quoted(f),
                     Slots(texts::kNo, 2));
            break;
        case 44: case 46:
            if (f < kGasParamCount)
                set((t == 44 ? "Константа. Нитка 1. " : "Константа. Нитка 2. ") + Quoted(f), Val::Constant);
            break;
        default: break;  // 0, 1, 7, 8, 10, 11, 12, 16, 27, 30..42, above 46
    }
    return fi;
}

// A single-precision value in fixed notation; "?" for NaN and infinities.
std::string FixedText(float v, int decimals) {
    if (IsFloatNanInf(v)) return "?";
    return FloatToStrFixed(v, 10, decimals);
}

std::string ValueText(const FieldInfo& fi, int t, int f, const uint8_t* p, bool namesIn866) {
    const uint8_t b = p[0];
    switch (fi.val) {
        case Val::None: return {};
        case Val::Number: return Fmt("%d", b);
        case Val::Pad02: return Fmt("  %02d", b);
        case Val::YesNo: return Slot(b ? texts::kYes : texts::kNo);
        case Val::Present: return Slot(b ? texts::kPresent : texts::kAbsent);
        case Val::List: return TextOr(fi.list, b, "?");
        case Val::Baud: {
            const uint32_t rate = CodeToBaud(b);
            return rate ? Fmt("%u", unsigned(rate)) : std::string("?");
        }
        case Val::Weekday: return b >= 1 && b <= 7 ? TextOr(texts::DayNames, b - 1, "?") : std::string("?");
        case Val::Season: return TextOr(texts::SeasonNames, b, "?");
        case Val::TransDay: return TransitionDayText(b);
        case Val::Hex0x: return Fmt("0x %02X", b);
        case Val::HexSp: return Fmt(" 0x%02X", b);
        case Val::Hours: return Fmt("%dг", b);
        case Val::Ip: return Fmt("%02d %02d %02d %02d", p[0], p[1], p[2], p[3]);
        case Val::U32: return Fmt("%u", unsigned(GetU32(p)));
        case Val::Name4: {
            // The record's own bytes stay as they are: the name is read from
            // a copy, in the code page the controller keeps its names in.
            std::size_t n = 0;
            while (n < 4 && p[n] != 0) ++n;
            const std::string_view bytes(reinterpret_cast<const char*>(p), n);
            std::string s = namesIn866 ? platform::Cp866ToUtf8(bytes) : platform::Cp1251ToUtf8(bytes);
            if (n == 4) s += "...";  // a zero byte ends the name early, and with it the text
            return s;
        }
        case Val::Limit: {
            const LimitRange* lr = LimitRangeOf(t - kFirstLimitTable, f);
            return FixedText(GetF32(p), lr ? lr->decimals : 4);
        }
        case Val::Constant: return FixedText(GetF32(p), 4);
    }
    return {};
}

}  // namespace

InterventionTexts DecodeInterventionRecord(const InterventionRecord& r, bool namesIn866) {
    InterventionTexts x;
    if (!RecordCrcOk(r)) {
        x[kAudDate] = kUnreliableDate;
        return x;
    }
    const DeviceDateTime& d = r.time;
    x[kAudDate] = Fmt("    %02d.%02d.%02d", d.day, d.month, d.year);
    x[kAudTime] = Fmt("    %02d:%02d:%02d", d.hour, d.minute, d.second);

    std::size_t n = 0;
    while (n < 4 && r.operatorName[n] != 0) ++n;
    x[kAudOperator] = platform::Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(r.operatorName), n));

    x[kAudUnit] = TextOr(texts::UnitNames, r.unit, "?");

    const int t = r.table, f = r.field;
    const FieldInfo fi = FieldOf(t, f);
    x[kAudParameter] = fi.parameter;
    if (fi.unit) x[kAudUnit] = fi.unit;
    x[kAudOld] = ValueText(fi, t, f, r.oldValue, namesIn866);
    x[kAudNew] = ValueText(fi, t, f, r.newValue, namesIn866);
    return x;
}

InterventionRow MakeInterventionRow(const InterventionTexts& t) { return MakeRow<InterventionRow>(t); }

InterventionTexts TextsOf(const InterventionRow& row) { return RowTexts(row); }

InterventionTexts InterventionTextsAsSaved(InterventionTexts t) { return FitTexts<InterventionRow>(std::move(t)); }

InterventionRow SavedAgain(const InterventionRow& row) { return Resaved(row); }
