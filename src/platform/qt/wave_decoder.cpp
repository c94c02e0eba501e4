#include "platform/qt/wave_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vz {

namespace {

constexpr sf_count_t CHUNK_FRAMES = 4096;
constexpr int MOST_CHANNELS_KEPT = 2;
constexpr std::size_t HEADER_SIZE = 12;
constexpr float FULL_SCALE = 32767.0F;

// Owns a descriptor; libsndfile is told not to close it, so there is exactly
// one close whatever happens in between.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

// A FIFO or device named like a wave file must not hold up the GUI thread, so
// the file is opened without waiting and only a regular file is accepted.
bool isRegularFile(int fd) {
    struct stat status {};
    return fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// "RIFF" (or big-endian "RIFX"), a length, then "WAVE".
bool hasWaveHeader(int fd) {
    std::array<char, HEADER_SIZE> header{};
    if (::pread(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) {
        return false;
    }
    const bool riff =
        std::memcmp(header.data(), "RIFF", 4) == 0 || std::memcmp(header.data(), "RIFX", 4) == 0;
    return riff && std::memcmp(header.data() + 8, "WAVE", 4) == 0;
}

bool isWaveContainer(int format) {
    const int container = format & SF_FORMAT_TYPEMASK;
    return container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX;
}

bool playableShape(const SF_INFO& info) {
    return info.channels >= 1 && info.samplerate >= LOWEST_WAVE_RATE &&
           info.samplerate <= HIGHEST_WAVE_RATE;
}

std::int16_t toSample(float value) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(value, -1.0F, 1.0F) * FULL_SCALE));
}

// Reads up to `wanted` frames, keeping the first one or two channels of each.
// Every encoding is read as float and scaled here, so integer and float files
// play at the loudness they were made at, and float samples beyond full scale
// are clipped rather than wrapped into noise.
void readSamples(SNDFILE* file, const SF_INFO& info, sf_count_t wanted, DecodedWave& wave) {
    const auto channels = static_cast<std::size_t>(info.channels);
    const auto kept = static_cast<std::size_t>(wave.channels);
    std::vector<float> chunk(static_cast<std::size_t>(CHUNK_FRAMES) * channels);
    wave.samples.reserve(static_cast<std::size_t>(std::min(wanted, info.frames)) * kept);
    sf_count_t total = 0;
    while (total < wanted) {
        const sf_count_t read =
            sf_readf_float(file, chunk.data(), std::min(CHUNK_FRAMES, wanted - total));
        if (read <= 0) {
            break;
        }
        for (std::size_t frame = 0; frame < static_cast<std::size_t>(read); ++frame) {
            for (std::size_t channel = 0; channel < kept; ++channel) {
                wave.samples.push_back(toSample(chunk[frame * channels + channel]));
            }
        }
        total += read;
    }
}

} // namespace

DecodedWave decodeWaveFile(const std::string& path) {
    DecodedWave wave;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!isRegularFile(fd.get())) {
        wave.problem = WaveProblem::CannotOpen;
        return wave;
    }
    if (!hasWaveHeader(fd.get())) {
        wave.problem = WaveProblem::NotAWaveFile;
        return wave;
    }
    SF_INFO info{};
    const SoundFile file(sf_open_fd(fd.get(), SFM_READ, &info, SF_FALSE));
    if (!file || !isWaveContainer(info.format) || !playableShape(info)) {
        wave.problem = WaveProblem::CannotDecode;
        return wave;
    }
    wave.sampleRate = info.samplerate;
    wave.channels = std::min(info.channels, MOST_CHANNELS_KEPT);
    const sf_count_t longest =
        std::min(static_cast<sf_count_t>(info.samplerate) * LONGEST_WAVE_SECONDS,
                 static_cast<sf_count_t>(MOST_WAVE_SAMPLES) / wave.channels);
    readSamples(file.get(), info, std::min(info.frames, longest), wave);
    if (wave.samples.empty()) {
        wave.problem = info.frames > 0 ? WaveProblem::CannotDecode : WaveProblem::NoSound;
    }
    return wave;
}

} // namespace vz
