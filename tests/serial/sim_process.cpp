// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "fakes/file_bytes.h"

extern char** environ;

namespace scanforms::testing {
namespace {

constexpr std::chrono::seconds kExitTimeout{10};
constexpr std::chrono::milliseconds kExitPoll{5};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string simulatorPath() {
    const std::string path = SCANNER_SIM_PATH;
    if (!std::filesystem::exists(path)) {
        throw std::runtime_error("scanner-sim not found at " + path +
                                 ": build the scanner-sim target");
    }
    return path;
}

std::string scriptText(const std::string& bytes) {
    std::string text;
    for (const char byte : bytes) {
        switch (byte) {
            case '\0':
                text += "\\x00";
                break;
            case '\r':
                text += "\\x0D";
                break;
            case '\n':
                text += "\\x0A";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                text += byte;
        }
    }
    return text;
}

SimProcess::SimProcess(const Setup& setup) {
    const std::string program = simulatorPath();
    std::string pattern = (std::filesystem::temp_directory_path() / "scanner-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
    link_ = directory_ + "/scanner";
    log_ = directory_ + "/commands.log";
    const std::string script = directory_ + "/script.txt";
    std::ofstream(script, std::ios::binary) << setup.script;

    std::vector<std::string> arguments = {program, "--link", link_, "--log", log_};
    if (setup.wireSpeed) {
        arguments.push_back("--wire-speed");
    }
    arguments.insert(arguments.end(), setup.extraArguments.begin(), setup.extraArguments.end());
    arguments.push_back(script);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::array<int, 2> pipe{};
    if (::pipe2(pipe.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string errorFile = directory_ + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned =
        posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    output_ = pipe[0];
    if (spawned != 0) {
        ::close(output_);
        throw std::runtime_error("cannot start " + program);
    }
    ::fcntl(output_, F_SETFL, O_NONBLOCK);
    if (!setup.expectDevice) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kSimStartTimeout;
    while (paths().empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw std::runtime_error("scanner-sim printed no device path: " + errors());
        }
        pollfd watched{output_, POLLIN, 0};
        ::poll(&watched, 1, static_cast<int>(left.count()));
    }
    firstPath_ = paths().front();
}

SimProcess::~SimProcess() {
    if (pid_ > 0) {
        stop(SIGTERM);
    }
    if (output_ >= 0) {
        ::close(output_);
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void SimProcess::readOutput() {
    std::array<char, 512> buffer{};
    for (;;) {
        const ssize_t count = ::read(output_, buffer.data(), buffer.size());
        if (count <= 0) {
            return;
        }
        outputText_.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

std::vector<std::string> SimProcess::paths() {
    readOutput();
    // Only whole lines count.
    const std::size_t end = outputText_.rfind('\n');
    return end == std::string::npos ? std::vector<std::string>{}
                                    : splitLines(outputText_.substr(0, end + 1));
}

std::vector<std::string> SimProcess::logLines() const {
    return splitLines(readFileBytes(log_));
}

std::string SimProcess::errors() const {
    return readFileBytes(directory_ + "/stderr.txt");
}

int SimProcess::stop(int signal) {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, signal);
    return waitForExit();
}

int SimProcess::waitForExit() {
    if (pid_ <= 0) {
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + kExitTimeout;
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(kExitPoll);
    }
    pid_ = -1;
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + WTERMSIG(status);
}

}  // namespace scanforms::testing
