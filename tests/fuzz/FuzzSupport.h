// Shared by the fuzz targets: a scratch folder made the program's WorkDir
// once per process (removed at exit), and the input written to a file
// there (the readers take paths). A target calls Fail() when the program
// broke a promise (a text field left unterminated, a count beyond its
// array): the fuzzer reports it like a crash, and the replay test fails on
// it.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Paths.h"

namespace zbr_fuzz {

inline const std::string& ScratchDir() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string& dir = *new std::string([] {
        const char* base = std::getenv("TMPDIR");
        std::filesystem::path p = std::filesystem::path(base && *base ? base : "/tmp") /
                                  ("zbr-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p / "INI");
        platform::SetWorkDir(p.string());
        // Gone when the process ends normally (a finding keeps it for a look).
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchDir(), ec);
        });
        return p.string();
    }());
    return dir;
}

// Writes the input to ScratchDir()/name and returns the path.
inline std::string InputFile(const uint8_t* data, std::size_t size, const std::string& name) {
    const std::string path = ScratchDir() + "/" + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "zbr fuzz: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

// A fixed-width text field holds its terminator.
inline bool Terminated(const char* field, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        if (field[i] == 0) return true;
    return false;
}

}  // namespace zbr_fuzz
