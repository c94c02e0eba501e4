#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vz {

// Why a chosen wave file cannot be played.
enum class WaveProblem {
    None,
    CannotOpen,   // missing, unreadable, or not a regular file
    NotAWaveFile, // no RIFF WAVE header
    CannotDecode, // a wave file in an encoding or shape nothing here decodes
    NoSound,      // a wave file without a single sample
};

// The sound of a wave file as interleaved 16-bit samples of one or two
// channels, ready for any audio output.
struct DecodedWave {
    WaveProblem problem = WaveProblem::None;
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const {
        return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
    }
};

// Alert sounds last seconds; a long recording chosen by mistake plays its
// first five minutes only, and fewer at rates above 48 kHz stereo, so that it
// cannot take the program's memory (about 55 MiB of samples at most).
inline constexpr int LONGEST_WAVE_SECONDS = 300;
inline constexpr std::size_t MOST_WAVE_SAMPLES = 300UL * 48000UL * 2UL;
inline constexpr int LOWEST_WAVE_RATE = 1000;
inline constexpr int HIGHEST_WAVE_RATE = 384000;

// Reads and decodes a whole wave file in any encoding libsndfile knows (PCM of
// 8 to 32 bits, float, IMA and Microsoft ADPCM, mu-law, A-law, GSM and more).
// Files of more than two channels keep their first two. Never blocks on a
// FIFO or device: those are files that cannot be opened.
DecodedWave decodeWaveFile(const std::string& path);

} // namespace vz
