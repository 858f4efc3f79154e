// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station_run.h"

#include <QAbstractButton>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <utility>

#include "problem_report.h"

namespace scanforms::testing {

StationRun::StationRun(std::string script, LinePace pace) {
    SimProcess::Setup setup;
    setup.script = std::move(script);
    setup.wireSpeed = pace == LinePace::WireSpeed;
    sim_ = std::make_unique<SimProcess>(setup);
    open(sim_->linkPath());
}

StationRun::StationRun(const ScannerDevice& scanner) {
    open(scanner.path);
}

void StationRun::open(const std::string& device) {
    std::ofstream("Com.TXT", std::ios::binary) << "1\r\n";
    qputenv("SCANFORMS_COM1", QByteArray::fromStdString(device));
    comm_ = std::make_unique<serial::SerialComm>();
    window_ = std::make_unique<ScanWindow>(*comm_);
    QObject::connect(window_.get(), &ScanWindow::programEnded, [this] { ended_ = true; });
    window_->show();
}

StationRun::~StationRun() {
    window_.reset();
    comm_.reset();
    qunsetenv("SCANFORMS_COM1");
}

void StationRun::click(const char* name) {
    auto* button = window_->findChild<QAbstractButton*>(name);
    if (button == nullptr) {
        reportProblem(std::string("the window has no button ") + name);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

bool StationRun::initialize() {
    click("InitializeScanner");
    if (waitFor([this] { return window_->statusText() == kScannerReady; })) {
        return true;
    }
    reportProblem("the scanner never answered ready; status: " + window_->statusText());
    return false;
}

void StationRun::startScanning() {
    click("StartScan");
}

void StationRun::done() {
    click("Cancel");
}

bool StationRun::waitForBoxes(const std::string& text, std::size_t count,
                              std::chrono::milliseconds deadline) {
    return waitFor([&] { return boxCount(text) >= count; }, deadline);
}

std::vector<std::string> StationRun::boxTexts() const {
    std::vector<std::string> texts;
    for (const SeenBox& box : boxes_.seen) {
        texts.push_back(box.text.toStdString());
    }
    return texts;
}

std::size_t StationRun::boxCount(const std::string& text) const {
    const QString wanted = QString::fromStdString(text);
    return static_cast<std::size_t>(
        std::count_if(boxes_.seen.begin(), boxes_.seen.end(),
                      [&](const SeenBox& box) { return box.text == wanted; }));
}

void preferOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace scanforms::testing
