#pragma once

#include <fstream>
#include <string>

namespace vz {

// An output file that appears under its name only when complete: it is
// written to a temporary name in the same folder and renamed by commit().
// Destroyed uncommitted, it removes the temporary file.
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
    void writeLine(const std::string& text);
    std::string commit();

private:
    void discard();

    std::string path_;
    std::string temporaryPath_;
    std::ofstream stream_;
};

} // namespace vz
