#include "platform/files.h"

#include <filesystem>
#include <system_error>

namespace vz {

std::size_t TextFile::readBlock(char* buffer, std::size_t size) {
    std::size_t count = 0;
    while (count < size) {
        const int byte = readByte();
        if (byte < 0) {
            break;
        }
        buffer[count++] = static_cast<char>(byte);
    }
    return count;
}

std::optional<std::int64_t> FileSystem::modifiedTime(const std::string&) {
    return std::nullopt;
}

bool StdFileSystem::exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool writeTextLine(TextFile& file, std::string_view text) {
    const bool wroteText = file.write(text);
    const bool wroteEnd = file.write("\r\n");
    return wroteText && wroteEnd;
}

bool closeFile(TextFile& file) {
    return file.close();
}

} // namespace vz
