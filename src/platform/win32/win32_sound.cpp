#include "platform/win32/win32_ui.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mmsystem.h>
#include <optional>
#include <string>
#include <vector>

namespace vz {

namespace {

// A "fmt " chunk is a few dozen bytes; anything far larger is not a wave file.
constexpr std::uint32_t MAX_FORMAT_BYTES = 1024;
// Chunks looked at before "fmt " must turn up.
constexpr int MAX_CHUNKS = 64;

std::uint32_t littleEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

// The bytes of the "fmt " chunk of a RIFF/WAVE file, or nothing when the
// file is missing, is not a wave file or has no format.
std::optional<std::vector<char>> waveFormatOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[12];
    if (!in.read(header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    for (int chunk = 0; chunk < MAX_CHUNKS; ++chunk) {
        char chunkHeader[8];
        if (!in.read(chunkHeader, sizeof chunkHeader)) {
            return std::nullopt;
        }
        const std::uint32_t size = littleEndian32(chunkHeader + 4);
        if (std::memcmp(chunkHeader, "fmt ", 4) == 0) {
            if (size < 16 || size > MAX_FORMAT_BYTES) {
                return std::nullopt;
            }
            std::vector<char> format(size);
            if (!in.read(format.data(), size)) {
                return std::nullopt;
            }
            return format;
        }
        // Chunks are padded to an even length.
        in.seekg(static_cast<std::streamoff>(size) + (size & 1U), std::ios::cur);
    }
    return std::nullopt;
}

// Whether the wave mapper (with the codecs it can reach) would play the
// format; a machine with no output device at all is judged by the file alone.
bool formatPlays(const std::vector<char>& format) {
    if (waveOutGetNumDevs() == 0) {
        return true;
    }
    std::vector<char> described(std::max(format.size(), sizeof(WAVEFORMATEX)), '\0');
    std::memcpy(described.data(), format.data(), format.size());
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(described.data());
    if (format.size() < sizeof(WAVEFORMATEX)) {
        wave->cbSize = 0;
    }
    return waveOutOpen(nullptr, WAVE_MAPPER, wave, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

} // namespace

bool Win32Ui::canPlayWave(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const auto format = waveFormatOf(std::string(path));
    return format && formatPlays(*format);
}

} // namespace vz
