// A fresh folder per test under ZBR_TEST_TMP, and small file helpers.
#pragma once
#include <filesystem>
#include <string>

#include "support/TestFolders.h"

namespace settings_test {

using zbr_test::FileCount;
using zbr_test::ReadBytes;
using zbr_test::WriteBytes;

inline std::string MakeTempFolder() { return zbr_test::FreshTestDir("settings").string(); }

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace settings_test
