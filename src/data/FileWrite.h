// Whole-file writes of the archive and format files: the bytes go to a new
// temporary file in the target's folder, are flushed, and the temporary file
// is renamed over the target. A crash or a full disk leaves either the old
// file or the new one, never half a file, and no temporary file behind.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace zbr_data {

enum class WriteResult {
    Ok,
    CreateFailed,  // no file could be made in the folder (missing, read-only, ...)
    WriteFailed,   // the data could not be written, flushed or put in place
};

// `error` (when given) receives the system's reason on failure.
WriteResult WriteWholeFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The name after the last '/'.
std::string BaseName(const std::string& path);

}  // namespace zbr_data
