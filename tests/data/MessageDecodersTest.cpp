// The decoders of diagnostic messages and operator interventions: one record
// per decoder group with its exact texts, the limits of every text table,
// unknown codes, records whose CRC fails, and the text rows of saved lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "common/Stringi.h"
#include "common/Suplfunc.h"
#include "config/LimitRanges.h"
#include "data/MessageDecoders.h"
#include "platform/Codepage.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

DiagnosticRecord Diag(uint8_t code, uint8_t b8 = 0, uint8_t b9 = 0) {
    DiagnosticRecord r;
    r.time = {24, 3, 5, 7, 8, 9};
    r.event = code;
    r.object = b8;
    r.index = b9;
    SealRecord(r);
    return r;
}

DiagnosticRecord DiagValues(uint8_t code, uint8_t b9, float value, float setpoint) {
    DiagnosticRecord r = Diag(code, 0, b9);
    PutF32(r.value, value);
    PutF32(r.setpoint, setpoint);
    SealRecord(r);
    return r;
}

// Event, object, value, set point and unit of a decoded record.
struct DiagCells {
    DiagCells(std::string e, std::string o = {}, std::string v = {}, std::string s = {}, std::string u = {})
        : event(std::move(e)), object(std::move(o)), value(std::move(v)), setpoint(std::move(s)), unit(std::move(u)) {}
    std::string event, object, value, setpoint, unit;
};

DiagCells Cells(const DiagnosticTexts& t) {
    return DiagCells(t[kAlaEvent], t[kAlaObject], t[kAlaValue], t[kAlaSetpoint], t[kAlaUnit]);
}

void ExpectCells(const DiagnosticRecord& r, uint8_t wmtType, const DiagCells& want, const std::string& what) {
    const DiagCells got = Cells(DecodeDiagnosticRecord(r, wmtType));
    EXPECT_EQ(got.event, want.event) << what;
    EXPECT_EQ(got.object, want.object) << what;
    EXPECT_EQ(got.value, want.value) << what;
    EXPECT_EQ(got.setpoint, want.setpoint) << what;
    EXPECT_EQ(got.unit, want.unit) << what;
}

// Bytes of the UTF-8 text in Windows-1251.
std::size_t Cp1251Size(const std::string& s) { return platform::Utf8ToCp1251(s).size(); }

}  // namespace

// ---- diagnostic messages ---------------------------------------------------

TEST(DiagnosticDecoder, DateTimeAndEveryEventText) {
    const DiagnosticTexts t = DecodeDiagnosticRecord(Diag(3), 0);
    EXPECT_EQ(t[kAlaDate], "  05.03.24");
    EXPECT_EQ(t[kAlaTime], "  07:08:09");
    for (int code = 0; code <= 81; ++code)
        EXPECT_EQ(DecodeDiagnosticRecord(Diag(uint8_t(code)), 0)[kAlaEvent], TextTable[345 + code]) << code;
    EXPECT_EQ(DecodeDiagnosticRecord(Diag(0), 0)[kAlaEvent], "");
    EXPECT_EQ(DecodeDiagnosticRecord(Diag(22), 0)[kAlaEvent], "Значення стало \"true\"");
    EXPECT_EQ(DecodeDiagnosticRecord(Diag(81), 0)[kAlaEvent], "Немає даних для розсилки");
}

TEST(DiagnosticDecoder, EveryCodeInItsGroup) {
    std::map<std::string, std::set<int>> want = {
        {"state", {1}},
        {"N", {2, 3, 6, 7, 8, 9, 81}},
        {"archive", {4}},
        {"fault", {5}},
        {"link", {10, 11}},
        {"flag", {22, 23}},
        {"own time", {38}},
        {"PC time", {39}},
        {"memory", {40, 41}},
        {"table", {42, 43}},
        {"flow computer", {48, 49}},
        {"checksum", {59}},
    };
    for (int c : {12, 13, 14, 15, 16, 17, 44, 45, 46, 47}) want["L"].insert(c);
    for (int c = 60; c <= 68; ++c) want["L"].insert(c);
    for (int c = 0; c <= 255; ++c) {
        bool listed = false;
        for (auto& [g, codes] : want)
            if (g != "T" && codes.count(c)) listed = true;
        if (!listed) want["T"].insert(c);
    }
    for (auto& [group, codes] : want)
        for (int c : codes) EXPECT_EQ(DiagnosticGroup(c), group) << c;
}

// One record of every group, with its exact cells.
TEST(DiagnosticDecoder, OneRecordPerGroup) {
    struct Case {
        const char* what;
        DiagnosticRecord r;
        uint8_t wmtType;
        DiagCells want;
    };
    DiagnosticRecord fault = Diag(5, 14);
    fault.value[0] = 5;
    SealRecord(fault);
    DiagnosticRecord faultUnknown = Diag(5, 14);
    faultUnknown.value[0] = 79;
    SealRecord(faultUnknown);
    DiagnosticRecord faultZero = Diag(5, 14);
    DiagnosticRecord checksum = Diag(59);
    PutU32(checksum.value, 0x1234ABCDu);
    PutU32(checksum.setpoint, 0x00BEEF01u);
    SealRecord(checksum);

    const std::string fault5 = "Збій у роботі хроматографа";
    const std::string link10 = "Зник зв'язок";
    const std::string flag22 = "Значення стало \"true\"";
    const std::vector<Case> cases = {
        {"T, no event text", Diag(0, 5, 3), 0, {"", "Табл. = 5  Інд. = 3"}},
        {"T", Diag(30, 16, 2), 0, {"Команда \"Відкрити\" від ЕОМ пар.1", "Табл. = 16  Інд. = 2"}},
        {"T, unknown code", Diag(82, 41, 0), 0, {"Код діагностики = 82", "Табл. = 41  Інд. = 0"}},
        {"T, code 255", Diag(255, 255, 255), 0, {"Код діагностики = 255", "Табл. = 255  Інд. = 255"}},
        {"N", Diag(2, 7, 7), 0, {"Знято напругу живлення"}},
        {"state", Diag(1, 202, 4), 0, {"Стан хроматографа", "Ready"}},
        {"state 10", Diag(1, 202, 10), 0, {"Стан хроматографа", "Cleaning"}},
        {"state past the names", Diag(1, 202, 11), 0, {"Стан хроматографа", "Табл. = 202  Інд. = 11"}},
        {"state, other object", Diag(1, 200, 4), 0, {"Стан хроматографа", "Табл. = 200  Інд. = 4"}},
        {"archive", Diag(4, 1), 0, {"Реініціалізація", "Архів втручань"}},
        {"archive 9", Diag(4, 9), 0, {"Реініціалізація", "Діап. вр. на стор. арх. якості калібр. хромат."}},
        {"archive unknown", Diag(4, 10), 0, {"Реініціалізація", " ?"}},
        {"fault", fault, 0, {fault5, "TCD calibrating"}},
        {"fault code past the texts", faultUnknown, 0, {fault5, "Код помилки = 79"}},
        {"fault code 0", faultZero, 0, {fault5, "Код помилки = 0"}},
        {"fault, other device", Diag(5, 13), 0, {fault5, " ?"}},
        {"link chromatograph", Diag(10, 33, 0), 0, {link10, "Хроматограф"}},
        {"link moisture meter", Diag(11, 33, 1), 0, {"З'явився зв'язок", "Вологомір"}},
        {"link, other device", Diag(10, 33, 2), 0, {link10, "Тaбл. = 33"}},
        {"link flow computer", Diag(10, 34, 3), 0, {link10, "Обчислювач витрати газу (Адр. = 3)"}},
        {"link, other table", Diag(10, 20, 0), 0, {link10, "Тaбл. = 20"}},
        {"L", DiagValues(14, 8, 89.5f, 90.0f), 0,
         {"Значення стало нижче нижньої ПУ", "Молярна частка метану", "89,500", "90,000", "%"}},
        {"L, MJ", DiagValues(60, 11, 34.9f, 35.0f), 0,
         {"Значення стало нижче нижньої АУ 2", "Теплота згоряння вища", "34,900", "35,000", "МДж/м3"}},
        {"L, no unit", DiagValues(45, 14, 0.99812f, 0.998f), 0,
         {"Значення стало вищим за НДП", "Фактор стисливості", "0,9981", "0,9980", ""}},
        {"L, gas temperature", DiagValues(68, 16, 62.5f, 62.0f), 0,
         {"Значення стало вище верхньої межі вимір.", "Температура газу", "62,500", "62,000", "°С"}},
        {"L, unknown parameter", DiagValues(12, 20, 1.5f, -2.0f), 0,
         {"Значення стало нижче нижньої АУ", "  ?", "1,5000", "-2,0000", ""}},
        {"L, NaN", DiagValues(13, 0, kNaN, 0.0f), 0,
         {"Значення стало вище нижньої АУ", "Сумарна МЧ гексану та б.т.с.", "NAN", "0", "%"}},
        {"flag chromatograph", Diag(22, 200, 6), 0, {flag22, "Too low pressure"}},
        {"flag chromatograph 78", Diag(22, 200, 78), 0, {flag22, "Read channel controller EDS error"}},
        {"flag chromatograph past", Diag(23, 200, 79), 0, {"Значення стало \"false\"", "Табл. = 200  Інд. = 79"}},
        {"flag meter type 0", Diag(22, 201, 3), 0, {flag22, "Біт 3. WDP too high"}},
        {"flag meter type 0, bit 15", Diag(22, 201, 15), 0, {flag22, "Бт 15. Reserved"}},
        {"flag meter type 0 past", Diag(22, 201, 16), 0, {flag22, "??? (ZEGAZ 5000. Табл. = 201  Інд. = 16)"}},
        {"flag meter type 1", Diag(22, 201, 3), 1, {flag22, "??? ( ФОГ-3Г. Табл. = 201  Інд. = 3)"}},
        {"flag meter type 2", Diag(22, 201, 3), 2, {flag22, "Помилка датчика тиску"}},
        {"flag meter type 2, event 7", Diag(22, 201, 7), 2, {flag22, "Змінений годинник"}},
        {"flag meter type 2 past", Diag(22, 201, 8), 2, {flag22, "??? (TOROS. Табл. = 201  Інд. = 8)"}},
        {"flag meter type 5", Diag(22, 201, 3), 5, {flag22, "??? (Код волог. 5. Табл. = 201  Інд. = 3)"}},
        {"flag, other object", Diag(22, 16, 2), 0, {flag22, "Табл. = 16  Інд. = 2"}},
        {"own time", Diag(38, 1, 1), 0, {"Скориговано час у хроматографі", "Згідно часу обчислювача"}},
        {"PC time", Diag(39), 0, {"Скориговано час у хроматографі", "Згідно часу ЕОМ"}},
        {"memory 242", Diag(40, 242), 0, {"Не пройшов запис в EEPROM", "Попередній рік"}},
        {"memory 243", Diag(41, 243), 0, {"Не пройшов запис у FRAM", "Базовий рік"}},
        {"memory 244", Diag(41, 244), 0, {"Не пройшов запис у FRAM", "Тип часу"}},
        {"memory, table", Diag(40, 22), 0, {"Не пройшов запис в EEPROM", "Таблиця 22"}},
        {"memory 245", Diag(40, 245), 0, {"Не пройшов запис в EEPROM", "Таблиця 245"}},
        {"table", Diag(42, 23, 9), 0, {"Таблиця зруйнована", "Таблиця 23"}},
        {"flow computer", Diag(49, 0, 2), 0, {"Параметри газу записані у ВРГ", "Обчислювач ВГ. (Адр. = 2)"}},
        {"checksum", checksum, 0,
         {"Змінилася контрольна сума прошивки", "Старе значення КС = 1234ABCD", "00BEEF01"}},
    };
    for (const Case& c : cases) ExpectCells(c.r, c.wmtType, c.want, c.what);
}

TEST(DiagnosticDecoder, TheSameRecordUnderEachMoistureMeterType) {
    const DiagnosticRecord r = Diag(23, 201, 2);
    EXPECT_EQ(DecodeDiagnosticRecord(r, 0)[kAlaObject], "Біт 2. HCDP too high");
    EXPECT_EQ(DecodeDiagnosticRecord(r, 1)[kAlaObject], "??? ( ФОГ-3Г. Табл. = 201  Інд. = 2)");
    EXPECT_EQ(DecodeDiagnosticRecord(r, 2)[kAlaObject], "Помилка читання");
}

TEST(DiagnosticDecoder, RecordWhoseCrcFailsShowsOnlyItsMark) {
    DiagnosticRecord r = DiagValues(14, 8, 89.5f, 90.0f);
    r.crc[0] ^= 0x40;
    const DiagnosticTexts t = DecodeDiagnosticRecord(r, 0);
    EXPECT_EQ(t[kAlaDate], "   ***");
    for (int i = 1; i < DiagnosticRow::kFieldCount; ++i) EXPECT_EQ(t[std::size_t(i)], "") << i;
    const DiagnosticRow row = MakeDiagnosticRow(t);
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&row);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b), 6), "   ***");
    for (std::size_t i = 6; i < sizeof row; ++i) ASSERT_EQ(b[i], 0) << i;
}

// Any byte values: every text fits its field with its terminator, in
// Windows-1251, and nothing is read from outside a text table.
TEST(DiagnosticDecoder, EveryTextFitsItsField) {
    const std::size_t widths[7] = {20, 20, 100, 100, 20, 20, 20};
    const uint8_t indexes[] = {0, 1, 2, 7, 8, 10, 11, 15, 16, 19, 20, 78, 79, 80, 200, 255};
    const float values[] = {0.0f, 1e-9f, -123456.78f, 3.4e38f, kNaN, std::numeric_limits<float>::infinity()};
    std::vector<int> objects;  // the tables, the device codes and what lies around them
    for (int b8 = 0; b8 < 256; ++b8)
        if (b8 <= 50 || (b8 >= 196 && b8 <= 206) || b8 >= 238) objects.push_back(b8);
    for (int code = 0; code < 256; ++code)
        for (int b8 : objects)
            for (uint8_t b9 : indexes) {
                DiagnosticRecord r = Diag(uint8_t(code), uint8_t(b8), b9);
                const float v = values[(code + b8) % 6];
                PutF32(r.value, v);
                r.value[0] = uint8_t(b8 ^ code);
                PutF32(r.setpoint, values[(b8 + b9) % 6]);
                SealRecord(r);
                const DiagnosticTexts t = DecodeDiagnosticRecord(r, uint8_t(b8 % 4 == 3 ? 200 : b8 % 4));
                for (int i = 0; i < 7; ++i)
                    ASSERT_LT(Cp1251Size(t[std::size_t(i)]), widths[i]) << code << " " << b8 << " " << int(b9);
            }
}

// ---- operator interventions ------------------------------------------------

namespace {

InterventionRecord Aud(uint8_t table, uint8_t field, uint8_t unit = 0, uint8_t oldByte = 0, uint8_t newByte = 0) {
    InterventionRecord r;
    r.time = {24, 11, 30, 23, 59, 1};
    r.table = table;
    r.field = field;
    r.unit = unit;
    r.oldValue[0] = oldByte;
    r.newValue[0] = newByte;
    std::memcpy(r.operatorName, "ADM1", 4);
    SealRecord(r);
    return r;
}

InterventionRecord AudF32(uint8_t table, uint8_t field, float oldV, float newV) {
    InterventionRecord r = Aud(table, field, 5);
    PutF32(r.oldValue, oldV);
    PutF32(r.newValue, newV);
    SealRecord(r);
    return r;
}

InterventionRecord AudU32(uint8_t table, uint8_t field, uint32_t oldV, uint32_t newV) {
    InterventionRecord r = Aud(table, field);
    PutU32(r.oldValue, oldV);
    PutU32(r.newValue, newV);
    SealRecord(r);
    return r;
}

InterventionRecord AudBytes(uint8_t table, uint8_t field, std::array<uint8_t, 4> o, std::array<uint8_t, 4> n) {
    InterventionRecord r = Aud(table, field);
    std::memcpy(r.oldValue, o.data(), 4);
    std::memcpy(r.newValue, n.data(), 4);
    SealRecord(r);
    return r;
}

struct AudCells {
    AudCells(std::string p, std::string o, std::string n, std::string u = {})
        : parameter(std::move(p)), oldText(std::move(o)), newText(std::move(n)), unit(std::move(u)) {}
    std::string parameter, oldText, newText, unit;
};

void ExpectAud(const InterventionRecord& r, const AudCells& want, bool cp866 = true) {
    const InterventionTexts t = DecodeInterventionRecord(r, cp866);
    const std::string what = std::to_string(r.table) + "/" + std::to_string(r.field);
    EXPECT_EQ(t[kAudParameter], want.parameter) << what;
    EXPECT_EQ(t[kAudOld], want.oldText) << what;
    EXPECT_EQ(t[kAudNew], want.newText) << what;
    EXPECT_EQ(t[kAudUnit], want.unit) << what;
    EXPECT_EQ(t[kAudOperator], "ADM1") << what;
}

}  // namespace

TEST(InterventionDecoder, DateTimeOperatorAndUnit) {
    InterventionRecord r = Aud(3, 0, 36, 1, 5);
    const InterventionTexts t = DecodeInterventionRecord(r, true);
    EXPECT_EQ(t[kAudDate], "    30.11.24");
    EXPECT_EQ(t[kAudTime], "    23:59:01");
    EXPECT_EQ(t[kAudUnit], "°C/(кгс/см2)");
    EXPECT_EQ(t[kAudOperator], "ADM1");
    r.unit = 37;
    std::memcpy(r.operatorName, "AB\0D", 4);
    SealRecord(r);
    EXPECT_EQ(DecodeInterventionRecord(r, true)[kAudUnit], "?");
    EXPECT_EQ(DecodeInterventionRecord(r, true)[kAudOperator], "AB");  // a zero byte ends the name
    r.unit = 0;
    std::memcpy(r.operatorName, "\xCE\xEF\xE5\xF0", 4);  // "Опер" in Windows-1251
    SealRecord(r);
    EXPECT_EQ(DecodeInterventionRecord(r, true)[kAudUnit], "");
    EXPECT_EQ(DecodeInterventionRecord(r, true)[kAudOperator], "Опер");
}

TEST(InterventionDecoder, EveryTableAndField) {
    struct Case {
        InterventionRecord r;
        AudCells want;
    };
    const std::vector<Case> cases = {
        // clock
        {Aud(2, 0, 0, 24, 5), {"Дата, год", "  24", "  05"}},
        {Aud(2, 1, 0, 3, 4), {"Дата, месяц", "  03", "  04"}},
        {Aud(2, 2), {"Дата, день", "  00", "  00"}},
        {Aud(2, 3, 0, 23, 0), {"Дата, час", "  23", "  00"}},
        {Aud(2, 4, 0, 59, 0), {"Дата, минута", "  59", "  00"}},
        {Aud(2, 5, 0, 1, 255), {"Дата, секунда", "  01", "  255"}},
        {Aud(2, 6, 0, 1, 7), {"Дата, день тижня", "Неділя", "Субота"}},
        {Aud(2, 6, 0, 0, 8), {"Дата, день тижня", "?", "?"}},
        {Aud(2, 7, 0, 0, 1), {"Тип часу", "Літній", "Зимовий"}},
        {Aud(2, 7, 0, 2, 255), {"Тип часу", "?", "?"}},
        {Aud(2, 8, 5, 1, 2), {"Табл. 2;  Поле 8", "", "", "%"}},
        {Aud(2, 9, 0, 1, 2), {"Табл. 2;  Поле 9", "", ""}},
        // upper-level link
        {Aud(3, 0, 0, 1, 5), {"Адреса контролера", "1", "5"}},
        {Aud(3, 1, 0, 11, 21), {"Швидкість обміну с ВР", "9600", "230400", "біт/с"}},
        {Aud(3, 1, 2, 0, 22), {"Швидкість обміну с ВР", "300", "?", "біт/с"}},
        {Aud(3, 2, 0, 2, 3), {"Кільк. преамбул у відповіді ВР", "2", "3"}},
        {Aud(3, 3, 0, 0, 1), {"Табл.3.  Резервне поле № 3", "", ""}},
        {Aud(3, 4, 0, 0, 1), {"Табл. 3;  Поле 4", "", ""}},
        {Aud(4, 7, 0, 1, 2), {"Параметри доступу користувача", "", ""}},
        {Aud(5, 3, 0, 1, 2), {"Табл. 5;  Поле 3", "", ""}},
        // system parameters
        {Aud(6, 0, 0, 3, 0), {"Місяць переходу на літній час", "Березень", "Перехід заборонено"}},
        {Aud(6, 3, 0, 12, 13), {"Місяць переходу на зимовий час", "Грудень", "?"}},
        {Aud(6, 1, 0, 0x89, 0xF9), {"День переходу на літній час", "1Нд", "пСб"}},
        {Aud(6, 4, 0, 0x1F, 0x80), {"День переходу на зимовий час", "31", "?"}},
        {Aud(6, 2, 0, 3, 2), {"Час переходу на літній час", "3", "2"}},
        {Aud(6, 5, 0, 4, 3), {"Час переходу на зимовий час", "4", "3"}},
        {Aud(6, 6, 0, 7, 10), {"Контрактова година", "7", "10"}},
        {Aud(6, 7, 0, 1, 0), {"Наявність підключеного хроматографа", "Є", "Нема"}},
        {Aud(6, 8, 0, 0, 2), {"Наявність підключеного вологоміра", "Нема", "Є"}},
        {Aud(6, 9, 0, 1, 0), {"Наявність підключених ОВГ", "Є", "Нема"}},
        {Aud(6, 10, 0, 0, 1), {"Синхронізувати час контр. з ОВГ", "Ні", "Так"}},
        {Aud(6, 11, 0, 9, 0), {"Синхронізувати час контр. з ЕОМ", "Так", "Ні"}},
        {Aud(6, 12, 0, 9, 0), {"Табл. 6;  Поле 12", "", ""}},
        // flow-computer link
        {Aud(9, 0, 0, 2, 3), {"Кількість підключених ОВГ", "2", "3"}},
        {Aud(9, 1, 0, 15, 20), {"Швидкість обміну з ОВГ", "19200", "115200", "біт/с"}},
        {Aud(9, 2, 0, 3, 5), {"Кількість невдалих опитувань ОВГ", "3", "5"}},
        {Aud(9, 3, 15, 10, 15), {"Таймаут очікування відповіді від ОВГ", "10", "15", "c"}},
        {Aud(9, 4, 0, 2, 4), {"Кільк. преамбул в запиті до обчислювача ВГ", "2", "4"}},
        {Aud(9, 5, 0, 3, 4), {"Режим запису параметрів газу в ОВГ", "За добу (безусл.)", "?"}},
        {Aud(9, 5, 0, 0, 1), {"Режим запису параметрів газу в ОВГ", "Не записувати", "На початку часу (умов.)"}},
        {Aud(13, 0), {"Пароль на запис в ОВГ 1", "", ""}},
        {Aud(13, 15), {"Пароль на запис в ОВГ 16", "", ""}},
        {Aud(13, 16), {"Пароль на запис в ОВГ № ?", "", ""}},
        // chromatograph link
        {Aud(14, 0, 0, 1, 2), {"Адреса хроматографа", "1", "2"}},
        {Aud(14, 1, 0, 11, 18), {"Швидкість обміну з хроматографом", "9600", "38400", "біт/с"}},
        {Aud(14, 2, 0, 0, 1), {"Режим обміну MODBUS з хроматографом", " ASCII", " RTU"}},
        {Aud(14, 2, 0, 2, 0), {"Режим обміну MODBUS з хроматографом", "?", " ASCII"}},
        {Aud(14, 3, 0, 2, 3), {"Тип парності хроматографа", "парний", "?"}},
        {Aud(14, 4, 0, 10, 12), {"Таймаут очікування відповіді від хроматографа", "10", "12"}},
        {Aud(14, 5, 0, 3, 5), {"Кількл. невдалих опитувань хроматографа", "3", "5"}},
        {Aud(14, 6, 0, 3, 7), {"Тип хроматографа", "Orvix7200", "?"}},
        {Aud(14, 6, 0, 6, 0), {"Тип хроматографа", "Emerson-700", "HGC 303 (HMU)"}},
        {Aud(14, 7, 0, 0x00, 0xA4), {"Задіяні ознаки  хроматографа", "0x 00", "0x A4"}},
        {Aud(14, 8, 0, 0, 1), {"Синхронізувати час хром. з ОВГ", "Ні", "Так"}},
        {Aud(14, 9, 0, 1, 0), {"синхронізувати час хром. з ЕОМ", "Так", "Ні"}},
        {Aud(14, 10, 0, 0, 1), {"Індекс ОВГ для читання Тг в нитку 1 хром.", "0", "1"}},
        {Aud(14, 11, 0, 1, 2), {"Номер нитки ОВГ для читання Тг в нитку 1 хром.", "1", "2"}},
        {Aud(14, 12, 0, 1, 0), {"Індекс ОВГ для читання Тг в нитку 2 хром.", "1", "0"}},
        {Aud(14, 13, 0, 1, 2), {"Номер нитки ВРГ для читання Тг в нитку 2 хром.", "1", "2"}},
        {Aud(14, 14, 0, 1, 2), {"Табл. 14;  Поле 14", "", ""}},
        // moisture-meter link
        {Aud(15, 0, 0, 1, 3), {"Адреса вологоміра", "1", "3"}},
        {Aud(15, 1, 8, 11, 15), {"Швидкість обміну з вологоміром", "9600", "19200", "бит/с"}},
        {Aud(15, 2, 0, 1, 0), {"Режим обміну MODBUS з вологоміром", " RTU", " ASCII"}},
        {Aud(15, 3, 0, 0, 1), {"Тип парності вологоміра", "Відсутності", "Непарний"}},
        {Aud(15, 4, 15, 5, 8), {"Таймаут очікування відповіді від вологоміра", "5", "8", "c"}},
        {Aud(15, 5, 0, 3, 4), {"Кільк. невдалих опитувань вологоміра", "3", "4"}},
        {Aud(15, 6, 0, 2, 3), {"Тип вологоміра", "TOPOC", "?"}},
        {Aud(15, 7, 0, 0, 1), {"Табл.15.  Резервне поле № 7", "", ""}},
        // flow computers by row
        {Aud(17, 1, 0, 1, 4), {"Тип ОВГ 2", "МЕРІДОН, ТК-5Н", "?"}},
        {Aud(17, 16, 0, 3, 0), {"Тип ОВГ  № ?", "КН-7", "ВЕКТРОН"}},
        {Aud(18, 0, 0, 1, 2), {"Адреса підключеного ОВГ 1", "1", "2"}},
        {Aud(18, 16, 0, 1, 2), {"Адреса підключеного ОВГ № ?", "1", "2"}},
        {Aud(19, 2, 0, 0x0F, 0x01), {"Необхідність запису парам. газу для т/п ОВГ 3", " 0x0F", " 0x01"}},
        {Aud(19, 16, 0, 0, 0xFF), {"Необхідність запису парам. газу для т/п ОВГ ? (17)", " 0x00", " 0xFF"}},
        {Aud(20, 0, 0, 0, 1), {"Порядок байтів багатоб. змінної ОВГ 1", "Мол. адр. -- ст. байт", "Мол. адр. -- мол. байт"}},
        {Aud(20, 16, 0, 2, 1), {"Порядок байтів багатоб. змінної ОВГ № ?", "?", "Мол. адр. -- мол. байт"}},
        // gas parameters
        {Aud(21, 8, 0, 0, 1), {"НЗ  \"Молярна частка метану\"", "Не розсилати", "Сер. за ост. годину"}},
        {Aud(21, 20, 0, 2, 3), {"НЗ   ?", "Сер. за ост. добу", "?"}},
        {AudF32(22, 8, 5.0f, 0.05f), {"ЗН  \"Молярна частка метану\"", "5,0000", "0,0500", "%"}},
        {AudF32(23, 8, 95.0f, 94.5f), {"НПУ  \"Молярна частка метану\"", "95,000", "94,500", "%"}},
        {AudF32(24, 11, 45.0f, 44.6f), {"ВПУ  \"Теплота згоряння вища\"", "45", "45", "%"}},
        {AudF32(25, 16, 54.0f, 54.26f), {"НМЗ  \"Температура газу\"", "54,0", "54,3", "%"}},
        {AudF32(26, 4, 1.2f, 0.0001f), {"ВМЗ  \"Молярна частка неопентану\"", "1,200", "0,000", "%"}},
        {AudF32(23, 20, 1.23456f, kNaN), {"НПУ   ?", "1,2346", "?", "%"}},
        {AudF32(22, 255, -1.0f, std::numeric_limits<float>::infinity()), {"ЗН   ?", "-1,0000", "?", "%"}},
        {Aud(28, 0, 0, 1, 24), {"Період розсилки параметрів газу в ОВГ", "1г", "24г"}},
        {Aud(28, 1, 0, 0, 1), {"Табл.28.  Резервне поле № 1", "", ""}},
        // Ethernet
        {AudBytes(29, 0, {192, 168, 1, 10}, {10, 0, 0, 5}), {"IP адреса", "192 168 01 10", "10 00 00 05"}},
        {AudBytes(29, 1, {255, 255, 255, 0}, {255, 255, 0, 0}), {"Маска підмережі", "255 255 255 00", "255 255 00 00"}},
        {AudBytes(29, 2, {192, 168, 1, 1}, {192, 168, 1, 254}), {"Шлюз за умовчуванням", "192 168 01 01", "192 168 01 254"}},
        {AudU32(29, 3, 5020, 5021), {"Порт ОВГ 1", "5020", "5021"}},
        {AudU32(29, 4, 0, 4294967295u), {"Порт ОВГ 2", "0", "4294967295"}},
        {AudU32(29, 5, 502, 503), {"Порт ЗБР 1", "502", "503"}},
        {AudU32(29, 6, 1, 2), {"Порт ЗБР 2", "1", "2"}},
        {AudU32(29, 7, 1, 2), {"Табл. 29;  Поле 7", "", ""}},
        // constants
        {Aud(43, 8, 0, 0, 1), {"На константі. Нитка 1. \"Молярна частка метану\"", "Ні", "Так"}},
        {Aud(45, 0, 0, 1, 2), {"На константі. Нитка 2. \"Сумарна МЧ гексану та б.т.с.\"", "Так", "?"}},
        {Aud(43, 20, 0, 0, 1), {"Табл. 43;  Поле 20", "", ""}},
        {AudF32(44, 12, 0.7312f, 0.73f), {"Константа. Нитка 1. \"Абсолютна густина\"", "0,7312", "0,7300", "%"}},
        {AudF32(46, 19, 0.6f, kNaN), {"Константа. Нитка 2. \"Відносна густина\"", "0,6000", "?", "%"}},
        {AudF32(46, 20, 0.6f, 0.7f), {"Табл. 46;  Поле 20", "", "", "%"}},
    };
    for (const Case& c : cases) ExpectAud(c.r, c.want);
}

TEST(InterventionDecoder, TablesWithoutNamesGiveTableAndField) {
    for (int t : {0, 1, 7, 8, 10, 11, 12, 16, 27, 30, 31, 35, 36, 40, 41, 42, 47, 100, 255})
        for (int f : {0, 1, 5, 200}) {
            const InterventionTexts x = DecodeInterventionRecord(Aud(uint8_t(t), uint8_t(f), 1, 3, 4), true);
            EXPECT_EQ(x[kAudParameter], "Табл. " + std::to_string(t) + ";  Поле " + std::to_string(f));
            EXPECT_EQ(x[kAudOld], "");
            EXPECT_EQ(x[kAudNew], "");
            EXPECT_EQ(x[kAudUnit], "МПа");
            EXPECT_EQ(x[kAudOperator], "ADM1");
        }
}

TEST(InterventionDecoder, TransitionDays) {
    EXPECT_EQ(TransitionDayText(0x89), "1Нд");   // from the start, first, Sunday
    EXPECT_EQ(TransitionDayText(0x92), "2Пн");   // second Monday
    EXPECT_EQ(TransitionDayText(0xB3), "3Пт");   // third Friday
    EXPECT_EQ(TransitionDayText(0xF9), "пСб");   // from the end, last, Saturday
    EXPECT_EQ(TransitionDayText(0xCA), "ппНд");  // from the end, last but one, Sunday
    EXPECT_EQ(TransitionDayText(0xC3 | 0x08), "Нд");  // from the end, third: an empty mark
    EXPECT_EQ(TransitionDayText(0x1F), "31");
    EXPECT_EQ(TransitionDayText(0x7F), "31");    // bit 7 clear: day of the month in bits 0..4
    EXPECT_EQ(TransitionDayText(0x00), "0");
    EXPECT_EQ(TransitionDayText(0x80), "?");     // no ordinal, no weekday
    EXPECT_EQ(TransitionDayText(0x8C), "?");     // ordinal 4
    EXPECT_EQ(TransitionDayText(0x81), "?");     // no weekday
}

// The names of table 5 are read from a copy: the record keeps its bytes, and
// a record decoded twice reads the same both times.
TEST(InterventionDecoder, ControllerNameIsConvertedOnACopy) {
    InterventionRecord r = Aud(5, 1);
    const std::string n866 = platform::Utf8ToCp866("Нитка 1");
    const std::string n1251 = platform::Utf8ToCp1251("Лінія А");
    std::memcpy(r.oldValue, n866.data(), 4);
    std::memcpy(r.newValue, platform::Utf8ToCp866("Лінія А").data(), 4);
    SealRecord(r);
    const InterventionRecord before = r;
    const InterventionTexts first = DecodeInterventionRecord(r, true);
    EXPECT_EQ(first[kAudParameter], "Наймен. нитки 1 хроматографа");
    EXPECT_EQ(first[kAudOld], "Нитк...");
    // Code page 866 keeps the Ukrainian i as a Latin one.
    EXPECT_EQ(first[kAudNew], platform::Cp866ToUtf8(platform::Utf8ToCp866("Лінія А").substr(0, 4)) + "...");
    EXPECT_EQ(first[kAudNew].substr(0, 2), "Л");
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
    EXPECT_EQ(DecodeInterventionRecord(r, true), first);

    // Names kept in Windows-1251 are read as they are.
    std::memcpy(r.oldValue, n1251.data(), 4);
    std::memcpy(r.newValue, "AB\0\0", 4);
    SealRecord(r);
    const InterventionTexts w = DecodeInterventionRecord(r, false);
    EXPECT_EQ(w[kAudOld], platform::Cp1251ToUtf8(n1251.substr(0, 4)) + "...");
    EXPECT_EQ(w[kAudOld].substr(0, 6), "Лін");
    EXPECT_EQ(w[kAudNew], "AB");  // a zero byte ends the name
    EXPECT_EQ(DecodeInterventionRecord(Aud(5, 0), true)[kAudParameter], "Найменування контролера");
    EXPECT_EQ(DecodeInterventionRecord(Aud(5, 2), true)[kAudParameter], "Наймен. нитки 2 хроматографа");
}

TEST(InterventionDecoder, RecordWhoseCrcFailsShowsOnlyItsMark) {
    InterventionRecord r = Aud(6, 6, 5, 7, 8);
    r.operatorName[0] ^= 1;  // changed after sealing
    const InterventionTexts t = DecodeInterventionRecord(r, true);
    EXPECT_EQ(t[kAudDate], "   ***");
    for (int i = 1; i < InterventionRow::kFieldCount; ++i) EXPECT_EQ(t[std::size_t(i)], "") << i;
    const InterventionRow row = MakeInterventionRow(t);
    EXPECT_EQ(row.Get(0), "   ***");
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&row);
    for (std::size_t i = 6; i < sizeof row; ++i) ASSERT_EQ(b[i], 0) << i;
}

// Every text but the two byte orders of table 20 (21 and 22 characters)
// fits its field; those are cut in the row (and so on the screen).
TEST(InterventionDecoder, EveryTextFitsItsField) {
    const std::size_t widths[7] = {20, 20, 100, 20, 20, 20, 5};
    std::set<std::string> tooLong;
    const float values[] = {0.0f, 1e-9f, -123456.78f, 3.4e38f, -3.4e38f, kNaN};
    for (int t = 0; t < 256; ++t)
        for (int f = 0; f < 256; ++f) {
            InterventionRecord r = Aud(uint8_t(t), uint8_t(f), uint8_t((t + f) % 40));
            PutF32(r.oldValue, values[(t + f) % 6]);
            PutF32(r.newValue, values[(t * 7 + f) % 6]);
            r.oldValue[0] = uint8_t(f * 3 + t);
            std::memcpy(r.operatorName, "\xFF\xFE\xFD\xFC", 4);
            SealRecord(r);
            const InterventionTexts x = DecodeInterventionRecord(r, (t + f) % 2 == 0);
            for (int i = 0; i < 7; ++i)
                if (Cp1251Size(x[std::size_t(i)]) >= widths[i]) tooLong.insert(x[std::size_t(i)]);
        }
    EXPECT_EQ(tooLong, (std::set<std::string>{"Мол. адр. -- ст. байт", "Мол. адр. -- мол. байт"}));
    const InterventionRow row = MakeInterventionRow(DecodeInterventionRecord(Aud(20, 0, 0, 0, 1), true));
    EXPECT_EQ(row.Get(kAudOld), "Мол. адр. -- ст. ба");
    EXPECT_EQ(row.Get(kAudNew), "Мол. адр. -- мол. б");
    EXPECT_EQ(row.oldValue[19], 0);
}

// ---- the saved rows --------------------------------------------------------

// A text longer than its field is cut, ends in a zero byte and never spills
// into the next field.
TEST(MessageRows, LongTextsAreCutInTheirFields) {
    DiagnosticTexts t;
    t[kAlaDate] = std::string(30, '1');
    t[kAlaEvent] = std::string(150, 'E');
    t[kAlaObject] = "Об'єкт";
    for (int i = 0; i < 25; ++i) t[kAlaValue] += "Ж";  // one byte each in Windows-1251
    t[kAlaSetpoint] = "5";
    const DiagnosticRow row = MakeDiagnosticRow(t);
    EXPECT_EQ(row.Get(kAlaDate), std::string(19, '1'));
    EXPECT_EQ(row.date[19], 0);
    EXPECT_EQ(row.Get(kAlaTime), "");
    EXPECT_EQ(row.Get(kAlaEvent), std::string(99, 'E'));
    EXPECT_EQ(row.event[99], 0);
    EXPECT_EQ(row.Get(kAlaObject), "Об'єкт");
    EXPECT_EQ(uint8_t(row.object[0]), 0xCE);  // Windows-1251
    std::string zh;
    for (int i = 0; i < 19; ++i) zh += "Ж";
    EXPECT_EQ(row.Get(kAlaValue), zh);
    EXPECT_EQ(row.value[19], 0);
    EXPECT_EQ(row.Get(kAlaSetpoint), "5");

    InterventionTexts a;
    a[kAudOperator] = "ABCDEFG";
    a[kAudUnit] = std::string(40, 'u');
    const InterventionRow ar = MakeInterventionRow(a);
    EXPECT_EQ(ar.Get(kAudOperator), "ABCD");
    EXPECT_EQ(ar.operatorName[4], 0);
    EXPECT_EQ(ar.Get(kAudUnit), std::string(19, 'u'));
    EXPECT_EQ(TextsOf(ar)[kAudUnit], std::string(19, 'u'));
}

// A field written in full without its zero byte (a file from elsewhere) is
// read up to its own end, never into the next field.
TEST(MessageRows, FullFieldsEndAtTheirWidth) {
    DiagnosticRow row;
    std::memset(row.event, 'e', sizeof row.event);
    std::memset(row.object, 'o', sizeof row.object);
    std::memset(row.unit, 'u', sizeof row.unit);
    const DiagnosticTexts t = TextsOf(row);
    EXPECT_EQ(t[kAlaEvent], std::string(100, 'e'));
    EXPECT_EQ(t[kAlaObject], std::string(100, 'o'));
    EXPECT_EQ(t[kAlaUnit], std::string(20, 'u'));
    // Made again, every field ends in a zero byte.
    const DiagnosticRow again = MakeDiagnosticRow(t);
    EXPECT_EQ(again.event[99], 0);
    EXPECT_EQ(again.Get(kAlaEvent), std::string(99, 'e'));
}


