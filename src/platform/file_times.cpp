#include "platform/files.h"

#include <chrono>
#include <filesystem>

namespace vz {

// The portable form, for systems without their own in files_<system>.cpp.
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

} // namespace vz
