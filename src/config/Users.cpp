#include "config/Users.h"

#include <cstdio>
#include <cstring>

#include "common/Question.h"
#include "common/Stringi.h"
#include "config/ConfigImage.h"
#include "link/Hgcbox.h"
#include "platform/Codepage.h"

namespace {

std::string FormatRows(const char* format, int a, int b = 0) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

}  // namespace

std::vector<std::string> AccessLevelItems() {
    std::vector<std::string> items;
    for (int level = 0; level < userlevel::kLevels; ++level) items.emplace_back(texts::AccessLevelNames.At(level));
    return items;
}

UserRow BlankUser() {
    UserRow u;
    ClearUser(u);
    return u;
}

void ClearUser(UserRow& u) {
    std::memset(u.Name, ' ', sizeof u.Name);
    u.Level = userlevel::None;
    u.Spare = 0;
    std::memset(u.Password, ' ', sizeof u.Password);
    std::memset(u.Code, ' ', sizeof u.Code);
}

bool IsBlankField(const char* field, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (field[i] != ' ' && field[i] != '\0') return false;
    return true;
}

bool SetField(char* field, std::size_t n, const std::string& utf8) {
    return platform::WriteField(field, n, utf8, ' ', platform::CodePage::Cp1251);
}

std::string FieldText(const char* field, std::size_t n) {
    return platform::ReadField(field, n, platform::CodePage::Cp1251, true);
}

std::string TrimmedField(const char* field, std::size_t n) {
    return std::string(platform::TrimBlanks(FieldText(field, n)));
}

UsersTable LoadUsers(const void* bytes) {
    UsersTable users;
    std::memcpy(users.data(), bytes, kUsersTableBytes);
    return users;
}

void StoreUsers(void* bytes, const UsersTable& users) { std::memcpy(bytes, users.data(), kUsersTableBytes); }

UsersTable ImageUsers() { return LoadUsers(TablePtr(kUsersTable)); }

UserRow ImageUser(int row) {
    UserRow u = BlankUser();
    if (const uint8_t* p = RowPtr(kUsersTable, row)) std::memcpy(&u, p, sizeof u);
    return u;
}

void SetImageUser(int row, const UserRow& u) {
    if (uint8_t* p = RowPtr(kUsersTable, row)) std::memcpy(p, &u, sizeof u);
}

UsersFault FindUsersFault(const UsersTable& users) {
    int makers = 0;
    for (const UserRow& u : users)
        if (u.Level == userlevel::Maker) ++makers;
    if (makers == 0) return {UsersRule::NoMaker};
    if (makers > 1) return {UsersRule::SecondMaker};
    for (int r = 0; r < kUserCount; ++r) {
        const UserRow& u = users[r];
        if (u.Level == userlevel::None) continue;
        if (u.Level >= userlevel::kLevels) return {UsersRule::BadLevel, r};
        if (IsBlankField(u.Name, sizeof u.Name)) return {UsersRule::NoName, r};
        if (IsBlankField(u.Code, sizeof u.Code)) return {UsersRule::NoCode, r};
        for (int o = r + 1; o < kUserCount; ++o) {
            const UserRow& v = users[o];
            if (v.Level == userlevel::None) continue;
            if (std::memcmp(u.Name, v.Name, sizeof u.Name) == 0) return {UsersRule::SameName, r, o};
            if (std::memcmp(u.Code, v.Code, sizeof u.Code) == 0) return {UsersRule::SameCode, r, o};
        }
    }
    return {};
}

std::pair<std::string, std::string> UsersFaultText(const UsersFault& f, UsersTexts texts) {
    const bool window = texts == UsersTexts::AccessWindow;
    const int n = f.row + 1, m = f.other + 1;
    switch (f.rule) {
    case UsersRule::Ok: return {};
    case UsersRule::NoMaker:
        return {"У списку зареєстрованих користувачів", "не зареєстровано виробника-наладчика"};
    case UsersRule::SecondMaker: return {"Може бути зареєстрований", "тільки один виробник-наладчик"};
    case UsersRule::BadLevel:
        return {FormatRows(window ? "Номер користувача у таблиці: %d." : "Номер користувача в таблиці: %d.", n),
                "Невірно заданий рівень доступу користувача"};
    case UsersRule::NoName:
        if (window) return {FormatRows("Номер користувача у таблиці: %d.", n), "Не задано ім'я користувача"};
        return {FormatRows("Номер користувача в таблиці: %d.", n), "Не задано им'я користувача"};
    case UsersRule::NoCode:
        return {FormatRows(window ? "Номер користувача у таблиці: %d." : "Номер користувача в таблиці: %d.", n),
                "Не заданий код ідентифікації користувача"};
    case UsersRule::SameName:
        if (window) return {FormatRows("Коритувачі   %d и %d.", n, m), "Співпадіння імен"};
        return {FormatRows("Користувачі   %d і %d.", n, m), "Співпадіння імен користувачів"};
    case UsersRule::SameCode:
        if (window) return {FormatRows("Користувачі   %d и %d.", n, m), "Співпадіння кодів ідентифікації"};
        return {FormatRows("Користувачі  %d і %d.", n, m), "Совпадение кодов идентификации пользователя"};
    }
    return {};
}

bool CheckUsers(const UsersTable& users, UsersTexts texts) {
    UsersFault f = FindUsersFault(users);
    if (f.ok()) return true;
    auto [line1, line2] = UsersFaultText(f, texts);
    MessageKind = 2;
    ShowQues(line1, line2);
    return false;
}

void NormalizeUsers(UsersTable& users) {
    for (UserRow& u : users) {
        if (u.Level == userlevel::None) ClearUser(u);
        u.Spare = 0;
    }
}

bool CheckRecordUsers(void* users) {
    if (!users) return false;
    UsersTable t = LoadUsers(users);
    NormalizeUsers(t);
    StoreUsers(users, t);
    return CheckUsers(t, UsersTexts::ConfigRecord);
}

void SetLinkCredentials(const char* password12, const char* code4) {
    if (!HgcBox) return;
    std::memcpy(HgcBox->WritePassword, password12, sizeof HgcBox->WritePassword);
    std::memcpy(HgcBox->UserCode, code4, sizeof HgcBox->UserCode);
}

BlankCredentials::BlankCredentials() {
    if (!HgcBox) return;
    std::memcpy(password_, HgcBox->WritePassword, sizeof password_);
    std::memcpy(code_, HgcBox->UserCode, sizeof code_);
    saved_ = true;
    std::memset(HgcBox->WritePassword, ' ', sizeof HgcBox->WritePassword);
    std::memset(HgcBox->UserCode, ' ', sizeof HgcBox->UserCode);
}

BlankCredentials::~BlankCredentials() {
    if (saved_ && HgcBox) SetLinkCredentials(password_, code_);
}
