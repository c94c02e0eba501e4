#include "platform/files.h"
#include "platform/system_files.h"

#include <cerrno>
#include <windows.h>

namespace vz {

namespace {

constexpr int BUSY_OPEN_ATTEMPTS = 20;
constexpr DWORD BUSY_OPEN_PAUSE_MS = 5;

} // namespace

// A feed replacing the file makes the name refuse opens (access denied)
// for an instant; a missing file fails at once.
std::FILE* openSystemFile(const std::string& path, const char* mode) {
    for (int attempt = 1;; ++attempt) {
        std::FILE* file = std::fopen(path.c_str(), mode);
        if (file != nullptr || errno != EACCES || attempt == BUSY_OPEN_ATTEMPTS) {
            return file;
        }
        Sleep(BUSY_OPEN_PAUSE_MS);
    }
}

std::string executableFolder() {
    char program[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    // A full buffer means the path was cut short.
    if (length == 0 || length >= sizeof program) {
        return {};
    }
    std::string folder(program, length);
    const auto separator = folder.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    folder.resize(separator + 1);
    return folder;
}

} // namespace vz
