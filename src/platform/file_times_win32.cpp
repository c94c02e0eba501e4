#include "platform/files.h"

#include <windows.h>

namespace vz {

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; the program counts from 1970.
constexpr std::int64_t FILETIME_STEPS_TO_1970 = 116444736000000000LL;
constexpr std::int64_t NANOSECONDS_PER_STEP = 100;

} // namespace

// Other systems answer in files_posix.cpp. Reads the file's
// attributes only, in the file system's own resolution (the C library's stat
// keeps whole seconds). A device or folder has no price time.
std::optional<std::int64_t> StdFileSystem::modifiedTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == 0 ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return std::nullopt;
    }
    const std::int64_t steps =
        (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    return (steps - FILETIME_STEPS_TO_1970) * NANOSECONDS_PER_STEP;
}

} // namespace vz
