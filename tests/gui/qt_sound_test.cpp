#include "../sound/wave_bytes.h"

#include "platform/qt/qt_sound.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace vz {
namespace {

namespace fs = std::filesystem;

// Only what needs no sound output: which files can be played and how often
// they are decoded. Hearing them is the audible-alert test's part.
class QtSoundTest : public ::testing::Test {
protected:
    QtSoundTest() { fs::create_directories(root); }
    ~QtSoundTest() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string write(const std::string& name, const std::string& bytes) {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return (root / name).string();
    }
    std::string wave(const std::string& name, std::size_t sampleBytes = 800) {
        return write(name, testing::riffWave(testing::WAVE_PCM, std::string(sampleBytes, '\x20')));
    }

    fs::path root = fs::temp_directory_path() / ("vurezer-sound-" + std::to_string(::getpid()));
    QtSound sound;
};

TEST_F(QtSoundTest, OnlyADecodableWaveFileCanBePlayed) {
    const std::string text = write("notes.wav", "not a sound");
    EXPECT_EQ(std::vector<bool>({sound.canPlay(wave("bell.wav")), sound.canPlay(text),
                                 sound.canPlay((root / "absent.wav").string()), sound.canPlay("")}),
              std::vector<bool>({true, false, false, false}));
    sound.play(text);
    EXPECT_FALSE(sound.playing());
    sound.play("");
    EXPECT_FALSE(sound.playing());
}

TEST_F(QtSoundTest, EachFileIsDecodedOnceWhileItStaysAmongTheChosen) {
    const std::string bell = wave("bell.wav");
    sound.canPlay(bell);
    sound.canPlay(bell);
    sound.play(bell + "-missing"); // a failure is kept as well
    sound.play(bell + "-missing");
    EXPECT_EQ(sound.decodeCount(), 2);

    sound.canPlay(wave("a.wav"));
    sound.canPlay(wave("b.wav"));
    sound.canPlay(bell);
    EXPECT_EQ(sound.decodeCount(), 4) << "four files are kept";
    sound.canPlay(wave("c.wav"));
    sound.canPlay(bell + "-missing");
    EXPECT_EQ(sound.decodeCount(), 6) << "a fifth pushes out the one least recently asked for";
}

TEST_F(QtSoundTest, AFileChangedOnDiskIsDecodedAgain) {
    const std::string bell = wave("bell.wav");
    EXPECT_TRUE(sound.canPlay(bell));
    write("bell.wav", "broken now");
    EXPECT_FALSE(sound.canPlay(bell));
    wave("bell.wav", 400);
    EXPECT_TRUE(sound.canPlay(bell));
    EXPECT_EQ(sound.decodeCount(), 3);
}

} // namespace
} // namespace vz
