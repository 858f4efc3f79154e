// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/port_map.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "common/settings_ini.h"
#include "textfile/ini_lines.h"
#include "textfile/settings_file.h"

namespace scanforms::serial {
namespace {

constexpr char kSettingsFolder[] = "scanforms";
constexpr char kSettingsFile[] = "scanforms.conf";

}  // namespace

std::string portVariable(std::int16_t port) {
    return scanforms::portVariable(port);
}

std::string portLabel(std::int16_t port) {
    return scanforms::portLabel(port);
}

std::string settingsFilePath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config)
        .filePath(QStringLiteral("%1/%2").arg(kSettingsFolder, kSettingsFile))
        .toStdString();
}

PortDevice resolvePort(std::int16_t port) {
    const QByteArray variable = qgetenv(portVariable(port).c_str());
    if (!variable.isEmpty()) {
        return {variable.toStdString(), PortSource::Variable};
    }
    const QSettings settings(QString::fromStdString(settingsFilePath()), QSettings::IniFormat);
    const QString mapped = settings
                               .value(QStringLiteral("%1/%2").arg(
                                   QLatin1String(kPortsGroup.data(), kPortsGroup.size()),
                                   QString::fromStdString(portLabel(port))))
                               .toString()
                               .trimmed();
    if (!mapped.isEmpty()) {
        return {mapped.toStdString(), PortSource::SettingsFile};
    }
    return {defaultPortDevice(port), PortSource::Default};
}

std::string defaultPortDevice(std::int16_t port) {
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::optional<std::string> savePortMapping(std::int16_t port, const std::string& device) {
    const std::string key = portLabel(port);
    // A file reached through a link is changed where the link leads, and
    // the link is kept.
    const QFileInfo file(QString::fromStdString(settingsFilePath()));
    const QString target = file.isSymLink() ? file.canonicalFilePath() : QString();
    const std::string path = target.isEmpty() ? settingsFilePath() : target.toStdString();
    return textfile::editSettingsFile(path, [&](std::string_view text) {
        return device.empty() ? textfile::removeIniKey(text, kPortsGroup, key)
                              : textfile::setIniValue(text, kPortsGroup, key, device);
    });
}

std::string describeSource(std::int16_t port, PortSource source) {
    switch (source) {
        case PortSource::Variable:
            return "the variable " + portVariable(port);
        case PortSource::SettingsFile:
            return "the settings file " + settingsFilePath();
        case PortSource::Default:
            break;
    }
    return "the default";
}

}  // namespace scanforms::serial
