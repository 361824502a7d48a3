// A fresh WorkDir per test under ZBR_TEST_TMP, and small file helpers.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Paths.h"

namespace data_test {

// Makes an empty folder for the running test and makes it the WorkDir.
inline std::string FreshWorkDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::path(ZBR_TEST_TMP) / "data" /
                                (std::string(info->test_suite_name()) + "." + info->name());
    std::error_code ec;  // a folder left read-only by an earlier run must go too
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    platform::SetWorkDir(dir.string());
    return dir.string();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline int FileCount(const std::string& dir) {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++n;
    }
    return n;
}

template <class T>
std::string BytesOf(const T& v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace data_test
