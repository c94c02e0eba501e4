#include "../sound/wave_bytes.h"

#include "platform/qt/qt_sound.h"

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

namespace fs = std::filesystem;

// Only what needs no sound output: which files can be played and how often
// they are decoded. Hearing them is the audible-alert test's part.
class QtSoundTest : public ::testing::Test {
protected:
    std::string wave(const std::string& name, std::size_t sampleBytes = 800) {
        return folder.write(name,
                            testing::riffWave(testing::WAVE_PCM, std::string(sampleBytes, '\x20')));
    }

    testing::WaveFolder folder;
    const fs::path& root = folder.root;
    QtSound sound; // finds its module beside the test, as beside the program
};

TEST_F(QtSoundTest, OnlyADecodableWaveFileCanBePlayed) {
    const std::string text = folder.write("notes.wav", "not a sound");
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
    folder.write("bell.wav", "broken now");
    EXPECT_FALSE(sound.canPlay(bell));
    wave("bell.wav", 400);
    EXPECT_TRUE(sound.canPlay(bell));
    EXPECT_EQ(sound.decodeCount(), 3);
}

TEST_F(QtSoundTest, WithoutItsModuleNothingPlaysAndNothingBreaks) {
    fs::create_directories(root / "empty");
    fs::create_directories(root / "broken");
    folder.write("broken/" + QtSound::moduleFileName(), "not a library");
    const std::string bell = wave("bell.wav");
    QtSound silent({(root / "empty").string(), (root / "broken").string(),
                    VUREZER_STALE_SOUND_MODULE_DIR, (root / "absent").string()});

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(silent.canPlay(bell));
    silent.play(bell);
    QtSound alsoSilent({(root / "empty").string()});
    alsoSilent.play(bell);
    const std::string told = ::testing::internal::GetCapturedStderr();

    EXPECT_FALSE(silent.playing());
    EXPECT_EQ(silent.decodeCount(), 0);
    EXPECT_NE(told.find((root / "broken" / QtSound::moduleFileName()).string()), std::string::npos)
        << told;
    EXPECT_NE(told.find("no entry point"), std::string::npos) << told;
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << "told once per run: " << told;
}

TEST_F(QtSoundTest, TheModuleIsLookedForInEachFolderInTurn) {
    fs::create_directories(root / "empty");
    QtSound searching(
        {(root / "empty").string(), QCoreApplication::applicationDirPath().toStdString()});
    EXPECT_TRUE(searching.canPlay(wave("bell.wav")));
    EXPECT_EQ(searching.decodeCount(), 1);
}

} // namespace
} // namespace vz
