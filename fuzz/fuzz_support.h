#pragma once

// Pieces shared by the fuzz targets: input split into files or arguments, an
// in-memory file system, and a check that stops the run at the first breach.
#include "platform/files.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vz::fuzz {

inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts between separators; an empty input is one empty part.
inline std::vector<std::string> splitOn(std::string_view bytes, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find(separator, start);
        parts.emplace_back(bytes.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// A command line: one argument per line.
inline std::vector<std::string> argumentsOf(std::string_view bytes) {
    return bytes.empty() ? std::vector<std::string>{} : splitOn(bytes, '\n');
}

class MemoryFile final : public TextFile {
public:
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes)) {}
    int readByte() override {
        const int byte = peekByte();
        pos_ += byte >= 0 ? 1 : 0;
        return byte;
    }
    int peekByte() override {
        return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_]) : -1;
    }
    bool write(std::string_view) override { return false; }
    bool close() override { return true; }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

// Files to read, by path; every other path cannot be opened.
class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;

    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override {
        const auto file = files.find(path);
        if (mode != FileMode::Read || file == files.end()) {
            return nullptr;
        }
        return std::make_unique<MemoryFile>(file->second);
    }
    bool exists(const std::string& path) override { return files.count(path) != 0; }
};

} // namespace vz::fuzz
