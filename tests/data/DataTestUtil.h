// A fresh WorkDir per test under ZBR_TEST_TMP/data, the shared file helpers,
// and the bytes of a record or header.
#pragma once
#include <string>

#include "support/TestFolders.h"

namespace data_test {

// Makes an empty folder for the running test and makes it the WorkDir.
inline std::string FreshWorkDir() { return zbr_test::FreshWorkDir("data").string(); }

using zbr_test::FileCount;
using zbr_test::ReadBytes;
using zbr_test::WriteBytes;

template <class T>
std::string BytesOf(const T& v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace data_test
