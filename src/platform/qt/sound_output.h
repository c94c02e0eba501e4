#pragma once

#include <string_view>

namespace vz {

// What the program's sound module offers: wave files played one at a time,
// each decoded once while it stays among the last few asked for. The module
// brings the audio output and codec libraries with it, so a program that
// never sounds an alert never loads them. GUI thread only.
class SoundOutput {
public:
    SoundOutput() = default;
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;
    SoundOutput(SoundOutput&&) = delete;
    SoundOutput& operator=(SoundOutput&&) = delete;
    virtual ~SoundOutput() = default;

    // Stops the current sound, then starts the file and returns at once. An
    // empty path only stops; a file that cannot be played plays nothing.
    virtual void play(std::string_view path) = 0;
    // Whether the file decodes to a sound; loads it for play if needed.
    virtual bool canPlay(std::string_view path) = 0;
    virtual bool playing() const = 0;
    // How many times a file was read and decoded since construction.
    virtual int decodeCount() const = 0;
};

// The module's one entry point, looked up by this name. The name carries the
// version of the interface above, so a module built against another shape of
// it is refused instead of called. Returns null when out of memory.
inline constexpr const char* SOUND_OUTPUT_ENTRY_POINT = "vurezer_create_sound_output_v1";
using CreateSoundOutput = SoundOutput* (*)() noexcept;

} // namespace vz

extern "C" vz::SoundOutput* vurezer_create_sound_output_v1() noexcept;
