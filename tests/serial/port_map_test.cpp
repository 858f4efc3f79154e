// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/port_map.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <fstream>
#include <optional>

#include "serial/scanner_settings.h"
#include "serial/serial_devices.h"

namespace scanforms::serial {
namespace {

// Each row: what the variable and the settings file say for Com1, and what
// Com1 resolves to. Com4 is never mapped and keeps its default.
TEST(PortMap, VariableThenSettingsFileThenThePlatformsPort) {
    struct Case {
        const char* what;
        std::optional<QByteArray> variable;
        std::optional<std::string> settings;  // the file's whole text
        std::string device;
        PortSource source;
    };
    const Case cases[] = {
        {"nothing set", std::nullopt, std::nullopt, "/dev/ttyS0", PortSource::Default},
        {"a variable", "/dev/ttyUSB0", std::nullopt, "/dev/ttyUSB0", PortSource::Variable},
        {"an empty variable", "", std::nullopt, "/dev/ttyS0", PortSource::Default},
        {"the settings file", std::nullopt, "[ports]\nCom1=/dev/serial/by-id/usb-A1\n",
         "/dev/serial/by-id/usb-A1", PortSource::SettingsFile},
        {"the variable over the file", "/tmp/scanner", "[ports]\nCom1=/dev/ttyACM0\n",
         "/tmp/scanner", PortSource::Variable},
        {"another port in the file", std::nullopt, "[ports]\nCom2=/dev/ttyACM0\n", "/dev/ttyS0",
         PortSource::Default},
        {"a file that is no INI", std::nullopt, std::string("\x89PNG\r\n\x1a\n\0", 9), "/dev/ttyS0",
         PortSource::Default},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        if (c.settings) {
            ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("scanforms")));
            std::ofstream(settingsFilePath(), std::ios::binary) << *c.settings;
        }
        if (c.variable) {
            qputenv("SCANFORMS_COM1", *c.variable);
        } else {
            qunsetenv("SCANFORMS_COM1");
        }
        EXPECT_EQ(settingsFilePath(), config.filePath("scanforms/scanforms.conf").toStdString());
        const PortDevice com1 = resolvePort(1);
        EXPECT_EQ(com1.device, c.device);
        EXPECT_EQ(com1.source, c.source);
        EXPECT_EQ(resolvePort(4).device, "/dev/ttyS3");
    }
    qunsetenv("SCANFORMS_COM1");
    qunsetenv("XDG_CONFIG_HOME");
}

// The setup wait from the same file: whole seconds from 1 to 120, else 10.
TEST(ScannerSettings, SetupAnswerTimeoutInSecondsFrom1To120ElseTen) {
    using std::chrono::seconds;
    const std::pair<const char*, seconds> cases[] = {
        {"", seconds(10)},
        {"[scanner]\nSetupAnswerTimeout=1\n", seconds(1)},
        {"[scanner]\nSetupAnswerTimeout= 120 \n", seconds(120)},
        {"[scanner]\nSetupAnswerTimeout=0\n", seconds(10)},
        {"[scanner]\nSetupAnswerTimeout=121\n", seconds(10)},
        {"[scanner]\nSetupAnswerTimeout=2.5\n", seconds(10)},
        {"[scanner]\nSetupAnswerTimeout=soon\n", seconds(10)},
        {"[ports]\nSetupAnswerTimeout=5\n", seconds(10)},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("scanforms")));
        std::ofstream(settingsFilePath(), std::ios::binary) << text;
        EXPECT_EQ(setupAnswerTimeout(), expected);
    }
    qunsetenv("XDG_CONFIG_HOME");
}

// What checkAccess says of `path` to this process's user, or to nobody when
// this process runs as root, whom no permission stops.
DeviceAccess accessOfAnOrdinaryUser(const QString& path) {
    if (::geteuid() != 0) {
        return checkAccess(path).access;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool nobody = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(nobody ? static_cast<int>(checkAccess(path).access) : 100);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 100) << "could not become nobody";
    return static_cast<DeviceAccess>(WEXITSTATUS(status));
}

// A device opens for reading and writing both, or not at all.
TEST(SerialDevices, ADeviceIsAllowedOnlyWhenThisUserMayReadAndWriteIt) {
    const std::tuple<bool, bool, DeviceAccess> cases[] = {{true, true, DeviceAccess::Allowed},
                                                          {true, false, DeviceAccess::NotAllowed},
                                                          {false, true, DeviceAccess::NotAllowed}};
    // Nobody is one of the others; this user owns the file.
    const bool root = ::geteuid() == 0;
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::setPermissions(
        folder.path(), QFile::permissions(folder.path()) | QFile::ReadOther | QFile::ExeOther));
    const QString device = folder.filePath(QStringLiteral("ttyUSB0"));
    ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    for (const auto& [read, write, access] : cases) {
        SCOPED_TRACE(read ? (write ? "read and write" : "read only") : "write only");
        QFile::Permissions permissions =
            root ? QFile::ReadOwner | QFile::WriteOwner : QFile::Permissions();
        permissions |= read ? (root ? QFile::ReadOther : QFile::ReadOwner) : QFile::Permissions();
        permissions |=
            write ? (root ? QFile::WriteOther : QFile::WriteOwner) : QFile::Permissions();
        ASSERT_TRUE(QFile::setPermissions(device, permissions));
        EXPECT_EQ(accessOfAnOrdinaryUser(device), access);
    }
}

}  // namespace
}  // namespace scanforms::serial
