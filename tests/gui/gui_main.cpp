#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

// The widgets need one QApplication for the whole run, and no display.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
