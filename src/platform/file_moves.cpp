#include "platform/files.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vz {

#ifdef _WIN32

namespace {

// Up to five seconds: a reader holds a file for a moment only, so a longer
// block means the file is held for good.
constexpr int MOVE_ATTEMPTS = 250;
constexpr DWORD RETRY_PAUSE_MS = 20;

// The errors another program's open handle causes; anything else will not
// pass by waiting.
bool mayPass(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

template <typename Call> bool retryingWhileHeld(Call call) {
    for (int attempt = 1;; ++attempt) {
        if (call()) {
            return true;
        }
        if (!mayPass(GetLastError()) || attempt == MOVE_ATTEMPTS) {
            return false;
        }
        Sleep(RETRY_PAUSE_MS);
    }
}

} // namespace

bool StdFileSystem::replaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        return false;
    }
    return retryingWhileHeld([&] {
        return MoveFileExA(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

bool StdFileSystem::removeFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // Like std::filesystem::remove, a file that is already gone is no failure.
    return retryingWhileHeld([&] {
        return DeleteFileA(path.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND ||
               GetLastError() == ERROR_PATH_NOT_FOUND;
    });
}

#else

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

#endif

} // namespace vz
