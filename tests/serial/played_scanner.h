// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A scanner the test plays itself on a pseudo-terminal: it sends bytes when
// the test says, at the pace the test sets, and can vanish for good.
//
//   test --send/trickle--> master end --> device end (devicePath) --> component
//   component --commands--> device end --> master end --> commands()

#include <QTimer>
#include <chrono>
#include <string>
#include <vector>

namespace scanforms::testing {

class PlayedScanner {
public:
    PlayedScanner();
    ~PlayedScanner();
    PlayedScanner(const PlayedScanner&) = delete;
    PlayedScanner& operator=(const PlayedScanner&) = delete;

    const std::string& devicePath() const { return devicePath_; }
    // Every command line received so far, without its CR.
    std::vector<std::string> commands();
    void send(const std::string& bytes);
    // `bytes` one at a time, the first now and then one every `pace`;
    // trickled() tells how many have gone.
    void trickle(const std::string& bytes, std::chrono::milliseconds pace);
    std::size_t trickled() const { return trickled_; }
    // Closes the master end: the device is gone and does not come back.
    void vanish();

private:
    void sendNextByte();

    int master_ = -1;
    std::string devicePath_;
    std::string received_;
    std::string trickling_;
    std::size_t trickled_ = 0;
    QTimer pace_;
};

}  // namespace scanforms::testing
