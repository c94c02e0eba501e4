#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

inline constexpr char PARTIAL_SUFFIX[] = ".partial";
inline constexpr std::size_t OUTPUT_BUFFER_BYTES = 256 * 1024;

// "" when `path` can take an output: it is absent or a regular file (which
// is replaced), and its folder exists. Otherwise a one-line description.
std::string checkOutputTarget(const std::string& path);

// An output file that appears under its name only when complete: it is
// written to a temporary name in the same folder, finished, and then moved
// into place. Destroyed before that, it removes the temporary file.
class PendingOutput {
public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput();

    // "" on success, otherwise a one-line description.
    std::string open(const std::string& path);
    bool isOpen() const { return stream_.is_open(); }
    // Writes the text followed by CR LF; nothing when not open.
    void writeLine(std::string_view text);
    // Flushes and closes the temporary file; "" when all of it was written.
    std::string finish();
    std::string moveIntoPlace();
    // Removes the file moved into place, when a later output of the same run
    // could not be, so no run leaves only some of its outputs behind.
    void withdraw();

private:
    void discard();

    std::string path_;
    std::string temporaryPath_;
    std::vector<char> buffer_;
    std::ofstream stream_;
    bool moved_ = false;
};

} // namespace vz
