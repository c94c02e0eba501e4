#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

// Wave files played through the toolkit's audio output, one at a time, as the
// platform's wave player does: a new sound stops the one still playing, and
// nothing waits for a sound to end. Each file is decoded once and its samples
// kept while it is among the last few files asked for (the options window has
// four sound fields); a file that changed on disk since is decoded again.
//
// The output itself lives in the sound module, loaded on the first sound
// asked for: most sessions never sound an alert, and the audio libraries
// cost start-up time and memory. Without the module nothing can be played;
// stderr tells why, once per run. GUI thread only; the event loop feeds the
// output.
class QtSound {
public:
    // Looks for the module beside the program, then in the folder the
    // program's installation keeps it in.
    QtSound();
    // Looks for the module in these folders, in this order.
    explicit QtSound(std::vector<std::string> moduleFolders);
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;
    QtSound(QtSound&&) = delete;
    QtSound& operator=(QtSound&&) = delete;
    ~QtSound();

    // Stops the current sound, then starts the file and returns at once. An
    // empty path only stops; a file that cannot be played plays nothing.
    void play(std::string_view path);
    // Whether the file decodes to a sound; loads it for play if needed.
    bool canPlay(std::string_view path);

    // --- inspection, for tests ---
    bool playing() const;
    // How many times a file was read and decoded since construction.
    int decodeCount() const;
    // The module's file name in any of the folders.
    static std::string moduleFileName();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vz
