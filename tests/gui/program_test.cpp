#include "qt_program.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vz {
namespace {

using test::pixelAt;

using test::DAY_LIST, test::EVENT_LOG, test::MTF_BUTTON, test::REAL_TIME_BOX, test::groupColour;

const auto rowTop = [](int row) { return 140 + 24 * row; };

class ProgramTest : public test::QtProgram {};

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
    for (const auto& [window, show] : {std::pair{options, 35}, std::pair{mtf, 50}}) {
        ui.windowWidget(window)->showMinimized();
        show == 35 ? pickMenu(show) : click(main, show);
        EXPECT_FALSE(ui.windowWidget(window)->isMinimized()) << show;
        EXPECT_TRUE(visible(window)) << show;
    }
}

// What the answer does is the shell tests' part; here the question as shown.
TEST_F(ProgramTest, ReloadHistoryAsksFirst) {
    QString question;
    QString shownText;
    test::answerNextModal([&](QWidget* modal) {
        question = modal->windowTitle();
        shownText = qobject_cast<QMessageBox*>(modal)->text();
        test::pressInBox(modal, QMessageBox::No);
    });
    pickMenu(1);
    EXPECT_EQ(question, "Reload arrays?");
    // The lone CRs of the question show as three lines.
    EXPECT_EQ(shownText.split(QLatin1Char('\n')),
              (QStringList{"You will be reloading your history arrays.",
                           "You will need to setup your columns again.",
                           "Are you sure you want to do this?"}));
}

// Grabs every window as a picture and checks the colours a user would see
// after a real tick, with one multi-timeframe column picked.
TEST_F(ProgramTest, ScreenshotsShowTheColoursOfEachWindow) {
    liftBottomPairInRealTime();
    click(main, REAL_TIME_BOX);
    click(main, MTF_BUTTON);
    pick(mtf, 11, 0);
    pickMenu(35);

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
    EXPECT_EQ(pixelAt(mainShot, 29, rowTop(0) + 4), groupColour(symbolInRow(0)));
    EXPECT_EQ(pixelAt(mainShot, 29, rowTop(13) + 4), groupColour(symbolInRow(13)));
    EXPECT_EQ(pixelAt(image(options), 480, 300), BACKGROUND_COLOUR);
    for (const int nameBox : {60, 60 + 13}) { // the picked column's top and bottom
        const QPoint inside = ui.controlWidget(mtf, nameBox)->pos() + QPoint(4, 4);
        EXPECT_EQ(pixelAt(mtfShot, inside.x(), inside.y()), groupColour(text(mtf, nameBox)));
    }
}

} // namespace
} // namespace vz
