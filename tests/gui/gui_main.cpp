#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

// The widgets need one QApplication for the whole run. Listing the tests
// needs no display, so no QApplication is made for it.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
