#include "common/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vz {

#ifdef _WIN32

namespace {

// Up to five seconds: a reader holds a price file for a moment only, so a
// longer block means the file is held for good.
constexpr int REPLACE_ATTEMPTS = 250;
constexpr DWORD RETRY_PAUSE_MS = 20;

// The errors a reader's open handle causes; anything else will not pass by waiting.
bool mayPass(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

} // namespace

std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < REPLACE_ATTEMPTS; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            return {};
        }
        error = GetLastError();
        if (!mayPass(error)) {
            break;
        }
        Sleep(RETRY_PAUSE_MS);
    }
    return {static_cast<int>(error), std::system_category()};
}

#else

std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
}

#endif

} // namespace vz
