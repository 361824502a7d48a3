// Whole-file writes of the archive and format files: the bytes go to a new
// temporary file in the target's folder, are flushed, and the temporary file
// is renamed over the target. A crash or a full disk leaves either the old
// file or the new one, never half a file, and no temporary file behind.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class WriteResult {
    Ok,
    CreateFailed,  // no file could be made in the folder (missing, read-only, ...)
    WriteFailed,   // the data could not be written, flushed or put in place
};

// `error` (when given) receives the system's reason on failure.
WriteResult WriteWholeFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The name after the last '/'.
std::string BaseName(const std::string& path);

// A fresh name for the temporary file of a write of `path`, in the same
// folder: ".<name>.zbrtmp<pid>_<n>". Every whole-file writer of the program
// names its temporary files this way, so that what a killed run left behind
// can be recognised and removed.
std::string TempFileBeside(const std::string& path);

// Removes from the folder `dir` the temporary files of that pattern whose
// process no longer runs (what a run killed in the middle of a save left).
// Files of a running process, and every other file, stay. The number removed.
int RemoveLeftoverTempFiles(const std::string& dir);

// A write beyond the process's file-size limit fails (EFBIG) and is reported
// like a full disk, instead of the limit's signal ending the program.
void IgnoreFileSizeSignal();

}  // namespace platform
