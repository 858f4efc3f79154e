// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The system's file-system backend with every call that changes a file, or
// makes it durable, written to a log first ("write Scan.TXT", "syncData
// Scan.TXT", "rename com.TXT.new com.TXT", "syncDirectory ."), paths relative
// to one directory and written with slashes on every platform. A test can make one logged call fail
// instead of being made, make renames onto a taken name be refused as some
// shares do, and name the process and computer the program runs as.

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/failure.h"
#include "textfile/file_system.h"

namespace scanforms::testing {

class RecordingFileSystem : public textfile::FileSystem {
public:
    explicit RecordingFileSystem(std::filesystem::path base) : base_(std::move(base)) {}

    std::vector<std::string> log;
    // Makes the next call logged as `entry` fail with `description`, before
    // it is made.
    void failOnce(const std::string& entry, const std::string& description) {
        failing_ = entry;
        failure_ = description;
    }
    bool refusesRenameOntoTakenName = false;
    textfile::ProcessIdentity identity{4242, "station-a", "machine-a"};
    std::vector<long long> runningProcesses;

    std::string currentDirectory() override { return real_.currentDirectory(); }
    std::vector<std::string> entryNames(const std::string& directory) override {
        return real_.entryNames(directory);
    }
    std::optional<textfile::FileStatus> status(const std::string& path) override {
        return real_.status(path);
    }
    textfile::FileStatus status(textfile::Handle handle) override { return real_.status(handle); }

    textfile::Handle open(const std::string& path, textfile::OpenMode mode) override {
        record("open " + name(path));
        const textfile::Handle handle = real_.open(path, mode);
        names_[handle] = name(path);
        return handle;
    }
    std::optional<textfile::Handle> createNew(const std::string& path) override {
        record("createNew " + name(path));
        const std::optional<textfile::Handle> handle = real_.createNew(path);
        if (handle) {
            names_[*handle] = name(path);
        }
        return handle;
    }
    std::size_t read(textfile::Handle handle, char* buffer, std::size_t size) override {
        return real_.read(handle, buffer, size);
    }
    void write(textfile::Handle handle, std::string_view bytes) override {
        record("write " + names_[handle]);
        real_.write(handle, bytes);
    }
    void syncData(textfile::Handle handle) override {
        record("syncData " + names_[handle]);
        real_.syncData(handle);
    }
    bool truncate(textfile::Handle handle, long long size) override {
        record("truncate " + names_[handle]);
        return real_.truncate(handle, size);
    }
    void close(textfile::Handle handle) override {
        record("close " + names_[handle]);
        real_.close(handle);
    }
    void syncDirectory(const std::string& directory) override {
        record("syncDirectory " + name(directory));
        real_.syncDirectory(directory);
    }
    bool rename(const std::string& from, const std::string& to) override {
        record("rename " + name(from) + " " + name(to));
        if (refusesRenameOntoTakenName && std::filesystem::exists(to)) {
            return false;
        }
        return real_.rename(from, to);
    }
    void writeAt(textfile::Handle handle, long long offset, std::string_view bytes) override {
        record("writeAt " + names_[handle]);
        real_.writeAt(handle, offset, bytes);
    }
    textfile::Placement placeUnderFreeName(const std::string& from,
                                           const std::string& to) override {
        record("placeUnderFreeName " + name(from) + " " + name(to));
        const textfile::Placement placement = real_.placeUnderFreeName(from, to);
        if (placement == textfile::Placement::Placed) {
            names_[handleNamed(name(from))] = name(to);
        }
        return placement;
    }
    textfile::ProcessIdentity thisProcess() override { return identity; }
    bool processRunning(long long process) override {
        return std::find(runningProcesses.begin(), runningProcesses.end(), process) !=
               runningProcesses.end();
    }
    void remove(const std::string& path) override {
        record("remove " + name(path));
        real_.remove(path);
    }
    bool makeDirectory(const std::string& path) override {
        record("makeDirectory " + name(path));
        return real_.makeDirectory(path);
    }

private:
    textfile::Handle handleNamed(const std::string& path) const {
        for (const auto& [handle, named] : names_) {
            if (named == path) {
                return handle;
            }
        }
        return -1;
    }
    std::string name(const std::string& path) const {
        return std::filesystem::path(path).lexically_relative(base_).generic_string();
    }
    void record(const std::string& entry) {
        log.push_back(entry);
        if (!failing_.empty() && entry == failing_) {
            failing_.clear();
            throw Failure(failure_);
        }
    }

    textfile::FileSystem& real_ = textfile::systemFileSystem();
    std::filesystem::path base_;
    std::map<textfile::Handle, std::string> names_;
    std::string failing_;
    std::string failure_;
};

}  // namespace scanforms::testing
