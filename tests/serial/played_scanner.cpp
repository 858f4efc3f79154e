// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "played_scanner.h"

#include <unistd.h>

#include <array>
#include <stdexcept>

namespace scanforms::testing {

PlayedScanner::PlayedScanner() : terminal_(std::in_place) {
    QObject::connect(&pace_, &QTimer::timeout, [this] { sendNextByte(); });
}

std::vector<std::string> PlayedScanner::commands() {
    std::array<char, 512> buffer{};
    for (ssize_t count = 0;
         terminal_ && (count = ::read(terminal_->fd(), buffer.data(), buffer.size())) > 0;) {
        for (std::string& line : splitter_.feed({buffer.data(), static_cast<std::size_t>(count)})) {
            received_.push_back(std::move(line));
        }
    }
    return received_;
}

void PlayedScanner::send(const std::string& bytes) {
    if (!terminal_ || ::write(terminal_->fd(), bytes.data(), bytes.size()) !=
                          static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("the played scanner could not send");
    }
}

void PlayedScanner::trickle(const std::string& bytes, std::chrono::milliseconds pace) {
    trickling_ = bytes;
    trickled_ = 0;
    pace_.setTimerType(Qt::PreciseTimer);
    pace_.start(pace);
    sendNextByte();
}

void PlayedScanner::sendNextByte() {
    send(trickling_.substr(trickled_, 1));
    if (++trickled_ == trickling_.size()) {
        pace_.stop();
    }
}

void PlayedScanner::vanish() {
    pace_.stop();
    terminal_.reset();
}

}  // namespace scanforms::testing
