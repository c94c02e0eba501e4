#pragma once

#include <cstdint>
#include <string>

namespace vz::testing {

// The bytes of a RIFF WAVE file with one fmt chunk (one channel, 8000 Hz,
// 16 bits) and one data chunk, written out by hand.
inline std::string riffWave(std::uint16_t formatTag, const std::string& data) {
    const auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return out;
    };
    const std::string fmt =
        le(formatTag, 2) + le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2);
    const std::string body = "WAVEfmt " + le(16, 4) + fmt + "data" +
                             le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

inline constexpr std::uint16_t WAVE_PCM = 1;

} // namespace vz::testing
