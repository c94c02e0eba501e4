#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <windows.h>

namespace vz {
namespace {

// Written bytes are gathered up to this size before they go to the system.
constexpr std::size_t WRITE_BUFFER_BYTES = 64 * 1024;
constexpr std::size_t BYTE_BUFFER_BYTES = 4 * 1024;
// A feed swapping the file in makes its name refuse opens for an instant.
constexpr int BUSY_OPEN_ATTEMPTS = 20;
constexpr DWORD BUSY_OPEN_PAUSE_MS = 5;

// One file handle; reads go to the system in blocks, writes are buffered
// until close. Bytes pass unchanged both ways: there is no text mode here.
class Win32TextFile final : public TextFile {
public:
    explicit Win32TextFile(HANDLE file) : file_(file) {}
    Win32TextFile(const Win32TextFile&) = delete;
    Win32TextFile& operator=(const Win32TextFile&) = delete;
    ~Win32TextFile() override { close(); }

    int readByte() override {
        const int next = peekByte();
        if (next >= 0) {
            ++bytePos_;
        }
        return next;
    }

    int peekByte() override {
        if (bytePos_ == byteEnd_ && !refillBytes()) {
            return -1;
        }
        return static_cast<unsigned char>(bytes_[bytePos_]);
    }

    // Up to `size` bytes, continuing where readByte left off; 0 at the end.
    // (Overrides the block read of file interfaces that have one.)
    std::size_t readBlock(char* buffer, std::size_t size) {
        if (bytePos_ < byteEnd_) {
            const std::size_t count = std::min(size, byteEnd_ - bytePos_);
            std::memcpy(buffer, bytes_.data() + bytePos_, count);
            bytePos_ += count;
            return count;
        }
        return readSome(buffer, size);
    }

    bool write(std::string_view bytes) override {
        if (file_ == INVALID_HANDLE_VALUE || failed_) {
            return false;
        }
        pending_.append(bytes);
        if (pending_.size() >= WRITE_BUFFER_BYTES) {
            flush();
        }
        return !failed_;
    }

    bool close() override {
        if (file_ == INVALID_HANDLE_VALUE) {
            return closedCleanly_;
        }
        flush();
        const bool closed = CloseHandle(file_) != 0;
        file_ = INVALID_HANDLE_VALUE;
        closedCleanly_ = !failed_ && closed;
        return closedCleanly_;
    }

private:
    std::size_t readSome(char* buffer, std::size_t size) {
        if (file_ == INVALID_HANDLE_VALUE || size == 0) {
            return 0;
        }
        DWORD got = 0;
        const auto asked = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
        if (ReadFile(file_, buffer, asked, &got, nullptr) == 0) {
            return 0;
        }
        return got;
    }

    bool refillBytes() {
        bytes_.resize(BYTE_BUFFER_BYTES);
        bytePos_ = 0;
        byteEnd_ = readSome(bytes_.data(), bytes_.size());
        return byteEnd_ > 0;
    }

    void flush() {
        std::size_t done = 0;
        while (!failed_ && done < pending_.size()) {
            DWORD written = 0;
            const auto size =
                static_cast<DWORD>(std::min<std::size_t>(pending_.size() - done, MAXDWORD));
            if (WriteFile(file_, pending_.data() + done, size, &written, nullptr) == 0 ||
                written == 0) {
                failed_ = true;
            }
            done += written;
        }
        pending_.clear();
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string bytes_;
    std::size_t bytePos_ = 0;
    std::size_t byteEnd_ = 0;
    std::string pending_;
    bool failed_ = false;
    bool closedCleanly_ = false;
};

DWORD accessOf(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return GENERIC_READ;
    case FileMode::Write:
        return GENERIC_WRITE;
    case FileMode::Append:
        return FILE_APPEND_DATA;
    }
    return GENERIC_READ;
}

DWORD dispositionOf(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return OPEN_EXISTING;
    case FileMode::Write:
        return CREATE_ALWAYS;
    case FileMode::Append:
        return OPEN_ALWAYS;
    }
    return OPEN_EXISTING;
}

// Other programs may read and write the file meanwhile; delete sharing lets
// a feed's swap through where the system allows replacing an open file
// (elsewhere the feed waits the moment out and tries again).
HANDLE openShared(const std::string& path, FileMode mode) {
    for (int attempt = 1;; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), accessOf(mode),
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  dispositionOf(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (file != INVALID_HANDLE_VALUE || !busy || attempt == BUSY_OPEN_ATTEMPTS) {
            return file;
        }
        Sleep(BUSY_OPEN_PAUSE_MS);
    }
}

} // namespace

// A data file must be a file on a disk: a pipe would hold the program until
// another program writes to it, and a device (CON, NUL, COM1) holds no
// prices. A folder does not open without backup semantics, so it fails.
std::unique_ptr<TextFile> StdFileSystem::openFile(const std::string& path, FileMode mode) {
    if (path.empty()) {
        return nullptr;
    }
    HANDLE file = openShared(path, mode);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
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
