#include "replay/tick_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ios>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace vz {

namespace {

bool stopRequested(const StopFlag* stop) {
    return stop != nullptr && *stop != 0;
}

} // namespace

InterruptibleFileBuf::InterruptibleFileBuf(int descriptor, const StopFlag* stop, bool owned)
    : descriptor_(descriptor), stop_(stop), owned_(owned) {}

InterruptibleFileBuf::~InterruptibleFileBuf() {
    if (owned_) {
        ::close(descriptor_);
    }
}

InterruptibleFileBuf::int_type InterruptibleFileBuf::underflow() {
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    while (true) {
        const auto count = ::read(descriptor_, buffer_.data(), buffer_.size());
        if (count > 0) {
            setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
            return traits_type::to_int_type(*gptr());
        }
        if (count == 0 || stopRequested(stop_)) {
            return traits_type::eof();
        }
        if (errno != EINTR) {
            // The stream catches this and turns bad.
            throw std::ios_base::failure(std::strerror(errno));
        }
    }
}

std::string TickFile::open(const std::string& path) {
    int descriptor = -1;
    while (true) {
        descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_BINARY);
        if (descriptor >= 0 || errno != EINTR || stopRequested(stop_)) {
            break;
        }
    }
    if (descriptor < 0) {
        return stopRequested(stop_) ? "interrupted" : std::strerror(errno);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        return "it is a folder";
    }
    buffer_ = std::make_unique<InterruptibleFileBuf>(descriptor, stop_, true);
    stream_.rdbuf(buffer_.get());
    return {};
}

} // namespace vz
