// Scratch folders and files of the tests, below ZBR_TEST_TMP (a folder of
// the build tree).
//
//   const auto dir = zbr_test::FreshWorkDir("config");   // empty, and the WorkDir
//   zbr_test::WriteBytes((dir / "INI" / "zbr.ini").string(), "...");
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Paths.h"

namespace zbr_test {

// An empty folder for the running test: ZBR_TEST_TMP/<group>/<suite>.<test>
// (the '/' of a parameterised name becomes '-'); outside a test
// ZBR_TEST_TMP/<group>. Whatever an earlier run left there goes first,
// read-only folders included.
inline std::filesystem::path FreshTestDir(const std::string& group) {
    std::filesystem::path dir = std::filesystem::path(ZBR_TEST_TMP) / group;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/') c = '-';
        dir /= name;
    }
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    return dir;
}

// The same folder, made the program's WorkDir.
inline std::filesystem::path FreshWorkDir(const std::string& group) {
    std::filesystem::path dir = FreshTestDir(group);
    platform::SetWorkDir(dir.string());
    return dir;
}

// A file's bytes ("" when it cannot be read).
inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Writes a file with exactly these bytes.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

// Entries in a folder (to see that no temporary file is left behind).
inline int FileCount(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++n;
    }
    return n;
}

}  // namespace zbr_test
