// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What the scanner component needs of the system it runs on. The component's
// logic is plain C++ (scanner_component.h); each platform gives it these few
// things: Qt on Linux (src/serial), the Windows API on Windows (src/win32).
//
//   component --open/close/write/read/peek--> DeviceLink --> serial device
//   component <--onInput/onLost-------------- DeviceLink   (LinkEvents)
//   component --start/stop--> Timer --> its callback
//   component --post--> work run once the event under way has returned
//   component --portDevice/setupAnswerTimeout/deviceNames/otherDevicesHint/log--> system
//
// Every callback (LinkEvents, a Timer's, posted work) runs on the thread
// that owns the component, from its event loop, one at a time and never
// inside a call the component made: the component's handlers run to their
// end before the next begins. Callbacks stop when the Platform that made
// them is destroyed.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace scanforms::scanner {

// What a DeviceLink tells the component.
class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    // Bytes arrived for read(). May be told again before they are read.
    virtual void onInput() = 0;
    // The device went away (unplugged, its far end closed, a read or write
    // that failed). May be told more than once for one loss; `why` is a line
    // for the log.
    virtual void onLost(std::string why) = 0;
};

// The link to one serial device: 9600 baud, 8 data bits, no parity, 2 stop
// bits, no flow control. Texts are bytes, never converted.
class DeviceLink {
public:
    virtual ~DeviceLink() = default;
    // Opens `device`, dropping whatever it sent before. Empty when it
    // opened; otherwise why not, in a line an administrator can act on.
    virtual std::string open(const std::string& device) = 0;
    // Closes it; nothing is told after. Never fails, open or closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // At most one chunk of what the device sent; empty when nothing waits.
    virtual std::string read() = 0;
    virtual bool hasInput() const = 0;
    // All that waits for read(), left where it is.
    virtual std::string peek() = 0;
    // All of `bytes` handed to the device; false when it did not take them.
    virtual bool write(std::string_view bytes) = 0;
};

// One single-shot wait, measured to the millisecond (no coarse timer that
// fires early).
class Timer {
public:
    virtual ~Timer() = default;
    // Starts the wait anew, cancelling one under way.
    virtual void start(std::chrono::milliseconds wait) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

enum class LogLevel { Debug, Info, Warning };

class Platform {
public:
    virtual ~Platform() = default;

    virtual std::unique_ptr<DeviceLink> makeLink(LinkEvents& events) = 0;
    virtual std::unique_ptr<Timer> makeTimer(std::function<void()> onTimeout) = 0;
    // Runs `work` once the event under way has returned.
    virtual void post(std::function<void()> work) = 0;

    // The device port N opens now, looked up anew each time (the port map:
    // the variable SCANFORMS_COM<N>, the settings file, the platform's Nth
    // serial port).
    virtual std::string portDevice(std::int16_t port) = 0;
    // How long the setup string's answer is waited for, as the site set it.
    virtual std::chrono::milliseconds setupAnswerTimeout() = 0;
    // The serial devices this machine has, "A, B" ("none"), for the line
    // that logs a failed open.
    virtual std::string deviceNames() = 0;
    // What a "no answer" diagnostic adds when a device other than `tried`
    // is there, ending in a blank; empty otherwise.
    virtual std::string otherDevicesHint(const std::string& tried) = 0;
    // One line in the component's log ("scanforms.serial"), UTF-8, already
    // made fit for one line (common/log_text.h).
    virtual void log(LogLevel level, std::string_view line) = 0;
};

}  // namespace scanforms::scanner
