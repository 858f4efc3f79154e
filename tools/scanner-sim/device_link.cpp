// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "device_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

namespace scanner_sim {
namespace {

std::string readLink(const std::string& path) {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    return length < 0 ? std::string()
                      : std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace

void DeviceLink::pointAt(const std::string& target) {
    if (path_.empty()) {
        return;
    }
    struct stat status {};
    if (::lstat(path_.c_str(), &status) == 0 && !S_ISLNK(status.st_mode)) {
        throw std::system_error(EEXIST, std::generic_category(),
                                path_ + " exists and is not a symbolic link");
    }
    const std::string temporary = path_ + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot make the link " + path_);
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw std::system_error(error, std::generic_category(), "cannot make the link " + path_);
    }
    target_ = target;
}

void DeviceLink::remove() {
    if (path_.empty() || target_.empty()) {
        return;
    }
    if (readLink(path_) == target_) {
        ::unlink(path_.c_str());
    }
    target_.clear();
}

}  // namespace scanner_sim
