#pragma once

#include "platform/files.h"

#include <string>

namespace vz {

// What both systems' files share: reads go to the system in blocks, written
// bytes are gathered until close. Each system supplies the raw calls on its
// own handle; a subclass's destructor calls close(), since the raw calls are
// gone by the time this destructor runs.
class SystemTextFile : public TextFile {
public:
    int readByte() override;
    int peekByte() override;
    std::size_t readBlock(char* buffer, std::size_t size) override;
    bool write(std::string_view bytes) override;
    bool close() override;

protected:
    // Bytes read into `buffer`, 0 at the end of the file or on an error.
    virtual std::size_t readRaw(char* buffer, std::size_t size) = 0;
    // False when not every byte could be written.
    virtual bool writeRaw(const char* bytes, std::size_t size) = 0;
    // Gives the handle back; false when the system reports a failure.
    virtual bool closeRaw() = 0;
    virtual bool isOpen() const = 0;

private:
    bool refillBytes();
    void flush();

    std::string bytes_;
    std::size_t bytePos_ = 0;
    std::size_t byteEnd_ = 0;
    std::string pending_;
    bool failed_ = false;
    bool closedCleanly_ = false;
};

} // namespace vz
