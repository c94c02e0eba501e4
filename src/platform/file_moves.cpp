#include "platform/files.h"

#include <filesystem>

namespace vz {

bool StdFileSystem::replaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
}

bool StdFileSystem::removeFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove(path, error);
    return !error;
}

} // namespace vz
