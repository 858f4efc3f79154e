// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner's serial port on Windows, over the comm API.
//
//   open("COM12") --CreateFileW("\\.\COM12", no sharing, overlapped)
//                 --SetCommState 9600 8N2, DTR and RTS on; PurgeComm
//   reader thread: ReadFile of one byte, waited for with no time limit, then
//                  the rest the driver holds (ClearCommError's count)
//        --chunk--> received bytes --post--> window's thread --> onInput()
//        --a read that fails--> post --> onLost(), told once
//   write() --overlapped WriteFile, waited for--> true, or false and onLost()
//
// Reading never blocks the window's thread: a thread of the port's own waits
// on the device and on the port's stop event together, as PuTTY's handle I/O
// does, and hands what it read over through the platform's message window.
// One-byte reads without timeouts behave alike on Windows and under Wine,
// where WaitCommEvent and ReadFile's interval timeouts do not. Nothing here
// looks at the modem lines, which Wine cannot report.

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "scanner/platform.h"
#include "win32/message_window.h"

namespace scanforms::win32 {

// The device CreateFileW opens for `name`: "\\.\" and the name, unless the
// name starts with it already.
std::wstring commDevicePath(const std::string& name);

// Why `device` did not open, from the system's message for `error`; a port
// another program holds says so.
std::string describeOpenFailure(const std::string& device, unsigned long error);

class CommPort final : public scanner::DeviceLink {
public:
    CommPort(std::shared_ptr<MessageWindow> window, scanner::LinkEvents& events);
    ~CommPort() override;

    std::string open(const std::string& device) override;
    void close() override;
    bool isOpen() const override;
    std::string read() override;
    bool hasInput() const override;
    std::string peek() override;
    bool write(std::string_view bytes) override;

private:
    // What the reader thread and the window's thread share; posted work holds
    // it, so that work arriving after close() finds `open` false.
    struct Shared {
        std::mutex lock;
        std::string received;
        bool inputTold = false;
        bool open = false;
        bool lostTold = false;
    };

    std::string setUpLine(const std::string& device);
    void readLoop(HANDLE stop);
    bool readInto(std::string& chunk, DWORD count, HANDLE stop, DWORD& error);
    void tellInput();
    void tellLost(const std::string& why);

    std::shared_ptr<MessageWindow> window_;
    scanner::LinkEvents& events_;
    std::shared_ptr<Shared> shared_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    std::string device_;
    std::thread reader_;
};

}  // namespace scanforms::win32
