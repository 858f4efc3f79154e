// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/port_map.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "common/settings_ini.h"

namespace scanforms::serial {
namespace {

constexpr char kSettingsFolder[] = "scanforms";
constexpr char kSettingsFile[] = "scanforms.conf";

// Whether every line of the file is blank, a [group] or a key=value: all
// that QSettings writes back. Anything else, such as a comment, it drops.
bool holdsOnlySettings(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return true;  // no file yet; one that cannot be read fails the write
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const bool group = line.startsWith('[') && line.endsWith(']');
        if (!line.isEmpty() && !group && line.indexOf('=') <= 0) {
            return false;
        }
    }
    return true;
}

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
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

std::optional<std::string> savePortMapping(std::int16_t port, const std::string& device) {
    const QString path = QString::fromStdString(settingsFilePath());
    // Rewriting keeps the settings alone: a file with anything else in it is
    // left for whoever wrote it to change by hand.
    if (!holdsOnlySettings(path)) {
        return "the settings file " + path.toStdString() +
               " holds lines other than settings, which rewriting it would lose";
    }
    QSettings settings(path, QSettings::IniFormat);
    // QSettings writes through a QSaveFile: the new file whole, or none.
    settings.setAtomicSyncRequired(true);
    const QString key =
        QStringLiteral("%1/%2").arg(QLatin1String(kPortsGroup.data(), kPortsGroup.size()),
                                    QString::fromStdString(portLabel(port)));
    if (device.empty()) {
        settings.remove(key);
    } else {
        settings.setValue(key, QString::fromStdString(device));
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return "the settings file " + path.toStdString() + " could not be written";
    }
    return std::nullopt;
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
