// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "box_answerer.h"
#include "fakes/fake_scanner.h"
#include "fakes/temp_dir.h"
#include "qt_printers.h"
#include "window/scan_window.h"

namespace scanforms::testing {

using window::ScanWindow;

inline constexpr std::chrono::seconds kShowTimeout{5};

// The real Scan window over a scripted component, in a fresh current
// directory, with every message box answered by the test.
class WindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::vector<std::string> log;  // the scanner's calls
    FakeScanner scanner{log};
    BoxAnswerer boxes;
    std::unique_ptr<ScanWindow> window;

    // Creates the window (which reads the port file holding `portFile`, or
    // finds none) and shows it as the program does. A window already open is
    // destroyed first.
    void open(const std::optional<std::string>& portFile = "2\r\n") {
        window.reset();
        std::filesystem::remove(dir.path() / "Com.TXT");
        if (portFile) {
            dir.write("Com.TXT", *portFile);
        }
        window = std::make_unique<ScanWindow>(scanner);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), kShowTimeout.count() * 1000));
    }

    // A control of the window by its object name; a missing one fails the test.
    template <typename Widget = QWidget>
    Widget* control(const QString& name) const {
        auto* widget = window->findChild<Widget*>(name);
        if (widget == nullptr) {
            throw std::runtime_error("no control " + name.toStdString() + " of that kind");
        }
        return widget;
    }

    // An operator's mouse click on a button or option button.
    void click(const QString& name) {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }

    // What the status box shows.
    QString status() const { return control<QPlainTextEdit>("txtProcessing")->toPlainText(); }
    ScanWindow& view() { return *window; }
    // The port the station opens when Initialize Scanner is clicked now.
    std::int16_t chosenPort() {
        click("InitializeScanner");
        return scanner.portNumber;
    }
};

}  // namespace scanforms::testing
