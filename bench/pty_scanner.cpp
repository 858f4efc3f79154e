#include "pty_scanner.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QEventLoop>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace scanforms::bench {

PtyScanner::PtyScanner() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::array<char, 128> name{};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot open a pseudo-terminal");
    }
    path_ = name.data();
    // Holding the device end open keeps the line up while the station has
    // it closed; raw, so nothing is echoed before the station sets it up.
    keeper_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (keeper_ < 0 || ::tcgetattr(keeper_, &settings) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot open " + path_);
    }
    ::cfmakeraw(&settings);
    ::tcsetattr(keeper_, TCSANOW, &settings);
    readable_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, [this] { readCommands(); });
}

PtyScanner::~PtyScanner() {
    readable_.reset();
    ::close(keeper_);
    ::close(master_);
}

void PtyScanner::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno == EAGAIN) {
            pollfd writable{master_, POLLOUT, 0};
            ::poll(&writable, 1, -1);
        } else if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "cannot write to the station");
        }
    }
}

void PtyScanner::readCommands() {
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(master_, buffer.data(), buffer.size());
        if (count <= 0) {
            return;
        }
        for (std::string& line :
             splitter_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(count)))) {
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

std::string cleanResponse(int serial) {
    static constexpr char kMarks[] = "ABDHP@";
    std::array<char, 8> id{};
    std::snprintf(id.data(), id.size(), "%06d", serial % 1'000'000);
    std::string response = std::string("HEAD-12345") + id.data() + "XYZ1234567";
    for (int n = 0; n < 200; ++n) {
        response += kMarks[(serial + n) % 6];
    }
    return response;
}

}  // namespace scanforms::bench
