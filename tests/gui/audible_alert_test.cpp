// The program's side of the audible-alert test: the whole program on real
// widgets raises the grouping alert with the wave file named in
// VUREZER_ALERT_WAVE. The script around it runs a private sound server and
// records what comes out; these tests only check what the program itself
// shows. Run through audible_alert.sh, not on their own.
#include "qt_program.h"

#include "alerts/alert_options.h"
#include "logging/event_log.h"
#include "shell/main_window.h"

#include <QDialog>
#include <QLineEdit>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz {
namespace {

// The alert sounds for a second, then an empty path stops it, so whatever the
// recording holds began within that second.
constexpr int LISTEN_MS = 1000;
constexpr int STOP_SETTLE_MS = 300;
constexpr int STRONGEST_PAIR = PAIR_COUNT - 1;

class AudibleAlert : public test::QtProgram {
protected:
    // A trader opens the options window before arming an alert in it.
    AudibleAlert() {
        ui.showWindow(options, ShowCommand::Show);
        QApplication::processEvents();
        const char* chosen = std::getenv("VUREZER_ALERT_WAVE");
        wave = chosen != nullptr ? chosen : "";
    }

    // Checks the box and answers the file requester: with the path typed into
    // it, or cancelled when the path is empty.
    void armWithRequester(int box, const std::string& path) {
        test::answerNextModal([path](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (path.empty()) {
                dialog->reject();
                return;
            }
            modal->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
            dialog->accept();
        });
        click(options, box);
    }
    // A path the requester would not take (a missing file) is typed into the field.
    void typeSoundPath(int field, const std::string& path) {
        QTest::keyClicks(ui.controlWidget(options, field), QString::fromStdString(path));
    }
    void pickDay() { pick(main, REFERENCE_DAY_LIST, 0); }
    std::vector<std::string> eventLog() {
        std::vector<std::string> rows;
        for (int row = ui.reportRowCount(main, EVENT_LOG_LIST) - 1; row >= 0; --row) {
            rows.push_back(ui.reportGetCell(main, EVENT_LOG_LIST, row, 2));
        }
        return rows;
    }
    void listenThenStop() {
        QTest::qWait(LISTEN_MS);
        ui.playWave("");
        EXPECT_FALSE(ui.wavePlaying()) << "an empty path stops the sound";
        QTest::qWait(STOP_SETTLE_MS);
    }

    std::string wave;
};

TEST_F(AudibleAlert, TheChosenWaveSoundsWhenTheAlertFires) {
    ASSERT_FALSE(wave.empty()) << "VUREZER_ALERT_WAVE names the wave file to play";
    armWithRequester(OPT_GROUPING_BOX, wave);
    ASSERT_EQ(ui.getControlText(options, OPT_GROUPING_SOUND), wave);
    pickDay();
    EXPECT_EQ(std::ranges::count(eventLog(), "Pairs are perfectly grouped."), 1);
    EXPECT_TRUE(ui.wavePlaying()) << "playing in the background while the program goes on";
    listenThenStop();
}

TEST_F(AudibleAlert, AMissingWaveIsSilentAndToldOnce) {
    ASSERT_FALSE(wave.empty()) << "VUREZER_ALERT_WAVE names the missing wave file";
    armWithRequester(OPT_GROUPING_BOX, "");
    typeSoundPath(OPT_GROUPING_SOUND, wave);
    armWithRequester(OPT_PAIR_BOX, "");
    typeSoundPath(OPT_PAIR_SOUND, wave);
    pick(options, OPT_PAIR_LIST, STRONGEST_PAIR);
    pick(options, OPT_SLOT_LIST, 0);
    pickDay();
    const std::vector<std::string> log = eventLog();
    const auto grouped = std::ranges::find(log, "Pairs are perfectly grouped.");
    ASSERT_LE(grouped + 3, log.end());
    EXPECT_EQ(std::vector<std::string>(grouped, grouped + 3),
              (std::vector<std::string>{
                  "Pairs are perfectly grouped.", "Alert sound cannot be played: " + wave,
                  "Pair: " + std::string(PAIR_TABLE[STRONGEST_PAIR]) + " is in slot:  1"}));
    EXPECT_EQ(std::ranges::count(log, "Alert sound cannot be played: " + wave), 1);
    EXPECT_FALSE(ui.wavePlaying());
    listenThenStop();
}

// As with the platform's wave player, a second sound cuts the first one short
// instead of mixing with it.
TEST_F(AudibleAlert, ANewSoundStopsTheOneStillPlaying) {
    const char* second = std::getenv("VUREZER_SECOND_WAVE");
    ASSERT_TRUE(!wave.empty() && second != nullptr) << "two wave files to play one after the other";
    ui.playWave(wave);
    QTest::qWait(LISTEN_MS / 2);
    ui.playWave(second);
    EXPECT_TRUE(ui.wavePlaying());
    listenThenStop();
}

} // namespace
} // namespace vz
