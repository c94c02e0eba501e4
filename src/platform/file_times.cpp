#include "platform/files.h"

#include <chrono>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vz {

std::optional<std::int64_t> FileSystem::modifiedTime(const std::string&) {
    return std::nullopt;
}

#ifdef _WIN32

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; the program counts from 1970.
constexpr std::int64_t FILETIME_STEPS_TO_1970 = 116444736000000000LL;
constexpr std::int64_t NANOSECONDS_PER_STEP = 100;

} // namespace

// Reads the file's attributes only, in the file system's own resolution (the
// C library's stat keeps whole seconds). A device or folder has no price time.
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

#else

// Reads the file's status only: a FIFO or a device is never opened, so asking
// never blocks.
std::optional<std::int64_t> StdFileSystem::modifiedTime(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto system = std::chrono::file_clock::to_sys(written);
    return std::chrono::duration_cast<std::chrono::nanoseconds>(system.time_since_epoch()).count();
}

#endif

} // namespace vz
