#pragma once

#include "common/stop_signal.h"

#include <array>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace vz {

// Reads a file descriptor that may block for as long as it likes: a FIFO
// waiting for its writer, a terminal, a pipe. A read cut short by a signal
// ends the input (as an end of file) once `stop` is set, and is simply
// retried otherwise, so a stop request is never mistaken for a read error.
// A real read error shows as a bad stream.
class InterruptibleFileBuf final : public std::streambuf {
public:
    InterruptibleFileBuf(int descriptor, const StopFlag* stop, bool owned);
    InterruptibleFileBuf(const InterruptibleFileBuf&) = delete;
    InterruptibleFileBuf& operator=(const InterruptibleFileBuf&) = delete;
    ~InterruptibleFileBuf() override;

protected:
    int_type underflow() override;

private:
    int descriptor_;
    const StopFlag* stop_;
    bool owned_;
    std::array<char, 1 << 16> buffer_{};
};

// The tick file, open for reading. The open itself may wait (a FIFO without a
// writer) and gives up like a read does when `stop` is set.
class TickFile {
public:
    explicit TickFile(const StopFlag* stop) : stop_(stop) {}
    TickFile(const TickFile&) = delete;
    TickFile& operator=(const TickFile&) = delete;

    // "" when open; otherwise the reason, without the file name. Check the
    // stop flag first: an open given up for it fails too. Call once.
    std::string open(const std::string& path);
    std::istream& stream() { return stream_; }

private:
    const StopFlag* stop_;
    std::unique_ptr<InterruptibleFileBuf> buffer_;
    std::istream stream_{nullptr};
};

} // namespace vz
