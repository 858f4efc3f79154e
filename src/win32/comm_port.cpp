// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/comm_port.h"

#include <utility>

#include "win32/win32_text.h"

namespace scanforms::win32 {
namespace {

constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr DWORD kDriverBuffer = 4096;
constexpr DWORD kLargestRead = 4096;
// A write may take as long as its bytes need on the line (about 1.15 ms a
// byte at 9600 baud, 8N2), and some; with no flow control it never stalls.
constexpr DWORD kWriteMillisecondsPerByte = 2;
constexpr DWORD kWriteMilliseconds = 2000;

// An event the system signals when an overlapped call ends.
struct Overlapped {
    OVERLAPPED overlapped{};
    Overlapped() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() { CloseHandle(overlapped.hEvent); }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
};

}  // namespace

std::wstring commDevicePath(const std::string& name) {
    const std::wstring wide = toWide(name);
    return wide.starts_with(kDevicePrefix) ? wide : std::wstring(kDevicePrefix) + wide;
}

std::string describeOpenFailure(const std::string& device, unsigned long error) {
    const std::string system = systemMessage(error);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return device + " is in use by another program (" + system +
               "); close that program, then try again";
    }
    return device + ": " + system;
}

CommPort::CommPort(std::shared_ptr<MessageWindow> window, scanner::LinkEvents& events)
    : window_(std::move(window)), events_(events) {}

CommPort::~CommPort() {
    close();
}

std::string CommPort::open(const std::string& device) {
    close();
    const std::wstring path = commDevicePath(device);
    handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        return describeOpenFailure(device, GetLastError());
    }
    if (std::string why = setUpLine(device); !why.empty()) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return why;
    }
    device_ = device;
    shared_ = std::make_shared<Shared>();
    shared_->open = true;
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    reader_ = std::thread([this, stop = stop_] { readLoop(stop); });
    return {};
}

std::string CommPort::setUpLine(const std::string& device) {
    DCB line{};
    line.DCBlength = sizeof line;
    COMMTIMEOUTS timeouts{};
    // Reads wait for their bytes however long it takes; the reader thread
    // asks for no more than the driver holds, beyond the first byte.
    timeouts.WriteTotalTimeoutMultiplier = kWriteMillisecondsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteMilliseconds;
    const bool ready = SetupComm(handle_, kDriverBuffer, kDriverBuffer) &&
                       GetCommState(handle_, &line) && [&] {
                           line.BaudRate = CBR_9600;
                           line.ByteSize = 8;
                           line.Parity = NOPARITY;
                           line.StopBits = TWOSTOPBITS;
                           line.fBinary = TRUE;
                           line.fParity = FALSE;
                           line.fOutxCtsFlow = FALSE;
                           line.fOutxDsrFlow = FALSE;
                           line.fDsrSensitivity = FALSE;
                           line.fOutX = FALSE;
                           line.fInX = FALSE;
                           line.fNull = FALSE;
                           line.fAbortOnError = FALSE;
                           line.fDtrControl = DTR_CONTROL_ENABLE;
                           line.fRtsControl = RTS_CONTROL_ENABLE;
                           return SetCommState(handle_, &line) != 0;
                       }() && SetCommTimeouts(handle_, &timeouts) &&
                       PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return ready ? std::string() : device + ": " + systemMessage(GetLastError());
}

void CommPort::close() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return;
    }
    {
        const std::lock_guard lock(shared_->lock);
        shared_->open = false;
    }
    SetEvent(stop_);
    reader_.join();
    CloseHandle(stop_);
    stop_ = nullptr;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool CommPort::isOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

std::string CommPort::read() {
    if (!shared_) {
        return {};
    }
    const std::lock_guard lock(shared_->lock);
    return std::exchange(shared_->received, {});
}

bool CommPort::hasInput() const {
    if (!shared_) {
        return false;
    }
    const std::lock_guard lock(shared_->lock);
    return !shared_->received.empty();
}

std::string CommPort::peek() {
    if (!shared_) {
        return {};
    }
    const std::lock_guard lock(shared_->lock);
    return shared_->received;
}

bool CommPort::write(std::string_view bytes) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    Overlapped pending;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    const bool ended = (WriteFile(handle_, bytes.data(), size, nullptr, &pending.overlapped) ||
                        GetLastError() == ERROR_IO_PENDING) &&
                       GetOverlappedResult(handle_, &pending.overlapped, &written, TRUE);
    if (!ended) {
        tellLost(device_ + ": a write failed: " + systemMessage(GetLastError()));
    } else if (written != size) {
        tellLost(device_ + ": a write ended with " + std::to_string(written) + " of " +
                 std::to_string(size) + " bytes taken");
    }
    return ended && written == size;
}

void CommPort::readLoop(HANDLE stop) {
    std::string chunk;
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        if (!readInto(chunk, 1, stop, error)) {
            break;
        }
        if (chunk.empty()) {
            // A read without timeouts ends with bytes; one that ends without
            // is a device whose far end is gone.
            error = ERROR_HANDLE_EOF;
            break;
        }
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status)) {
            error = GetLastError();
            break;
        }
        const DWORD waiting = status.cbInQue < kLargestRead ? status.cbInQue : kLargestRead;
        if (waiting > 0 && !readInto(chunk, waiting, stop, error)) {
            break;
        }
        {
            const std::lock_guard lock(shared_->lock);
            shared_->received += chunk;
        }
        chunk.clear();
        tellInput();
    }
    if (error != ERROR_SUCCESS) {
        tellLost(device_ + ": a read failed: " + systemMessage(error));
    }
}

// Appends up to `count` bytes to `chunk`, waiting for the first as long as
// it takes. False when the port is closing (`error` left as it is) or the
// read failed (`error` says why).
bool CommPort::readInto(std::string& chunk, DWORD count, HANDLE stop, DWORD& error) {
    Overlapped pending;
    std::string buffer(count, '\0');
    DWORD got = 0;
    if (!ReadFile(handle_, buffer.data(), count, nullptr, &pending.overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        error = GetLastError();
        return false;
    }
    const HANDLE waited[] = {pending.overlapped.hEvent, stop};
    if (WaitForMultipleObjects(2, waited, FALSE, INFINITE) != WAIT_OBJECT_0) {
        CancelIoEx(handle_, &pending.overlapped);
        GetOverlappedResult(handle_, &pending.overlapped, &got, TRUE);
        return false;
    }
    if (!GetOverlappedResult(handle_, &pending.overlapped, &got, FALSE)) {
        error = GetLastError();
        return false;
    }
    chunk.append(buffer, 0, got);
    return true;
}

void CommPort::tellInput() {
    {
        const std::lock_guard lock(shared_->lock);
        if (shared_->inputTold) {
            return;
        }
        shared_->inputTold = true;
    }
    window_->post([shared = shared_, &events = events_] {
        {
            const std::lock_guard lock(shared->lock);
            shared->inputTold = false;
            if (!shared->open) {
                return;
            }
        }
        events.onInput();
    });
}

void CommPort::tellLost(const std::string& why) {
    window_->post([shared = shared_, &events = events_, why] {
        {
            const std::lock_guard lock(shared->lock);
            if (!shared->open || shared->lostTold) {
                return;
            }
            shared->lostTold = true;
        }
        events.onLost(why);
    });
}

}  // namespace scanforms::win32
