#include "platform/qt/sound_output.h"
#include "platform/qt/wave_decoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QMediaDevices>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vz {

namespace {

// One per sound field of the options window.
constexpr std::size_t CACHED_WAVES = 4;
constexpr qint64 OUTPUT_BUFFER_MICROSECONDS = 500'000;
// Beyond its own buffer a sound server may hold a sound for up to a couple of
// seconds before it is heard.
constexpr int SERVER_LATENCY_MARGIN_MS = 2000;

int drainMs(const QAudioSink& sink) {
    const qint64 buffered = sink.format().durationForBytes(static_cast<qint32>(sink.bufferSize()));
    return static_cast<int>(buffered / 1000) + SERVER_LATENCY_MARGIN_MS;
}

// Size and modification time: enough to notice a file replaced on disk.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) {
        return {};
    }
    stamp.modified = std::filesystem::last_write_time(path, error);
    stamp.exists = !error;
    return stamp;
}

struct CachedWave {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const DecodedWave> wave;
};

QAudioFormat formatOf(const DecodedWave& wave) {
    QAudioFormat format;
    format.setSampleRate(wave.sampleRate);
    format.setChannelCount(wave.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// A sound on its way to the output. Members go in reverse order: the sink
// lets go of the buffer before the samples under it are released.
struct Playback {
    std::shared_ptr<const DecodedWave> wave;
    QByteArray bytes;
    QBuffer buffer;
    std::unique_ptr<QAudioSink> sink;
};

// The sound output itself, through the toolkit's audio output. Lives in the
// sound module only; the program reaches it through SoundOutput.
class MultimediaSound final : public SoundOutput {
public:
    MultimediaSound() = default;
    MultimediaSound(const MultimediaSound&) = delete;
    MultimediaSound& operator=(const MultimediaSound&) = delete;
    MultimediaSound(MultimediaSound&&) = delete;
    MultimediaSound& operator=(MultimediaSound&&) = delete;
    ~MultimediaSound() override { stop(); }

    void play(std::string_view path) override {
        stop();
        if (path.empty()) {
            return;
        }
        std::shared_ptr<const DecodedWave> wave = load(std::string(path));
        if (wave->problem == WaveProblem::None) {
            start(std::move(wave));
        }
    }

    bool canPlay(std::string_view path) override {
        return !path.empty() && load(std::string(path))->problem == WaveProblem::None;
    }

    bool playing() const override { return playback != nullptr; }

    int decodeCount() const override { return decodes; }

private:
    std::vector<CachedWave> cache; // most recently asked for first
    std::unique_ptr<Playback> playback;
    QObject context; // receives the sink's signals
    int decodes = 0;
    int playbackSerial = 0; // tells a finished sound from its successors

    std::shared_ptr<const DecodedWave> load(const std::string& path) {
        const FileStamp stamp = stampOf(path);
        const auto found = std::find_if(cache.begin(), cache.end(), [&](const CachedWave& entry) {
            return entry.path == path;
        });
        if (found != cache.end() && found->stamp == stamp) {
            std::rotate(cache.begin(), found, found + 1);
            return cache.front().wave;
        }
        if (found != cache.end()) {
            cache.erase(found);
        }
        ++decodes;
        auto wave = std::make_shared<const DecodedWave>(decodeWaveFile(path));
        cache.insert(cache.begin(), CachedWave{path, stamp, wave});
        if (cache.size() > CACHED_WAVES) {
            cache.pop_back();
        }
        return wave;
    }

    void stop() {
        if (playback && playback->sink) {
            QObject::disconnect(playback->sink.get(), nullptr, &context, nullptr);
            playback->sink->stop();
        }
        playback.reset();
    }

    // Releases the playback later, from outside the sink's own signal, unless
    // a newer sound has replaced it meanwhile.
    void releaseLater(int serial, int delayMs) {
        QTimer::singleShot(delayMs, &context, [this, serial] {
            if (serial == playbackSerial) {
                stop();
            }
        });
    }

    void start(std::shared_ptr<const DecodedWave> wave) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            return; // no sound output on this machine: silent, as for a missing file
        }
        auto next = std::make_unique<Playback>();
        next->wave = std::move(wave);
        const std::vector<std::int16_t>& samples = next->wave->samples;
        next->bytes =
            QByteArray::fromRawData(reinterpret_cast<const char*>(samples.data()),
                                    static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
        next->buffer.setBuffer(&next->bytes);
        next->buffer.open(QIODevice::ReadOnly);
        next->sink = std::make_unique<QAudioSink>(device, formatOf(*next->wave));
        const int serial = ++playbackSerial;
        const QBuffer* source = &next->buffer;
        QAudioSink* sink = next->sink.get();
        QObject::connect(sink, &QAudioSink::stateChanged, &context,
                         [this, serial, source, sink](QAudio::State state) {
                             // Idle also means an underrun with samples still
                             // to come. At their end the output still holds
                             // what it was last handed, and closing it now
                             // would cut the sound's tail.
                             if (state == QAudio::IdleState && source->atEnd()) {
                                 releaseLater(serial, drainMs(*sink));
                             } else if (state == QAudio::StoppedState) {
                                 releaseLater(serial, 0);
                             }
                         });
        // Half a second of samples ahead rides out a busy GUI thread.
        next->sink->setBufferSize(static_cast<qsizetype>(
            formatOf(*next->wave).bytesForDuration(OUTPUT_BUFFER_MICROSECONDS)));
        playback = std::move(next);
        playback->sink->start(&playback->buffer);
    }
};

} // namespace

} // namespace vz

extern "C" Q_DECL_EXPORT vz::SoundOutput* vurezer_create_sound_output_v1() noexcept {
    try {
        return new vz::MultimediaSound;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
