#pragma once

// Pieces shared by the fuzz targets: input split into files or arguments,
// and a check that stops the run at the first breach.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vz::fuzz {

inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts between separators; an empty input is one empty part.
inline std::vector<std::string> splitOn(std::string_view bytes, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find(separator, start);
        parts.emplace_back(bytes.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// A command line: one argument per line.
inline std::vector<std::string> argumentsOf(std::string_view bytes) {
    return bytes.empty() ? std::vector<std::string>{} : splitOn(bytes, '\n');
}

} // namespace vz::fuzz
