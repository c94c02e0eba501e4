#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

enum class Packing { None, Xz, Gzip };

// Told by the leading bytes, whatever the file is called.
Packing packingOf(std::string_view bytes);

struct UnpackedText {
    std::string text;
    std::optional<std::string> error; // says what is wrong, without the file name
};

// The bytes as they are, or unpacked when they are xz or gzip data. Corrupt or
// cut-short data is an error, never a partial text.
UnpackedText unpack(std::string bytes);

// Reads a whole file and unpacks it as above.
UnpackedText readInputFile(const std::filesystem::path& path);

} // namespace vz
