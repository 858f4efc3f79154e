// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "driver_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

#include "fakes/file_bytes.h"
#include "sim_process.h"
#include "wait_for.h"

extern char** environ;

namespace scanforms::testing {
namespace {

constexpr std::chrono::seconds kSettleDeadline{60};
constexpr std::chrono::milliseconds kLogPoll{1};
constexpr char kMarker[] = "AFTER-THE-KILL";

}  // namespace

std::string stationDriverPath() {
    const std::string path = STATION_DRIVER_PATH;
    if (!std::filesystem::exists(path)) {
        throw std::runtime_error("station_driver not found at " + path +
                                 ": build the station_driver target");
    }
    return path;
}

DriverProcess::DriverProcess(const std::string& device, const std::string& outputFile,
                             const Launch& launch) {
    const std::string program = stationDriverPath();
    outputFile_ = outputFile.empty()
                      ? (std::filesystem::current_path() / "driver-output.txt").string()
                      : outputFile;

    // The launch's own variables stand in for the inherited ones they name.
    const auto setByLaunch = [&](const std::string& variable) {
        const std::string name = variable.substr(0, variable.find('=') + 1);
        return std::any_of(launch.environment.begin(), launch.environment.end(),
                           [&](const std::string& own) { return own.rfind(name, 0) == 0; });
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("SCANFORMS_COM", 0) != 0 && variable.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
            !setByLaunch(variable)) {
            environment.push_back(variable);
        }
    }
    environment.push_back("SCANFORMS_COM1=" + device);
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    environment.insert(environment.end(), launch.environment.begin(), launch.environment.end());
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> words = launch.wrapper;
    words.push_back(program);
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int spawned =
        posix_spawnp(&pid_, words.front().c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + words.front() + ": " + std::strerror(spawned));
    }
}

DriverProcess::~DriverProcess() {
    kill();
}

bool DriverProcess::running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return true;
}

void DriverProcess::signal(int number) {
    if (pid_ > 0) {
        ::kill(pid_, number);
    }
}

void DriverProcess::kill(const std::function<void()>& whileDying) {
    if (pid_ <= 0) {
        if (whileDying) {
            whileDying();
        }
        return;
    }
    ::kill(pid_, SIGKILL);
    if (whileDying) {
        whileDying();
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) == -1 && errno == EINTR) {
    }
    pid_ = -1;
}

std::string DriverProcess::output() const {
    return readFileBytes(outputFile_);
}

std::uint32_t chooseSeed(const char* variable) {
    if (const char* given = std::getenv(variable)) {
        return static_cast<std::uint32_t>(std::strtoul(given, nullptr, 10));
    }
    return std::random_device{}();
}

// Commands the dead program wrote may still be on their way through the
// pseudo-terminal. A line written after them, once logged, shows that all of
// them were logged too.
std::vector<std::string> settledLog(SimProcess& sim) {
    const int device = ::open(sim.linkPath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(device, 0) << "cannot open " << sim.linkPath();
    if (device < 0) {
        return sim.logLines();
    }
    const std::string line = std::string(kMarker) + "\r";
    EXPECT_EQ(::write(device, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    ::close(device);
    std::vector<std::string> log;
    const bool settled = waitFor(
        [&] {
            log = sim.logLines();
            return !log.empty() && log.back() == kMarker;
        },
        kSettleDeadline, kLogPoll);
    EXPECT_TRUE(settled) << "the simulator never logged the line sent after the kill";
    if (settled) {
        log.pop_back();
    }
    return log;
}

}  // namespace scanforms::testing
