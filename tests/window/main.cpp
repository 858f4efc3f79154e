// The window tests run a QApplication on Qt's offscreen platform: no display.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "The window tests need a Qt platform: run them with "
                     "QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
