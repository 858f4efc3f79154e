// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "simulator.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <string>
#include <system_error>
#include <utility>

#include "stop_signals.h"

namespace scanner_sim {
namespace {

using scanforms::wire::encodeFrame;
using scanforms::wire::FrameType;

// How often a waiting hang-up looks again whether the host has caught up.
constexpr std::chrono::milliseconds kHostCheck{20};

timespec toTimespec(Clock::duration duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    const auto nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(duration - seconds);
    return {static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

}  // namespace

Simulator::Simulator(const Options& options, std::vector<ScriptItem> script, std::FILE* paths)
    : paths_(paths),
      link_(options.link),
      log_(options.log),
      output_(options.wireSpeed),
      model_(std::move(script)) {}

int Simulator::run() {
    const StopSignals stopSignals;
    std::signal(SIGPIPE, SIG_IGN);
    openDevice();
    while (!stopSignals.stopRequested()) {
        Clock::time_point now = Clock::now();
        if (reopenAt_ && now >= *reopenAt_) {
            reopenAt_.reset();
            openDevice();
        }
        if (lateAnswer_ && now >= lateAnswer_->first) {
            output_.push(lateAnswer_->second, now);
            lateAnswer_.reset();
        }
        if (device_) {
            playScript(now);
        }
        if (device_) {
            output_.writeDue(device_->fd(), now);
        }

        pollfd watched{device_ ? device_->fd() : -1, POLLIN, 0};
        const auto due = output_.nextDue();
        if (device_ && due && *due <= now) {
            watched.events |= POLLOUT;
        }
        const auto wake = wakeUp(now);
        timespec timeout{};
        if (wake) {
            timeout = toTimespec(*wake > now ? *wake - now : Clock::duration::zero());
        }
        const int ready = ::ppoll(&watched, 1, wake ? &timeout : nullptr, stopSignals.waitMask());
        if (ready < 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "poll failed");
        }
        if (ready > 0 && (watched.revents & POLLIN) != 0) {
            readCommands(Clock::now());
        }
    }
    link_.remove();
    return 0;
}

void Simulator::openDevice() {
    device_ = std::make_unique<PseudoTerminal>();
    link_.pointAt(device_->path());
    std::fprintf(paths_, "%s\n", device_->path().c_str());
    std::fflush(paths_);
}

void Simulator::readCommands(Clock::time_point now) {
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(device_->fd(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        const std::string_view bytes(buffer.data(), static_cast<std::size_t>(count));
        for (const std::string& command : splitter_.feed(bytes)) {
            log_.record(command);
            std::string answer = model_.onCommand(command);
            if (model_.answerDelay() > Clock::duration::zero()) {
                lateAnswer_.emplace(now + model_.answerDelay(), std::move(answer));
            } else {
                output_.push(answer, now);
            }
        }
    }
}

void Simulator::playScript(Clock::time_point now) {
    for (;;) {
        const ScannerModel::Step step = model_.next();
        switch (step.action) {
            case ScannerModel::Action::Wait:
                return;
            case ScannerModel::Action::Send:
                output_.push(step.bytes, now);
                break;
            case ScannerModel::Action::LineSettings:
                output_.push(encodeFrame({FrameType::Notice, device_->lineSettings(), 0}), now);
                break;
            case ScannerModel::Action::HangUp:
                waitingForHost_ = !hostCaughtUp(now);
                if (waitingForHost_) {
                    return;
                }
                // A pulled adapter takes its device name with it. The link
                // must not outlive the device end: the system gives the freed
                // terminal's number to the next one opened, anyone's.
                link_.remove();
                device_.reset();
                output_.clear();
                lateAnswer_.reset();
                splitter_ = {};
                reopenAt_ = now + kHangUpPause;
                model_.taken();
                return;
        }
        model_.taken();
    }
}

bool Simulator::hostCaughtUp(Clock::time_point now) const {
    return output_.empty() && device_->unread() == 0 && now - output_.lastWrite() >= kHostSettle;
}

std::optional<Clock::time_point> Simulator::wakeUp(Clock::time_point now) const {
    std::optional<Clock::time_point> wake = reopenAt_;
    const auto earliest = [&wake](Clock::time_point when) {
        if (!wake || when < *wake) {
            wake = when;
        }
    };
    if (lateAnswer_) {
        earliest(lateAnswer_->first);
    }
    if (device_ && waitingForHost_) {
        earliest(now + kHostCheck);
    }
    if (const auto due = output_.nextDue(); device_ && due && *due > now) {
        earliest(*due);
    }
    return wake;
}

}  // namespace scanner_sim
