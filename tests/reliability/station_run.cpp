#include "station_run.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <algorithm>
#include <fstream>

namespace scanforms::testing {

StationRun::StationRun(const std::string& script) {
    SimProcess::Setup setup;
    setup.script = script;
    sim_ = std::make_unique<SimProcess>(setup);
    std::ofstream("Com.TXT", std::ios::binary) << "1\r\n";
    qputenv("SCANFORMS_COM1", QByteArray::fromStdString(sim_->linkPath()));
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
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

void StationRun::initialize() {
    click("InitializeScanner");
    EXPECT_TRUE(waitFor([this] { return window_->statusText() == kScannerReady; }))
        << "status: " << window_->statusText();
}

void StationRun::startScanning() {
    click("StartScan");
}

void StationRun::done() {
    click("Cancel");
}

bool StationRun::waitFor(const std::function<bool()>& condition,
                         std::chrono::milliseconds deadline) {
    return QTest::qWaitFor(condition, static_cast<int>(deadline.count()));
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

}  // namespace scanforms::testing
