#include "wave_bytes.h"

#include "platform/qt/wave_decoder.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vz {
namespace {

namespace fs = std::filesystem;

using testing::WaveFolder;

// Generates a tone with sox, an encoder that shares nothing with the decoder.
// Each channel gets its own frequency, at half of full scale.
std::string makeTone(const WaveFolder& folder, const std::string& name, const std::string& encoding,
                     int rate, const std::vector<int>& tones, const std::string& length) {
    std::string synth;
    for (const int tone : tones) {
        synth += " sine " + std::to_string(tone);
    }
    const std::string path = folder.file(name);
    // The rate goes on both sides, so that a length in samples counts at it.
    const std::string rateOption = "-r " + std::to_string(rate);
    const std::string command = "sox -D " + rateOption + " -n " + rateOption + " -c " +
                                std::to_string(tones.size()) + " " + encoding + " '" + path +
                                "' synth " + length + synth + " vol 0.5";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

// Frequency from the zero crossings of one channel, and its peak. A crossing
// counts once the signal is clearly on the other side, so that the noise of
// a lossy encoding near zero adds none.
struct ToneMeasure {
    double hertz = 0;
    int peak = 0;
};

ToneMeasure measure(const DecodedWave& wave, int channel) {
    constexpr int CLEARLY = 2000;
    ToneMeasure tone;
    int crossings = 0;
    int side = 0; // -1 below, +1 above, 0 not yet known
    const auto channels = static_cast<std::size_t>(wave.channels);
    for (std::size_t i = static_cast<std::size_t>(channel); i < wave.samples.size();
         i += channels) {
        const int sample = wave.samples[i];
        tone.peak = std::max(tone.peak, std::abs(sample));
        const int now = sample > CLEARLY ? 1 : sample < -CLEARLY ? -1 : side;
        crossings += side != 0 && now != side ? 1 : 0;
        side = now;
    }
    const double seconds = static_cast<double>(wave.frames()) / wave.sampleRate;
    tone.hertz = crossings / 2.0 / seconds;
    return tone;
}

struct EncodingCase {
    const char* name;
    const char* soxEncoding;
    int rate;
    std::vector<int> tones; // one per channel
    int frames;             // whole blocks for the block-coded encodings
};

// Test names and messages show the case by name, not as raw bytes.
void PrintTo(const EncodingCase& c, std::ostream* out) {
    *out << c.name;
}

// Half of full scale, give or take what a lossy encoding loses.
constexpr int HALF_SCALE = 16384;
constexpr int PEAK_TOLERANCE = 2500;

class EveryEncoding : public ::testing::TestWithParam<EncodingCase> {
protected:
    WaveFolder folder;
};

TEST_P(EveryEncoding, DecodesToItsLengthAndTone) {
    const EncodingCase& c = GetParam();
    const std::string path = makeTone(folder, std::string(c.name) + ".wav", c.soxEncoding, c.rate,
                                      c.tones, std::to_string(c.frames) + "s");
    const DecodedWave wave = decodeWaveFile(path);
    ASSERT_EQ(wave.problem, WaveProblem::None);
    const int kept = std::min<int>(2, static_cast<int>(c.tones.size()));
    EXPECT_EQ(std::to_string(wave.sampleRate) + " Hz, " + std::to_string(wave.channels) + " ch, " +
                  std::to_string(wave.frames()) + " frames",
              std::to_string(c.rate) + " Hz, " + std::to_string(kept) + " ch, " +
                  std::to_string(c.frames) + " frames");
    for (int channel = 0; channel < kept; ++channel) {
        const ToneMeasure tone = measure(wave, channel);
        const int expected = c.tones[static_cast<std::size_t>(channel)];
        EXPECT_NEAR(tone.hertz, expected, expected * 0.03) << "channel " << channel;
        EXPECT_NEAR(tone.peak, HALF_SCALE, PEAK_TOLERANCE) << "channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Wave, EveryEncoding,
    ::testing::Values(
        EncodingCase{"pcm8", "-e unsigned-integer -b 8", 11025, {440}, 4000},
        EncodingCase{"float64", "-e floating-point -b 64", 16000, {440, 660}, 3000},
        // sox's IMA encoder garbles a second channel that differs from the
        // first (its own decoder hears the glitches too), so both carry one tone.
        EncodingCase{"imaStereo", "-e ima-adpcm", 44100, {440, 440}, 505 * 16},
        EncodingCase{"msStereo", "-e ms-adpcm", 11025, {440, 660}, 500 * 8},
        EncodingCase{"muLaw", "-e u-law", 8000, {440}, 4000},
        EncodingCase{"gsm", "-e gsm-full-rate", 8000, {440}, 320 * 12},
        // More than two channels: the first two are played.
        EncodingCase{
            "surround", "-e signed-integer -b 24", 48000, {440, 660, 880, 220, 330, 550}, 4800}),
    [](const ::testing::TestParamInfo<EncodingCase>& row) { return row.param.name; });

class UnplayableWave : public ::testing::Test {
protected:
    WaveFolder folder;
    WaveProblem problemOf(const std::string& path) { return decodeWaveFile(path).problem; }
};

TEST_F(UnplayableWave, EachReasonIsToldApart) {
    const std::string tone(2000, '\x10');
    EXPECT_EQ(problemOf(folder.file("absent.wav")), WaveProblem::CannotOpen);
    fs::create_directories(folder.file("folder.wav"));
    EXPECT_EQ(problemOf(folder.file("folder.wav")), WaveProblem::CannotOpen);
    EXPECT_EQ(problemOf(folder.write("text.wav", "not a sound\r\n")), WaveProblem::NotAWaveFile);
    EXPECT_EQ(problemOf(folder.write("unknown.wav", testing::riffWave(0x5A5A, tone))),
              WaveProblem::CannotDecode);
    EXPECT_EQ(problemOf(folder.write("empty.wav", testing::riffWave(testing::WAVE_PCM, ""))),
              WaveProblem::NoSound);
    EXPECT_EQ(
        problemOf(makeTone(folder, "slow.wav", "-e signed-integer -b 16", 400, {100}, "100s")),
        WaveProblem::CannotDecode);
}

TEST_F(UnplayableWave, AFifoIsRefusedWithoutWaitingForAWriter) {
    const std::string path = folder.file("fifo.wav");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(problemOf(path), WaveProblem::CannotOpen);
}

TEST(LongWave, PlaysItsFirstFiveMinutesOrFewerAtHighRates) {
    const WaveFolder folder;
    const DecodedWave slow =
        decodeWaveFile(makeTone(folder, "long.wav", "-e u-law", 2000, {100}, "301"));
    EXPECT_EQ(slow.problem, WaveProblem::None);
    EXPECT_EQ(slow.frames(), 2000U * LONGEST_WAVE_SECONDS);
    // Memory, not time, bounds a high rate: here 76 s of mono at 384 kHz, as
    // bytes (sox takes seconds to make them).
    const std::string bytes(76UL * HIGHEST_WAVE_RATE, '\x10');
    const DecodedWave fast = decodeWaveFile(folder.write(
        "fast.wav", testing::riffWave(testing::WAVE_MU_LAW, bytes, {HIGHEST_WAVE_RATE, 1, 8})));
    EXPECT_EQ(fast.samples.size(), MOST_WAVE_SAMPLES);
}

} // namespace
} // namespace vz
