#include "platform/files.h"
#include "platform/system_file.h"

#include <algorithm>
#include <cstring>
#include <windows.h>

namespace vz {
namespace {

// A feed replacing the file makes the name refuse opens for an instant; a
// missing file fails at once.
constexpr int BUSY_OPEN_ATTEMPTS = 20;
constexpr DWORD BUSY_OPEN_PAUSE_MS = 5;
// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t MAX_CALL_BYTES = 1U << 30;

std::size_t readSome(HANDLE file, char* buffer, std::size_t size) {
    DWORD got = 0;
    const auto asked = static_cast<DWORD>(std::min(size, MAX_CALL_BYTES));
    if (ReadFile(file, buffer, asked, &got, nullptr) == 0) {
        return 0;
    }
    return got;
}

bool writeAll(HANDLE file, const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const auto asked = static_cast<DWORD>(std::min(size, MAX_CALL_BYTES));
        if (WriteFile(file, bytes, asked, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// One handle, always binary.
class Win32TextFile final : public SystemTextFile {
public:
    explicit Win32TextFile(HANDLE file) : file_(file) {}
    Win32TextFile(const Win32TextFile&) = delete;
    Win32TextFile& operator=(const Win32TextFile&) = delete;
    ~Win32TextFile() override { close(); }

protected:
    std::size_t readRaw(char* buffer, std::size_t size) override {
        return readSome(file_, buffer, size);
    }
    bool writeRaw(const char* bytes, std::size_t size) override {
        return writeAll(file_, bytes, size);
    }
    bool closeRaw() override {
        const bool closed = CloseHandle(file_) != 0;
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }
    bool isOpen() const override { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

struct OpenWay {
    DWORD access;
    DWORD disposition;
};

OpenWay openWayOf(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return {GENERIC_READ, OPEN_EXISTING};
    case FileMode::Write:
        return {GENERIC_WRITE, CREATE_ALWAYS};
    case FileMode::Append:
        return {FILE_APPEND_DATA, OPEN_ALWAYS};
    }
    return {GENERIC_READ, OPEN_EXISTING};
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Others may read, write, rename or delete the file while it is open, so a
// feed can put a new price file in its place.
HANDLE openRetrying(const std::string& path, OpenWay way) {
    constexpr DWORD SHARING = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (int attempt = 1;; ++attempt) {
        const HANDLE file = CreateFileA(path.c_str(), way.access, SHARING, nullptr, way.disposition,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!busy || attempt == BUSY_OPEN_ATTEMPTS) {
            return file;
        }
        Sleep(BUSY_OPEN_PAUSE_MS);
    }
}

// A data file must be a disk file: a pipe would hold the program until some
// other program writes to it, and a device such as NUL or CON holds no prices.
bool usable(HANDLE file, FileMode mode) {
    return mode != FileMode::Read || GetFileType(file) == FILE_TYPE_DISK;
}

} // namespace

std::unique_ptr<TextFile> StdFileSystem::openFile(const std::string& path, FileMode mode) {
    // A folder refuses the open with "access denied", which is not worth waiting for.
    if (path.empty() || isFolder(path)) {
        return nullptr;
    }
    const HANDLE file = openRetrying(path, openWayOf(mode));
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    if (!usable(file, mode)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32TextFile>(file);
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
