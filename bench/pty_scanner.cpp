// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "pty_scanner.h"

#include <poll.h>
#include <unistd.h>

#include <QEventLoop>
#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace scanforms::bench {
namespace {

constexpr char kSetupString[] = "f-3652.800";
// Any result but 0 is a scanner that answered.
constexpr std::int16_t kScannerReadyResult = 1;

}  // namespace

PtyScanner::PtyScanner()
    : readable_(std::make_unique<QSocketNotifier>(terminal_.fd(), QSocketNotifier::Read)) {
    QObject::connect(readable_.get(), &QSocketNotifier::activated, [this] { readCommands(); });
}

PtyScanner::~PtyScanner() = default;

void PtyScanner::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(terminal_.fd(), bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno == EAGAIN) {
            pollfd writable{terminal_.fd(), POLLOUT, 0};
            ::poll(&writable, 1, -1);
        } else if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "cannot write to the station");
        }
    }
}

void PtyScanner::readCommands() {
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(terminal_.fd(), buffer.data(), buffer.size());
        if (count <= 0) {
            return;
        }
        for (std::string& line :
             splitter_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(count)))) {
            if (line == kSetupString) {
                send(wire::encodeFrame({wire::FrameType::InitResult, "", kScannerReadyResult}));
            }
            received_.push_back(std::move(line));
        }
    }
}

void PtyScanner::waitForCommand(std::string_view command) {
    QEventLoop loop;
    const auto check = [&] {
        const auto found = std::find(received_.begin(), received_.end(), command);
        if (found == received_.end()) {
            return false;
        }
        received_.erase(received_.begin(), found + 1);
        return true;
    };
    if (check()) {
        return;
    }
    const auto connection =
        QObject::connect(readable_.get(), &QSocketNotifier::activated, &loop, [&] {
            if (check()) {
                loop.quit();
            }
        });
    loop.exec();
    QObject::disconnect(connection);
}

}  // namespace scanforms::bench
