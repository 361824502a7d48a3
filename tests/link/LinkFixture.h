// Shared set-up of the link tests: a temporary WorkDir, the controller
// emulator on a pseudo-terminal linked as dev/com5, and a link object with
// short time-outs.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "link/Hgcbox.h"
#include "platform/Clock.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"

namespace linktest {

inline std::filesystem::path MakeWorkDir(const std::string& tag) { return zbr_test::FreshWorkDir("link-" + tag); }

using zbr_test::FastTimeouts;
using zbr_test::OpenOverPty;

// Reads rows [first, first + rows) of table t.
inline bool ReadRows(hgcbox& box, uint8_t t, uint8_t first, uint8_t rows) {
    const uint8_t hdr[3] = {t, first, rows};
    return box.Exchange(1, hdr, 3);
}

inline std::vector<uint8_t> Frame(const uint8_t* p, size_t n) { return std::vector<uint8_t>(p, p + n); }

}  // namespace linktest
