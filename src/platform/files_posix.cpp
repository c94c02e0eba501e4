#include "platform/files.h"
#include "platform/system_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vz {
namespace {

// read() without the interruptions; -1 on a real error.
ssize_t readRetrying(int fd, char* buffer, std::size_t size) {
    while (true) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool writeAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// One file descriptor.
class PosixTextFile final : public SystemTextFile {
public:
    explicit PosixTextFile(int fd) : fd_(fd) {}
    PosixTextFile(const PosixTextFile&) = delete;
    PosixTextFile& operator=(const PosixTextFile&) = delete;
    ~PosixTextFile() override { close(); }

protected:
    std::size_t readRaw(char* buffer, std::size_t size) override {
        const ssize_t got = readRetrying(fd_, buffer, size);
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    bool writeRaw(const char* bytes, std::size_t size) override {
        return writeAll(fd_, bytes, size);
    }
    bool closeRaw() override {
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }
    bool isOpen() const override { return fd_ >= 0; }

private:
    int fd_ = -1;
};

int openFlags(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return O_RDONLY;
    case FileMode::Write:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case FileMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND;
    }
    return O_RDONLY;
}

// A data file must be a regular file: a pipe would hold the program until
// some other program writes to it, and a device or folder holds no prices.
bool usable(int fd, FileMode mode) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    return mode != FileMode::Read || S_ISREG(info.st_mode);
}

} // namespace

std::unique_ptr<TextFile> StdFileSystem::openFile(const std::string& path, FileMode mode) {
    if (path.empty()) {
        return nullptr;
    }
    // Opening without waiting: a pipe with no writer (or, for writing, no
    // reader) would otherwise block until one appears.
    const int fd = ::open(path.c_str(), openFlags(mode) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return nullptr;
    }
    if (!usable(fd, mode)) {
        ::close(fd);
        return nullptr;
    }
    if (mode != FileMode::Read) {
        // Writes to whatever was opened (a device, say) wait as usual.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return std::make_unique<PosixTextFile>(fd);
}

// One stat call for the type and the time together: the stale-price watch
// asks for fourteen files every tick, and the two calls of the portable form
// were a third of a headless tick's time.
std::optional<std::int64_t> StdFileSystem::modifiedTime(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

std::string executableFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.has_parent_path()) {
        return {};
    }
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace vz
