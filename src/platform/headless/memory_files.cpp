#include "platform/headless/memory_files.h"

#include <algorithm>
#include <cstring>

namespace vz {
namespace {

class MemoryReadFile final : public TextFile {
public:
    MemoryReadFile(std::shared_ptr<const std::string> bytes, std::shared_ptr<std::size_t> counter)
        : bytes_(std::move(bytes)), counter_(std::move(counter)) {}

    int readByte() override {
        const int byte = peekByte();
        if (byte >= 0) {
            ++pos_;
            ++*counter_;
        }
        return byte;
    }
    int peekByte() override {
        return pos_ < bytes_->size() ? static_cast<unsigned char>((*bytes_)[pos_]) : -1;
    }
    std::size_t readBlock(char* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, bytes_->size() - pos_);
        std::memcpy(buffer, bytes_->data() + pos_, count);
        pos_ += count;
        *counter_ += count;
        return count;
    }
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }

private:
    std::shared_ptr<const std::string> bytes_;
    std::shared_ptr<std::size_t> counter_;
    std::size_t pos_ = 0;
};

class MemoryWriteFile final : public TextFile {
public:
    MemoryWriteFile(MemoryFileSystem& files, std::string path, std::string start)
        : files_(files), path_(std::move(path)), bytes_(std::move(start)) {}
    ~MemoryWriteFile() override { close(); }
    MemoryWriteFile(const MemoryWriteFile&) = delete;
    MemoryWriteFile& operator=(const MemoryWriteFile&) = delete;

    int readByte() override { return -1; }
    int peekByte() override { return -1; }
    bool write(std::string_view bytes) override {
        bytes_.append(bytes);
        return !closed_;
    }
    bool close() override {
        if (!closed_) {
            files_.put(path_, std::move(bytes_));
            closed_ = true;
        }
        return true;
    }

private:
    MemoryFileSystem& files_;
    std::string path_;
    std::string bytes_;
    bool closed_ = false;
};

} // namespace

std::unique_ptr<TextFile> MemoryFileSystem::openFile(const std::string& path, FileMode mode) {
    if (path.empty()) {
        return nullptr;
    }
    const auto found = files_.find(path);
    if (mode == FileMode::Read) {
        if (found == files_.end()) {
            return nullptr;
        }
        ++opens_;
        return std::make_unique<MemoryReadFile>(found->second, bytesRead_);
    }
    ++opens_;
    std::string start = mode == FileMode::Append && found != files_.end() ? *found->second : "";
    return std::make_unique<MemoryWriteFile>(*this, path, std::move(start));
}

void MemoryFileSystem::put(const std::string& path, std::string bytes) {
    files_[path] = std::make_shared<const std::string>(std::move(bytes));
}

std::optional<std::string> MemoryFileSystem::contents(const std::string& path) const {
    const auto found = files_.find(path);
    if (found == files_.end()) {
        return std::nullopt;
    }
    return *found->second;
}

} // namespace vz
