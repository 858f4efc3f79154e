// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Return, Enter or Space held down presses a button once. Every key event of
// the application passes through this filter, which tells a held key's
// repeats from a deliberate press and keeps the repeats from the buttons:
//
//   window system --key events--> HeldKeyFilter --deliberate presses--> buttons
//                                                --repeats--> dropped at a button
//
// Window systems report a held key in three ways, each a repeat here:
//   - presses flagged as auto-repeat;
//   - presses with no release between them (X with detectable auto-repeat);
//   - each repeat a release and a press stamped with the same time (X
//     otherwise). Qt flags such a pair only when the press has already been
//     read from the display connection as it handles the release, and often
//     it has not: the pair then comes as an unflagged release and press.
// A key's state is followed from its first press after a box was shown,
// wherever that press went: the Return that answered a box is still down
// after the box has gone, and its repeats press nothing in the window behind
// it, above all not Start Scanning, which would empty Scan.TXT.

#include <QObject>
#include <map>

class QKeyEvent;

namespace scanforms::window {

class HeldKeyFilter : public QObject {
public:
    // Filters the application's events for as long as it lives.
    HeldKeyFilter();

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    enum class KeyState {
        Up,
        Pressed,    // down by a deliberate press
        Repeating,  // held: its latest press was a repeat
    };
    struct Key {
        KeyState state = KeyState::Up;
        // The window system's time of the latest press or release, in ms; 0
        // for an event made without one, which is never taken for the same
        // event as another nor for half of a pair.
        quint64 time = 0;
    };

    bool isRepeat(const QKeyEvent& press);
    void forgetKeysBeforeBox(QObject* shown);
    void noteRelease(const QKeyEvent& release);

    std::map<int, Key> keys_;  // by Qt::Key
};

}  // namespace scanforms::window
