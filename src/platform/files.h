#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

// "R": an existing file for reading, shared with writers.
// "W": created, or emptied if it exists.
// "A": opened, or created if missing, for writing at its end.
enum class FileMode { Read, Write, Append };

class TextFile {
public:
    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&&) = delete;
    TextFile& operator=(TextFile&&) = delete;
    virtual ~TextFile() = default;

    // Next byte as 0..255, or -1 at the end of the file.
    virtual int readByte() = 0;
    // The byte readByte would return next, without consuming it.
    virtual int peekByte() = 0;
    // Up to `size` bytes into `buffer`, continuing where readByte left off.
    // It may return fewer before the end of the file; 0 means the end (or a
    // read error). The loaders read whole blocks through it instead of making
    // a call per byte.
    virtual std::size_t readBlock(char* buffer, std::size_t size);
    // False when the bytes could not all be written.
    virtual bool write(std::string_view bytes) = 0;
    // False when buffered data could not be flushed or the file not closed.
    virtual bool close() = 0;
};

class FileSystem {
public:
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    FileSystem(FileSystem&&) = delete;
    FileSystem& operator=(FileSystem&&) = delete;
    virtual ~FileSystem() = default;

    // nullptr when the file cannot be opened in that mode. For reading only a
    // regular file opens: a folder, a device or a pipe counts as a file that
    // cannot be opened, and opening never waits for another program.
    virtual std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) = 0;
    virtual bool exists(const std::string& path) = 0;
    // When the content of the regular file at `path` last changed, in
    // nanoseconds since 1970-01-01 00:00 UTC; nullopt when there is no such
    // file or its time cannot be read. Files without times answer nullopt.
    virtual std::optional<std::int64_t> modifiedTime(const std::string& path);
    // Puts `from` in place of `to` in one step, replacing any file there, so
    // readers see the old file or the complete new one. A file system that
    // cannot do that reports false.
    virtual bool replaceFile(const std::string& /*from*/, const std::string& /*to*/) {
        return false;
    }
    // True when the file is gone afterwards (a missing file counts).
    virtual bool removeFile(const std::string& /*path*/) { return false; }
};

// The operating system's files (files_posix.cpp or files_win32.cpp).
class StdFileSystem final : public FileSystem {
public:
    std::unique_ptr<TextFile> openFile(const std::string& path, FileMode mode) override;
    bool exists(const std::string& path) override;
    std::optional<std::int64_t> modifiedTime(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
};

// Writes the text followed by CR LF.
bool writeTextLine(TextFile& file, std::string_view text);
bool closeFile(TextFile& file);

// The folder of the running executable with a trailing separator, or "" when
// it cannot be found.
std::string executableFolder();

} // namespace vz
