#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vz::testing {

struct WaveShape {
    std::uint32_t rate = 8000;
    std::uint16_t channels = 1;
    std::uint16_t bitsPerSample = 16;
};

// The bytes of a RIFF WAVE file with one fmt chunk and one data chunk,
// written out by hand.
inline std::string riffWave(std::uint16_t formatTag, const std::string& data,
                            const WaveShape& shape = {}) {
    const auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return out;
    };
    const std::uint32_t blockAlign = shape.channels * shape.bitsPerSample / 8U;
    const std::string fmt = le(formatTag, 2) + le(shape.channels, 2) + le(shape.rate, 4) +
                            le(shape.rate * blockAlign, 4) + le(blockAlign, 2) +
                            le(shape.bitsPerSample, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" +
                             le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

inline constexpr std::uint16_t WAVE_PCM = 1;
inline constexpr std::uint16_t WAVE_MU_LAW = 7;

// A scratch folder for generated wave files, removed afterwards.
struct WaveFolder {
    WaveFolder() { std::filesystem::create_directories(root); }
    WaveFolder(const WaveFolder&) = delete;
    WaveFolder& operator=(const WaveFolder&) = delete;
    ~WaveFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::string file(const std::string& name) const { return (root / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return file(name);
    }

    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("vurezer-waves-" + std::to_string(::getpid()));
};

} // namespace vz::testing
