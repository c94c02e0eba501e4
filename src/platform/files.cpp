#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

namespace vz {

// Windows opens and finds its files in files_win32.cpp.
#ifndef _WIN32

namespace {

class StdTextFile final : public TextFile {
public:
    explicit StdTextFile(std::FILE* file) : file_(file) {}
    StdTextFile(const StdTextFile&) = delete;
    StdTextFile& operator=(const StdTextFile&) = delete;
    ~StdTextFile() override { close(); }

    int readByte() override {
        const int next = peekByte();
        peeked_.reset();
        return next;
    }

    int peekByte() override {
        if (!peeked_) {
            const int next = file_ != nullptr ? std::getc(file_) : EOF;
            peeked_ = next == EOF ? -1 : next;
        }
        return *peeked_;
    }

    bool write(std::string_view bytes) override {
        if (file_ == nullptr) {
            return false;
        }
        const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
        return written == bytes.size() && std::ferror(file_) == 0;
    }

    bool close() override {
        if (file_ == nullptr) {
            return closedCleanly_;
        }
        const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        closedCleanly_ = flushed && closed;
        return closedCleanly_;
    }

private:
    std::FILE* file_ = nullptr;
    std::optional<int> peeked_;
    bool closedCleanly_ = false;
};

const char* modeText(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return "rb";
    case FileMode::Write:
        return "wb";
    case FileMode::Append:
        return "ab";
    }
    return "rb";
}

} // namespace

std::unique_ptr<TextFile> StdFileSystem::openFile(const std::string& path, FileMode mode) {
    if (path.empty()) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), modeText(mode));
    if (file == nullptr) {
        return nullptr;
    }
    // A folder opens for reading on some systems but yields no bytes.
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<StdTextFile>(file);
}

#endif

bool StdFileSystem::exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool writeTextLine(TextFile& file, std::string_view text) {
    const bool wroteText = file.write(text);
    const bool wroteEnd = file.write("\r\n");
    return wroteText && wroteEnd;
}

bool closeFile(TextFile& file) {
    return file.close();
}

#ifndef _WIN32

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

#endif

} // namespace vz
