#include "alerts/alert_options.h"
#include "market/pairs.h"
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

    void SetUp() override {
        host.windows.options = buildOptionsWindow(
            host, [this](const WindowEvent& event) { handleOptionsEvent(host, event); });
        ui.showWindow(host.windows.options, ShowCommand::Show);
    }

    WindowHandle options() const { return host.windows.options; }
    const ControlState& control(int id) const { return *ui.control(options(), id); }
    bool visible() const { return ui.window(options())->visible; }
    void click(int id) {
        ui.clickButton(options(), id);
        ui.dispatchPending();
    }
    void toggle(int id) {
        ui.toggleCheckBox(options(), id);
        ui.dispatchPending();
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : ui.messageBoxes()) {
            texts.push_back(box.text);
        }
        return texts;
    }
};

TEST_F(OptionsWindowTest, WindowIsBuiltHiddenWithItsControlsInOrder) {
    HeadlessUi fresh;
    Host freshHost{fresh, files, clock};
    const WindowHandle built = buildOptionsWindow(freshHost, {});
    const WindowState& window = *fresh.window(built);
    EXPECT_EQ(window.caption, "Sounds/Alert Options");
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.centred);
    EXPECT_EQ(window.width, 515);
    EXPECT_EQ(window.height, 350);
    EXPECT_EQ(window.style & WINDOW_VISIBLE, 0U);
    EXPECT_EQ(window.fontFace, "Ariel");
    EXPECT_EQ(window.creationOrder, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 10, 11, 9, 1}));
    EXPECT_EQ(fresh.textAt(built, 172, 167), "moves to slot:");

    const ControlState& exitButton = *fresh.control(built, OPT_EXIT_BUTTON);
    EXPECT_EQ(exitButton.text, "Exit");
    EXPECT_EQ(exitButton.style, STYLE_DEFAULT_BUTTON);
    EXPECT_EQ(exitButton.x, 407);
    EXPECT_EQ(exitButton.y, 260);
    const ControlState& pairBox = *fresh.control(built, OPT_PAIR_BOX);
    EXPECT_EQ(pairBox.text, "Alert when:");
    EXPECT_EQ(pairBox.width, 90);
    for (int id : window.creationOrder) {
        const ControlState& each = *fresh.control(built, id);
        EXPECT_EQ(each.fontFace, "Ariel") << id;
        EXPECT_EQ(each.fontWeight, 700) << id;
        EXPECT_EQ(each.textColour, BLACK) << id;
        EXPECT_EQ(each.backgroundColour, BACKGROUND_COLOUR) << id;
    }
}

TEST_F(OptionsWindowTest, ListsHoldPairsAndSlotsWithoutSelection) {
    const ControlState& pairs = control(OPT_PAIR_LIST);
    const ControlState& slots = control(OPT_SLOT_LIST);
    ASSERT_EQ(pairs.items.size(), 14U);
    ASSERT_EQ(slots.items.size(), 14U);
    EXPECT_EQ(pairs.items[13], PAIR_TABLE[13]);
    EXPECT_EQ(slots.items[0], "1");
    EXPECT_EQ(slots.items[13], "14");
    EXPECT_EQ(pairs.selection, -1);
    EXPECT_EQ(slots.selection, -1);
}

TEST_F(OptionsWindowTest, CheckingABoxAsksForItsSoundFile) {
    ui.queueFileAnswer("/sounds/anchor.wav");
    toggle(OPT_ANCHORS_BOX);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "/sounds/anchor.wav");
    const FileRequestRecord& request = ui.fileRequests().back();
    EXPECT_EQ(request.title, "Select A Sound File");
    EXPECT_FALSE(request.owner);
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.filter, "Sound File (*.wav)|*.wav||");
    EXPECT_EQ(request.defaultExtension, "wav");

    toggle(OPT_ANCHORS_BOX); // unchecking keeps the path and asks nothing
    EXPECT_EQ(ui.fileRequests().size(), 1U);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "/sounds/anchor.wav");

    ui.queueFileAnswer(""); // cancelled
    toggle(OPT_ANCHORS_BOX);
    EXPECT_TRUE(control(OPT_ANCHORS_BOX).checked);
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "");
}

TEST_F(OptionsWindowTest, EachBoxFillsItsOwnField) {
    ui.queueFileAnswer("flip.wav");
    ui.queueFileAnswer("group.wav");
    ui.queueFileAnswer("pair.wav");
    toggle(OPT_FLIP_BOX);
    toggle(OPT_GROUPING_BOX);
    toggle(OPT_PAIR_BOX);
    EXPECT_EQ(control(OPT_FLIP_SOUND).text, "flip.wav");
    EXPECT_EQ(control(OPT_GROUPING_SOUND).text, "group.wav");
    EXPECT_EQ(control(OPT_PAIR_SOUND).text, "pair.wav");
    EXPECT_EQ(control(OPT_ANCHORS_SOUND).text, "");
}

TEST_F(OptionsWindowTest, ExitWithIncompletePairAlertStaysOpen) {
    toggle(OPT_PAIR_BOX);
    click(OPT_EXIT_BUTTON);
    EXPECT_TRUE(visible());
    ASSERT_EQ(messageTexts(),
              (std::vector<std::string>{"Please Select a Pair or uncheck the box.",
                                        "Please Select a Target Slot for the pair."}));
    EXPECT_EQ(ui.messageBoxes()[0].style, MB_EXCLAMATION);
    EXPECT_EQ(ui.messageBoxes()[1].style, MB_INFORMATION);
    EXPECT_EQ(ui.messageBoxes()[0].caption, "Error");
    EXPECT_EQ(ui.messageBoxes()[0].owner, options());

    ui.pickListItem(options(), OPT_PAIR_LIST, 3);
    ui.dispatchPending();
    click(OPT_EXIT_BUTTON);
    EXPECT_TRUE(visible());
    EXPECT_EQ(messageTexts().back(), "Please Select a Target Slot for the pair.");

    ui.pickListItem(options(), OPT_SLOT_LIST, 0);
    ui.dispatchPending();
    const std::size_t shown = ui.messageBoxes().size();
    click(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());
    EXPECT_EQ(ui.messageBoxes().size(), shown);
}

TEST_F(OptionsWindowTest, ExitWithPairAlertOffAndCloseBoxAlwaysHide) {
    click(OPT_EXIT_BUTTON);
    EXPECT_FALSE(visible());
    EXPECT_TRUE(ui.messageBoxes().empty());

    ui.showWindow(options(), ShowCommand::Show);
    toggle(OPT_PAIR_BOX);
    ui.requestClose(options());
    ui.dispatchPending();
    EXPECT_FALSE(visible());
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_TRUE(control(OPT_PAIR_BOX).checked);
}

} // namespace
} // namespace vz
