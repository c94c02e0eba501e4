#include "replay/pending_output.h"

#include <filesystem>
#include <system_error>

namespace vz {

PendingOutput::~PendingOutput() {
    discard();
}

std::string PendingOutput::open(const std::string& path) {
    path_ = path;
    temporaryPath_ = path + ".partial";
    stream_.open(temporaryPath_, std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        temporaryPath_.clear();
        return "cannot write output file " + path;
    }
    return {};
}

void PendingOutput::writeLine(const std::string& text) {
    if (stream_.is_open()) {
        stream_ << text << "\r\n";
    }
}

std::string PendingOutput::commit() {
    if (!stream_.is_open()) {
        return {};
    }
    stream_.close();
    if (stream_.fail()) {
        discard();
        return "cannot write output file " + path_;
    }
    std::error_code error;
    std::filesystem::rename(temporaryPath_, path_, error);
    if (error) {
        discard();
        return "cannot write output file " + path_ + ": " + error.message();
    }
    temporaryPath_.clear();
    return {};
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
