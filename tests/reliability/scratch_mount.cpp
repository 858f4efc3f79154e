// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scratch_mount.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "fakes/file_bytes.h"

extern char** environ;

namespace scanforms::testing {
namespace {

[[noreturn]] void refuse(const std::string& what, const std::string& why) {
    throw std::runtime_error(what + " failed: " + why +
                             ". The disk-fault tests mount small file systems of their own "
                             "and need root (CI runs as root).");
}

}  // namespace

int runProgram(const std::vector<std::string>& arguments, std::string* output) {
    const std::string capture =
        (std::filesystem::temp_directory_path() / ("run-" + std::to_string(::getpid()) + ".out"))
            .string();
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, capture.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + arguments.front() + ": " +
                                 std::strerror(spawned));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    if (output != nullptr) {
        *output = readFileBytes(capture);
    }
    std::filesystem::remove(capture);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ScratchMount::ScratchMount(Kind kind, std::size_t bytes) : kind_(kind) {
    std::string pattern = (std::filesystem::temp_directory_path() / "scanforms-fs-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
    mountPoint_ = directory_ / "station";
    std::filesystem::create_directory(mountPoint_);

    if (kind_ == Kind::Tmpfs) {
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            refuse("mounting a tmpfs of " + std::to_string(bytes) + " bytes", std::strerror(errno));
        }
    } else {
        const std::filesystem::path image = directory_ / "disk.ext4";
        std::ofstream(image).close();
        std::filesystem::resize_file(image, bytes);
        std::string output;
        if (runProgram({"mkfs.ext4", "-q", "-F", image.string()}, &output) != 0) {
            refuse("mkfs.ext4", output);
        }
        if (runProgram(
                {"mount", "-o", "loop,errors=remount-ro", image.string(), mountPoint_.string()},
                &output) != 0) {
            refuse("mounting an ext4 image on a loop device", output);
        }
    }
    mounted_ = true;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(mountPoint_);
}

ScratchMount::~ScratchMount() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (mounted_ && ::umount(mountPoint_.c_str()) != 0) {
        // Something still holds it: let the kernel finish when it is let go.
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    std::filesystem::remove_all(directory_, ignored);
}

void ScratchMount::resize(std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", MS_REMOUNT, options.c_str()) != 0) {
        refuse("resizing the tmpfs", std::strerror(errno));
    }
}

void ScratchMount::failToReadOnly() {
    struct stat status {};
    if (::stat(mountPoint_.c_str(), &status) != 0) {
        refuse("stat of the mount point", std::strerror(errno));
    }
    // The block device under the mount, by its numbers: /sys/dev/block/M:m
    // links to .../loopN, and ext4 offers /sys/fs/ext4/loopN/trigger_fs_error.
    const std::filesystem::path device =
        std::filesystem::read_symlink("/sys/dev/block/" + std::to_string(major(status.st_dev)) +
                                      ":" + std::to_string(minor(status.st_dev)));
    const std::filesystem::path trigger =
        std::filesystem::path("/sys/fs/ext4") / device.filename() / "trigger_fs_error";
    std::ofstream out(trigger);
    out << "scanforms reliability test: disk fault\n";
    out.close();
    if (!out) {
        refuse("writing " + trigger.string(), std::strerror(errno));
    }
}

}  // namespace scanforms::testing
