// The program folder and its sub-folders.
#pragma once
#include <string>

namespace platform {

// Folder of the running executable (from /proc/self/exe), ending without a
// slash, unless SetWorkDir() chose another one (tests give a temporary one).
const std::string& WorkDir();
void SetWorkDir(const std::string& dir);

// WorkDir() + "/" + relative.
std::string InWorkDir(const std::string& relative);

// Creates the folder (one level) when missing; true when it exists afterwards.
bool EnsureDir(const std::string& path);

}  // namespace platform
