#include "replay/pending_output.h"

#include "common/replace_file.h"

#include <filesystem>
#include <system_error>

namespace vz {

std::string checkOutputTarget(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return "cannot write output file " + path + ": it exists and is not a regular file";
    }
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    if (!fs::is_directory(folder, error)) {
        return "cannot write output file " + path + ": no such folder";
    }
    return {};
}

PendingOutput::~PendingOutput() {
    discard();
}

std::string PendingOutput::open(const std::string& path) {
    path_ = path;
    temporaryPath_ = path + PARTIAL_SUFFIX;
    // A long replay writes millions of short lines: a large buffer keeps the
    // number of system calls small. It must be in place before the open.
    buffer_.resize(OUTPUT_BUFFER_BYTES);
    stream_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    stream_.open(temporaryPath_, std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        temporaryPath_.clear();
        return "cannot write output file " + path;
    }
    return {};
}

void PendingOutput::writeLine(std::string_view text) {
    if (stream_.is_open()) {
        stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
        stream_.write("\r\n", 2);
    }
}

std::string PendingOutput::finish() {
    if (!stream_.is_open()) {
        return {};
    }
    stream_.close();
    if (stream_.fail()) {
        discard();
        return "cannot write output file " + path_;
    }
    return {};
}

std::string PendingOutput::moveIntoPlace() {
    if (temporaryPath_.empty()) {
        return {};
    }
    const std::error_code error = replaceFile(temporaryPath_, path_);
    if (error) {
        discard();
        return "cannot write output file " + path_ + ": " + error.message();
    }
    temporaryPath_.clear();
    moved_ = true;
    return {};
}

void PendingOutput::withdraw() {
    if (moved_) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        moved_ = false;
    }
}

void PendingOutput::discard() {
    if (stream_.is_open()) {
        stream_.close();
    }
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporaryPath_, ignored);
        temporaryPath_.clear();
    }
}

} // namespace vz
