#pragma once

#include "platform/files.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace vz {

// Files held in memory, for tests: a file is its bytes under its path. Reads
// see the bytes as they were when the file was opened; writes reach the file
// when it is closed. Counts what the program reads, so a test can tell a
// bounded read from one that takes the whole file.
class MemoryFileSystem final : public FileSystem {
public:
    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override;
    bool exists(const std::string& path) override { return files_.contains(path); }

    void put(const std::string& path, std::string bytes);
    void remove(const std::string& path) { files_.erase(path); }
    // nullopt when there is no such file.
    std::optional<std::string> contents(const std::string& path) const;

    // Bytes handed out by every read since the start.
    std::size_t bytesRead() const { return *bytesRead_; }
    // Files opened, in any mode, since the start.
    int opens() const { return opens_; }

private:
    std::map<std::string, std::shared_ptr<const std::string>> files_;
    std::shared_ptr<std::size_t> bytesRead_ = std::make_shared<std::size_t>(0);
    int opens_ = 0;
};

} // namespace vz
