// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A small file system of its own, mounted on a fresh directory that is the
// current directory while the object lives: a tmpfs of a fixed size (a disk
// that fills up), or ext4 on a loop device that can be made to fail the way a
// damaged disk does (the kernel remounts it read-only). Mounting needs root,
// as CI has; without it the constructor throws with a message that says so.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace scanforms::testing {

class ScratchMount {
public:
    enum class Kind { Tmpfs, Ext4 };

    ScratchMount(Kind kind, std::size_t bytes);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    const std::filesystem::path& path() const { return mountPoint_; }

    // tmpfs: a new size, taking effect at once (files stay open and intact).
    void resize(std::size_t bytes);
    // ext4: reports a file-system error, as the kernel does on a bad block;
    // the file system is mounted errors=remount-ro, so from now on every
    // write, to new files and to files already open, fails as read-only.
    void failToReadOnly();

private:
    Kind kind_;
    std::filesystem::path directory_;
    std::filesystem::path mountPoint_;
    std::filesystem::path previous_;
    bool mounted_ = false;
};

// Runs a program (looked up on PATH) and returns its exit status; its output
// goes to `output`. Throws when it cannot be started.
int runProgram(const std::vector<std::string>& arguments, std::string* output = nullptr);

}  // namespace scanforms::testing
