// Rows of the users table for the tests, written the way the controller
// keeps them.
#pragma once
#include <cstring>
#include <string>

#include "config/Users.h"

namespace userstest {

// A row with the given fields (UTF-8), each blank-padded to its width in
// Windows-1251.
inline UserRow User(const std::string& name, uint8_t level, const std::string& password, const std::string& code) {
    UserRow u = BlankUser();
    SetField(u.Name, sizeof u.Name, name);
    u.Level = level;
    SetField(u.Password, sizeof u.Password, password);
    SetField(u.Code, sizeof u.Code, code);
    return u;
}

// The factory table of the emulator: the manufacturer "ZBR " in row 0.
inline UsersTable FactoryUsers() {
    UsersTable t;
    for (UserRow& u : t) ClearUser(u);
    t[0] = User("ZBR", userlevel::Maker, "12345", "1111");
    return t;
}

inline std::string Bytes(const char* p, std::size_t n) { return std::string(p, n); }

}  // namespace userstest
