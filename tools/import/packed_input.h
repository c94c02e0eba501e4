#pragma once

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

enum class Packing { None, Xz, Gzip, Zip };

// Told by the leading bytes, whatever the file is called.
Packing packingOf(std::string_view bytes);

// Bar files are a few megabytes; anything that unpacks past this is not one.
inline constexpr std::size_t MAX_INPUT_BYTES = std::size_t{1} << 30;

class UnpackingBuffer;

// The text of a bar file as a stream, unpacked on the fly when it is xz,
// gzip or zip data, so that a large file never sits in memory whole. A zip
// must hold exactly one bar file (text files such as a download's status
// report beside it are passed over). When opening failed or the data turns
// out damaged, cut short or too large, the stream ends early and error()
// says why: check it after reading, before anything read is trusted.
class InputText {
public:
    explicit InputText(const std::filesystem::path& path);
    explicit InputText(std::string bytes);
    ~InputText();
    InputText(const InputText&) = delete;
    InputText& operator=(const InputText&) = delete;

    std::istream& stream() { return stream_; }
    // Says what is wrong, without the file name.
    std::optional<std::string> error() const;
    // The name of the file read from inside a zip, when there was one.
    const std::string& innerName() const;

private:
    std::unique_ptr<UnpackingBuffer> buffer_;
    std::istream stream_;
};

struct UnpackedText {
    std::string text;
    std::optional<std::string> error; // says what is wrong, without the file name
};

// The bytes as they are, or unpacked when they are xz, gzip or zip data.
// Corrupt or cut-short data is an error, never a partial text.
UnpackedText unpack(std::string bytes);

// Reads a whole file and unpacks it as above.
UnpackedText readInputFile(const std::filesystem::path& path);

} // namespace vz
