// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Qt test programs (the window, the whole station, the reliability
// suite) run a QApplication on Qt's offscreen platform: no display. What the
// station harness finds wrong fails the running test.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

#include "problem_report.h"

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
    scanforms::testing::setProblemReport([](const std::string& what) { ADD_FAILURE() << what; });
    return RUN_ALL_TESTS();
}
