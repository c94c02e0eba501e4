#pragma once

#include <cstdio>
#include <string>

namespace vz {

// The C library's fopen, made to ride out what the operating system does
// while a writer swaps a file in place (on Windows a reader can find the
// name busy for that instant; the open is then tried again for a moment).
std::FILE* openSystemFile(const std::string& path, const char* mode);

} // namespace vz
