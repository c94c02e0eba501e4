#include "../shell/history_folder.h"
#include "gui_support.h"

#include "platform/palette.h"
#include "platform/qt/qt_ui.h"
#include "shell/app.h"
#include "shell/startup.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::pixelAt;

// Controls of the main window.
constexpr int REAL_TIME_BOX = 1, DAY_LIST = 3, FIRST_NAME_BOX = 5, EVENT_LOG = 46, MTF_BUTTON = 50;
const auto rowTop = [](int row) { return 140 + 24 * row; };

Colour groupColour(const std::string& symbol) {
    const auto pair = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), symbol);
    EXPECT_NE(pair, PAIR_TABLE.end()) << "not a pair: " << symbol;
    return inFirstHalf(static_cast<int>(pair - PAIR_TABLE.begin())) ? FIRST_GROUP_COLOUR
                                                                    : SECOND_GROUP_COLOUR;
}

// The whole program on real widgets, over a generated history folder. Live
// prices start apart, so the first pass has one order without ties.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            folder.setLivePips(pair, 5 * pair + 3);
        }
        startUp(app, folder.path());
        QApplication::processEvents();
    }
    ~ProgramTest() override { shutDown(app); }

    std::string text(WindowHandle window, int id) { return ui.getControlText(window, id); }
    std::string symbolInRow(int row) { return text(main, FIRST_NAME_BOX + row); }
    bool visible(WindowHandle window) { return ui.windowWidget(window)->isVisible(); }
    // Item count and selection of the day list, e.g. "6:-1".
    std::string days() {
        const auto* list = qobject_cast<QComboBox*>(ui.controlWidget(main, DAY_LIST));
        return std::to_string(list->count()) + ":" +
               std::to_string(ui.getListSelection(main, DAY_LIST));
    }
    // Hands queued events to the handlers, as the event loop would.
    void settle() {
        while (ui.pendingEvents() > 0) {
            ui.waitEvents();
        }
    }
    // Near the left edge, where a check box has its tick.
    void click(WindowHandle window, int id) {
        QTest::mouseClick(ui.controlWidget(window, id), Qt::LeftButton, {}, QPoint(8, 10));
        settle();
    }
    void pick(WindowHandle window, int listId, int index) {
        test::pickListItem(qobject_cast<QComboBox*>(ui.controlWidget(window, listId)), index);
        settle();
    }
    void pickMenu(int menuId) {
        ui.menuAction(main, menuId)->trigger();
        settle();
    }
    // Ranks the first day, switches real time on and lets one real tick lift
    // the bottom pair to the top. Gives the first ranking's top and bottom.
    std::pair<std::string, std::string> liftBottomPairInRealTime() {
        pick(main, DAY_LIST, 0);
        click(main, REAL_TIME_BOX);
        const std::pair ends{symbolInRow(0), symbolInRow(13)};
        const auto bottom = std::find(PAIR_TABLE.begin(), PAIR_TABLE.end(), ends.second);
        folder.setLivePips(static_cast<int>(bottom - PAIR_TABLE.begin()), 1000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui.pendingEvents() > 0; })) << "a tick came";
        settle();
        return ends;
    }

    testing::HistoryFolder folder;
    QtUi ui;
    StdFileSystem files;
    SystemClock clock;
    Host host{ui, files, clock};
    App app{host};
    const WindowHandle &main = app.host.windows.main, &options = app.host.windows.options,
                       &mtf = app.host.windows.multiTimeframe;
};

TEST_F(ProgramTest, AlertSoundIsChosenThroughTheFileRequester) {
    pickMenu(35);
    ASSERT_TRUE(visible(options));
    test::answerNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    click(options, 2);
    EXPECT_TRUE(ui.isChecked(options, 2));
    EXPECT_EQ(text(options, 3), "") << "cancelled";

    const std::string wave = folder.file("bell.wav");
    folder.write("bell.wav", "RIFF");
    click(options, 2);
    QString title;
    QStringList filters;
    test::answerNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        filters = qobject_cast<QFileDialog*>(modal)->nameFilters();
        // Typed, as selecting would need the folder listing to have arrived.
        modal->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(wave));
        qobject_cast<QDialog*>(modal)->accept();
    });
    click(options, 2);
    EXPECT_EQ(title.toStdString() + "|" + text(options, 3), "Select A Sound File|" + wave);
    EXPECT_EQ(filters, QStringList{"Sound File (*.wav)"}) << "the filter listed once";
    EXPECT_EQ(ui.reportGetCell(main, EVENT_LOG, 0, 2), "Alert sound cannot be played: " + wave)
        << "four bytes are no wave file";
}

// Fixed style and fonts sized for the layout, whatever the desktop's: the
// multi-timeframe lists stay closed above row 0 (y 60) and the 11-pixel bold
// text of the boxes fits their 70 x 20.
TEST_F(ProgramTest, FusionStyleAndLayoutSizedFontsKeepControlsInTheirPlaces) {
    EXPECT_EQ(QApplication::style()->name(), "fusion");
    for (int listId = 10; listId <= 14; ++listId) {
        const QWidget* list = ui.controlWidget(mtf, listId);
        EXPECT_EQ(list->font().pixelSize(), 11);
        EXPECT_LE(list->geometry().bottom(), 59) << listId;
    }
    const auto* box = ui.controlWidget(main, 5);
    EXPECT_EQ(box->font().pixelSize(), 11);
    EXPECT_LE(QFontMetrics(box->font()).height(), 20 - 4);
}

// Centred while hidden, the frame's size is only a guess; once shown and
// framed the window is centred again on its real size.
TEST_F(ProgramTest, HiddenWindowsAreCentredOnTheirRealFrameOnceShown) {
    click(main, 50);
    const QWidget* window = ui.windowWidget(mtf);
    const QRect area = window->screen()->availableGeometry();
    // Centred, and kept inside the work area when larger than it.
    const auto centredAt = [](int start, int available, int size) {
        return std::max(start, std::min(start + (available - size) / 2, start + available - size));
    };
    const auto centred = [&] {
        const QRect frame = window->frameGeometry();
        return frame.left() == centredAt(area.left(), area.width(), frame.width()) &&
               frame.top() == centredAt(area.top(), area.height(), frame.height());
    };
    EXPECT_TRUE(QTest::qWaitFor(centred)) << window->frameGeometry().top();
}

TEST_F(ProgramTest, OptionsAndMultiTimeframeComeBackFromMinimised) {
    EXPECT_EQ(ui.windowWidget(options)->windowTitle() + "|" + ui.windowWidget(mtf)->windowTitle(),
              "Sounds/Alert Options|Multi-Timeframe Slots");
    EXPECT_TRUE(visible(main) && !visible(options) && !visible(mtf));
    for (const auto& [window, show] : {std::pair{options, 35}, std::pair{mtf, 50}}) {
        ui.windowWidget(window)->showMinimized();
        show == 35 ? pickMenu(show) : click(main, show);
        EXPECT_FALSE(ui.windowWidget(window)->isMinimized()) << show;
        EXPECT_TRUE(visible(window)) << show;
    }
}

TEST_F(ProgramTest, ReloadHistoryAsksFirst) {
    pick(main, DAY_LIST, 2);
    folder.writeAll({.dailyLines = 7});
    QString question;
    QString shownText;
    bool attached = true;
    test::answerNextModal([&](QWidget* modal) {
        question = modal->windowTitle();
        shownText = qobject_cast<QMessageBox*>(modal)->text();
        // A parented modal box may be drawn as a sheet without its caption.
        attached = modal->parentWidget() != nullptr;
        test::pressInBox(modal, QMessageBox::No);
    });
    pickMenu(1);
    EXPECT_EQ(question, "Reload arrays?");
    EXPECT_FALSE(attached);
    // The lone CRs of the question show as three lines.
    EXPECT_EQ(shownText.split(QLatin1Char('\n')),
              (QStringList{"You will be reloading your history arrays.",
                           "You will need to setup your columns again.",
                           "Are you sure you want to do this?"}));
    EXPECT_EQ(days(), "6:2") << "nothing was read";

    test::answerNextModal([](QWidget* modal) { test::pressInBox(modal, QMessageBox::Yes); });
    pickMenu(1);
    EXPECT_EQ(days(), "8:-1") << "read again";
}

// Grabs every window as a picture and checks the colours a user would see
// after a real tick, with one multi-timeframe column picked.
TEST_F(ProgramTest, ScreenshotsShowTheColoursOfEachWindow) {
    liftBottomPairInRealTime();
    click(main, REAL_TIME_BOX);
    EXPECT_EQ(ui.pendingEvents(), 0U) << "no ticks once real time is off";
    click(main, MTF_BUTTON);
    pick(mtf, 11, 0);
    pickMenu(35);
    EXPECT_EQ(text(mtf, 20), "Pair1") << "other columns wait for their own pick";

    const QString outputFolder = QStringLiteral(VUREZER_TEST_OUTPUT "/screenshots");
    QDir().mkpath(outputFolder);
    for (const auto& [window, name] :
         {std::pair{main, "main.png"}, {options, "options.png"}, {mtf, "mtf.png"}}) {
        EXPECT_TRUE(ui.windowWidget(window)->grab().save(outputFolder + "/" + name)) << name;
    }
    const auto image = [&](WindowHandle window) {
        return ui.clientWidget(window)->grab().toImage();
    };
    const QImage mainShot = image(main), mtfShot = image(mtf);
    EXPECT_EQ(pixelAt(mainShot, 150, 450), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(mainShot, 100, 306), BLACK) << "the line between the two groups of slots";
    EXPECT_EQ(pixelAt(mainShot, 100, 305), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(mainShot, 29, rowTop(0) + 4), groupColour(symbolInRow(0)));
    EXPECT_EQ(pixelAt(mainShot, 29, rowTop(13) + 4), groupColour(symbolInRow(13)));
    EXPECT_EQ(pixelAt(mainShot, 10, rowTop(0) + 5), UP_ARROW_COLOUR);
    EXPECT_EQ(pixelAt(mainShot, 10, rowTop(1) + 5), DOWN_ARROW_COLOUR);
    EXPECT_EQ(pixelAt(image(options), 480, 300), BACKGROUND_COLOUR);
    EXPECT_EQ(pixelAt(mtfShot, 860, 440), BACKGROUND_COLOUR);
    for (const int nameBox : {60, 60 + 13}) { // the picked column's top and bottom
        const QPoint inside = ui.controlWidget(mtf, nameBox)->pos() + QPoint(4, 4);
        EXPECT_EQ(pixelAt(mtfShot, inside.x(), inside.y()), groupColour(text(mtf, nameBox)));
    }
}

} // namespace
} // namespace vz
