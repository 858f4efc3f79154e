// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "played_scanner.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <sstream>
#include <stdexcept>

namespace scanforms::testing {

PlayedScanner::PlayedScanner() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("cannot open a pseudo-terminal");
    }
    devicePath_ = ::ptsname(master_);
    QObject::connect(&pace_, &QTimer::timeout, [this] { sendNextByte(); });
}

void PlayedScanner::sendNextByte() {
    send(trickling_.substr(trickled_, 1));
    if (++trickled_ == trickling_.size()) {
        pace_.stop();
    }
}

PlayedScanner::~PlayedScanner() {
    vanish();
}

std::vector<std::string> PlayedScanner::commands() {
    std::array<char, 512> buffer{};
    for (ssize_t count;
         master_ >= 0 && (count = ::read(master_, buffer.data(), buffer.size())) > 0;) {
        received_.append(buffer.data(), static_cast<std::size_t>(count));
    }
    std::vector<std::string> lines;
    std::istringstream in(received_);
    for (std::string line; std::getline(in, line, '\r');) {
        if (!in.eof()) {
            lines.push_back(line);
        }
    }
    return lines;
}

void PlayedScanner::send(const std::string& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("the played scanner could not send");
    }
}

void PlayedScanner::trickle(const std::string& bytes, std::chrono::milliseconds pace) {
    trickling_ = bytes;
    trickled_ = 0;
    pace_.start(pace);
    sendNextByte();
}

void PlayedScanner::vanish() {
    pace_.stop();
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace scanforms::testing
