// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "pseudo_terminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace scanner_sim {
namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

constexpr std::array<std::pair<speed_t, int>, 19> kSpeeds = {{
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
}};

int baudOf(speed_t speed) {
    for (const auto& [code, baud] : kSpeeds) {
        if (code == speed) {
            return baud;
        }
    }
    return 0;
}

int dataBitsOf(tcflag_t flags) {
    switch (flags & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        fail("cannot open a pseudo-terminal");
    }
    std::array<char, 128> name{};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        const int error = errno;
        ::close(master_);
        throw std::system_error(error, std::generic_category(), "cannot set up a pseudo-terminal");
    }
    path_ = name.data();
    keeper_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (keeper_ < 0 || ::tcgetattr(keeper_, &settings) != 0) {
        const int error = errno;
        ::close(master_);
        throw std::system_error(error, std::generic_category(), "cannot open " + path_);
    }
    // Raw, so nothing is echoed or held for a line before a program sets
    // the line up itself.
    ::cfmakeraw(&settings);
    ::tcsetattr(keeper_, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal() {
    if (keeper_ >= 0) {
        ::close(keeper_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

std::string PseudoTerminal::lineSettings() const {
    termios settings{};
    if (::tcgetattr(keeper_, &settings) != 0) {
        return "unknown";
    }
    const char parity = (settings.c_cflag & PARENB) == 0   ? 'n'
                        : (settings.c_cflag & PARODD) != 0 ? 'o'
                                                           : 'e';
    return std::to_string(baudOf(::cfgetospeed(&settings))) + ',' + parity + ',' +
           std::to_string(dataBitsOf(settings.c_cflag)) + ',' +
           ((settings.c_cflag & CSTOPB) != 0 ? '2' : '1');
}

std::size_t PseudoTerminal::unread() const {
    int count = 0;
    if (::ioctl(keeper_, FIONREAD, &count) != 0 || count < 0) {
        return 0;
    }
    return static_cast<std::size_t>(count);
}

}  // namespace scanner_sim
