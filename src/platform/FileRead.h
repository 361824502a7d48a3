// Reading small files at paths the program chooses itself (settings, lists,
// format and heading files, templates). Such a path may hold anything a user
// or a copying accident put there: a folder, a named pipe, a device. The file
// is opened without blocking and read only when it is a regular file, so a
// pipe or /dev/zero in its place is refused at once instead of hanging or
// filling memory.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

enum class ReadResult {
    Ok,
    Missing,  // no such file (the caller's defaults apply)
    Failed,   // there is something by that name but it cannot be read as a file
};

// Reads at most `maxBytes` bytes of the file into `out`; `truncated` (when
// given) says whether the file held more. `error` (when given) receives the
// reason of a failure.
ReadResult ReadRegularFile(const std::string& path, std::string& out, std::size_t maxBytes,
                           std::string* error = nullptr, bool* truncated = nullptr);

}  // namespace platform
