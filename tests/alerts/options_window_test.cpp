#include "alerts/alert_options.h"
#include "platform/files.h"
#include "platform/headless/fixed_clock.h"
#include "platform/headless/headless_ui.h"
#include "platform/palette.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vz {
namespace {

class OptionsWindowTest : public ::testing::Test {
protected:
    HeadlessUi ui;
    StdFileSystem files;
    FixedClock clock;
    Host host{ui, files, clock};
    WindowHandle options = host.windows.options = buildOptionsWindow(
        host, [this](const WindowEvent& event) { handleOptionsEvent(host, event); });

    const ControlState& control(int id) const { return *ui.control(options, id); }
    bool visible() const { return ui.window(options)->visible; }
    void click(int id) {
        ui.clickButton(options, id);
        ui.dispatchPending();
    }
    void toggle(int id) {
        ui.toggleCheckBox(options, id);
        ui.dispatchPending();
    }
};

TEST_F(OptionsWindowTest, IsBuiltHiddenWithItsControlsAndEmptyLists) {
    const WindowState& window = *ui.window(options);
    EXPECT_EQ(window.caption, "Sounds/Alert Options");
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.centred);
    EXPECT_EQ(window.width, 515);
    EXPECT_EQ(window.height, 350);
    EXPECT_EQ(window.creationOrder, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 10, 11, 9, 1}));
    EXPECT_EQ(ui.textAt(options, 172, 167), "moves to slot:");
    EXPECT_EQ(control(OPT_EXIT_BUTTON).text, "Exit");
    for (int id : window.creationOrder) {
        EXPECT_EQ(control(id).fontFace, "Ariel") << id;
    }
    for (int list : {OPT_PAIR_LIST, OPT_SLOT_LIST}) {
        ASSERT_EQ(control(list).items.size(), 14U);
        EXPECT_EQ(control(list).selection, -1);
    }
    EXPECT_EQ(control(OPT_SLOT_LIST).items[13], "14");
}

TEST_F(OptionsWindowTest, CheckingABoxAsksForItsOwnSoundFile) {
    ui.queueFileAnswer("/sounds/anchor.wav");
    ui.queueFileAnswer("pair.wav");
    toggle(OPT_ANCHORS_BOX);
    toggle(OPT_PAIR_BOX);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "/sounds/anchor.wav");
    EXPECT_EQ(control(OPT_PAIR_SOUND).text, "pair.wav");
    EXPECT_EQ(control(OPT_FLIP_SOUND).text, "");
    const FileRequestRecord& request = ui.fileRequests().back();
    EXPECT_EQ(request.title, "Select A Sound File");
    EXPECT_FALSE(request.owner);
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.filter, "Sound File (*.wav)|*.wav||");
    EXPECT_EQ(request.defaultExtension, "wav");

    toggle(OPT_ANCHORS_BOX); // unchecking keeps the path and asks nothing
    EXPECT_EQ(ui.fileRequests().size(), 2U);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "/sounds/anchor.wav");
    ui.queueFileAnswer(""); // cancelled
    toggle(OPT_ANCHORS_BOX);
    EXPECT_TRUE(control(OPT_ANCHORS_BOX).checked);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "");
}

TEST_F(OptionsWindowTest, ExitHidesOnlyOnceThePairAlertIsComplete) {
    ui.showWindow(options, ShowCommand::Show);
    click(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());

    ui.showWindow(options, ShowCommand::Show);
    toggle(OPT_PAIR_BOX);
    click(OPT_EXIT_BUTTON);
    EXPECT_TRUE(visible());
    const std::vector<MessageBoxRecord>& shown = ui.messageBoxes();
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(shown[0].text, "Please Select a Pair or uncheck the box.");
    EXPECT_EQ(shown[1].text, "Please Select a Target Slot for the pair.");
    EXPECT_EQ(shown[0].style, MB_EXCLAMATION);
    EXPECT_EQ(shown[1].style, MB_INFORMATION);

    ui.requestClose(options); // the close box hides without checking
    ui.dispatchPending();
    EXPECT_FALSE(visible());

    ui.showWindow(options, ShowCommand::Show);
    ui.pickListItem(options, OPT_PAIR_LIST, 3);
    ui.pickListItem(options, OPT_SLOT_LIST, 0);
    ui.dispatchPending();
    click(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());
    EXPECT_EQ(ui.messageBoxes().size(), 2U);
}

} // namespace
} // namespace vz
