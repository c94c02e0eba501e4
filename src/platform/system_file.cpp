#include "platform/system_file.h"

#include <algorithm>
#include <cstring>

namespace vz {

namespace {

// Written bytes are gathered up to this size before they go to the system:
// a saved event log is thousands of short lines.
constexpr std::size_t WRITE_BUFFER_BYTES = 64 * 1024;
// Only readByte and peekByte use this; readBlock goes straight to the file.
constexpr std::size_t BYTE_BUFFER_BYTES = 4 * 1024;

} // namespace

int SystemTextFile::readByte() {
    const int next = peekByte();
    if (next >= 0) {
        ++bytePos_;
    }
    return next;
}

int SystemTextFile::peekByte() {
    if (bytePos_ == byteEnd_ && !refillBytes()) {
        return -1;
    }
    return static_cast<unsigned char>(bytes_[bytePos_]);
}

std::size_t SystemTextFile::readBlock(char* buffer, std::size_t size) {
    if (bytePos_ < byteEnd_) {
        const std::size_t count = std::min(size, byteEnd_ - bytePos_);
        std::memcpy(buffer, bytes_.data() + bytePos_, count);
        bytePos_ += count;
        return count;
    }
    if (!isOpen() || size == 0) {
        return 0;
    }
    return readRaw(buffer, size);
}

bool SystemTextFile::write(std::string_view bytes) {
    if (!isOpen() || failed_) {
        return false;
    }
    pending_.append(bytes);
    if (pending_.size() >= WRITE_BUFFER_BYTES) {
        flush();
    }
    return !failed_;
}

bool SystemTextFile::close() {
    if (!isOpen()) {
        return closedCleanly_;
    }
    flush();
    const bool closed = closeRaw();
    closedCleanly_ = !failed_ && closed;
    return closedCleanly_;
}

bool SystemTextFile::refillBytes() {
    if (!isOpen()) {
        return false;
    }
    bytes_.resize(BYTE_BUFFER_BYTES);
    bytePos_ = 0;
    byteEnd_ = readRaw(bytes_.data(), bytes_.size());
    return byteEnd_ > 0;
}

void SystemTextFile::flush() {
    if (!pending_.empty()) {
        failed_ = !writeRaw(pending_.data(), pending_.size()) || failed_;
        pending_.clear();
    }
}

} // namespace vz
