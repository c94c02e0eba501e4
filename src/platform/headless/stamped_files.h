#pragma once

#include "platform/files.h"

#include <map>

namespace vz {

// The files of another file system with modification times that a test sets:
// a path given a time answers it, a path marked without one answers nullopt,
// and every other path asks the file system underneath.
class StampedFileSystem final : public FileSystem {
public:
    explicit StampedFileSystem(FileSystem& inner) : inner_(inner) {}

    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override {
        return inner_.openFile(path, mode);
    }
    bool exists(const std::string& path) override { return inner_.exists(path); }
    std::optional<std::int64_t> modifiedTime(const std::string& path) override {
        const auto found = stamps_.find(path);
        return found != stamps_.end() ? found->second : inner_.modifiedTime(path);
    }

    void setModifiedTime(const std::string& path, std::optional<std::int64_t> nanoseconds) {
        stamps_[path] = nanoseconds;
    }
    void clearModifiedTimes() { stamps_.clear(); }

private:
    FileSystem& inner_;
    std::map<std::string, std::optional<std::int64_t>> stamps_;
};

} // namespace vz
