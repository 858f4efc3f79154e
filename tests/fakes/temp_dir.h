// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A fresh scratch folder that is the current directory while a test runs,
// and the few things about its files that only the platform can tell.
//
//   test --write/read--> TempDir (current directory) <--names-- TextFiles

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/file_bytes.h"

namespace scanforms::testing {

// A fresh directory that is the current directory while the object lives.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; path_.empty(); ++attempt) {
            if (attempt == 100) {
                throw std::runtime_error("no new scratch folder in " + base.string());
            }
            const auto candidate = base / ("scanforms-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate;
            }
        }
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const { return readFileBytes(path_ / name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    // The names in the directory, in byte order.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

#ifdef _WIN32
    // Whether `name` is held open: while it is, Windows lets no one open it
    // unshared.
    bool heldOpen(const std::string& name) const {
        const HANDLE handle = CreateFileW((path_ / name).c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return GetLastError() == ERROR_SHARING_VIOLATION;
        }
        CloseHandle(handle);
        return false;
    }
    // A name that leads to a character device taking every byte and keeping
    // none. Windows makes no other name a device, but every folder has NUL.
    std::string nullDevice(const std::string&) const {
        return "NUL";
    }
#else
    // Whether this process holds `name`, or what it links to, open (Linux:
    // a descriptor names it).
    bool heldOpen(const std::string& name) const {
        std::error_code error;
        const auto target = std::filesystem::weakly_canonical(path_ / name, error);
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            const auto held = std::filesystem::read_symlink(fd.path(), error);
            if (held == path_ / name || held == target) {
                return true;
            }
        }
        return false;
    }
    // Makes `name` lead to a character device taking every byte and keeping
    // none, and returns it: a link to /dev/null.
    std::string nullDevice(const std::string& name) const {
        std::filesystem::create_symlink("/dev/null", path_ / name);
        return name;
    }
#endif

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace scanforms::testing
