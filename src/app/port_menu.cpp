// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/port_menu.h"

#include <QActionGroup>
#include <QLoggingCategory>
#include <QMenu>
#include <array>
#include <utility>

#include "app/port_listing.h"
#include "serial/port_map.h"
#include "window/message_box.h"
#include "window/scan_window.h"

namespace scanforms::app {
namespace {

Q_LOGGING_CATEGORY(lcPortMap, "scanforms.program", QtInfoMsg)

// A menu entry shows an ampersand as itself, not as the mark of a shortcut.
QString asEntryText(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString entryTextOf(const serial::SerialDevice& device) {
    QString text = device.mapName();
    if (const QString about = serial::aboutDevice(device); !about.isEmpty()) {
        text += QStringLiteral("  (%1)").arg(about);
    }
    return text;
}

}  // namespace

PortMenus::PortMenus(window::ScanWindow& window, serial::SerialDeviceSource devices)
    : QObject(&window), window_(window), devices_(std::move(devices)) {
    connect(&window_, &window::ScanWindow::portMenuRequested, this, &PortMenus::showMenu);
    showTips();
}

void PortMenus::showMenu(int index, const QPoint& at) {
    const auto port = static_cast<std::int16_t>(index + 1);
    const QString label = QString::fromStdString(serial::portLabel(port));
    const serial::PortDevice opens = serial::resolvePort(port);
    const QString opensDevice = QString::fromStdString(opens.device);
    const bool mappedByDefault = opens.source == serial::PortSource::Default;
    // What a session's variable maps is the session's to change.
    const bool fixed = opens.source == serial::PortSource::Variable;

    auto* menu = new QMenu(&window_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(QStringLiteral("Device of %1").arg(label));
    auto* entries = new QActionGroup(menu);
    const auto addDevice = [&](const QString& text, const QString& device,
                               const serial::DeviceAccessCheck& access, bool current) {
        QAction* entry = addEntry(menu, entries, text, port, device.toStdString());
        entry->setChecked(current);
        entry->setEnabled(!fixed && access.access == serial::DeviceAccess::Allowed);
        // Why the device cannot be chosen, and what to do, on a line of its own.
        if (const QString problem = serial::accessProblem(access); !problem.isEmpty()) {
            menu->addAction(asEntryText(QStringLiteral("    ") + problem))->setEnabled(false);
        }
    };

    if (fixed) {
        menu->addAction(asEntryText(QStringLiteral("%1 opens %2, set by %3: it cannot be changed "
                                                   "here")
                                        .arg(label, opensDevice,
                                             QString::fromStdString(
                                                 serial::describeSource(port, opens.source)))))
            ->setEnabled(false);
        menu->addSeparator();
    }
    const QList<serial::SerialDevice> found = devices_();
    if (found.isEmpty()) {
        menu->addAction(QStringLiteral("No serial device found"))->setEnabled(false);
    }
    bool opensFound = mappedByDefault;
    for (const serial::SerialDevice& device : found) {
        const bool current = !mappedByDefault && serial::isNamedBy(device, opensDevice);
        addDevice(asEntryText(entryTextOf(device)), device.mapName(), device.access, current);
        opensFound = opensFound || current;
    }
    if (!opensFound) {
        // Mapped to a device that is not among those found: unplugged, or
        // one the system does not list, such as a pseudo-terminal.
        addDevice(asEntryText(opensDevice), opensDevice, serial::checkAccess(opensDevice), true);
    }
    menu->addSeparator();
    QAction* byDefault =
        addEntry(menu, entries,
                 asEntryText(QStringLiteral("Default (%1)")
                                 .arg(QString::fromStdString(serial::defaultPortDevice(port)))),
                 port, {});
    byDefault->setChecked(mappedByDefault);
    byDefault->setEnabled(!fixed);
    menu->popup(at);
}

QAction* PortMenus::addEntry(QMenu* menu, QActionGroup* entries, const QString& text,
                             std::int16_t port, const std::string& device) {
    QAction* entry = menu->addAction(text);
    entry->setCheckable(true);
    entries->addAction(entry);
    connect(entry, &QAction::triggered, this, [this, port, device] { choose(port, device); });
    return entry;
}

void PortMenus::choose(std::int16_t port, const std::string& device) {
    const std::string label = serial::portLabel(port);
    if (const auto failure = serial::savePortMapping(port, device)) {
        qCWarning(lcPortMap).noquote()
            << QString::fromStdString(label) << "not changed:" << QString::fromStdString(*failure);
        window::showMessageBox(&window_, label + " was not changed: " + *failure + ".",
                               BoxStyle::Information, std::nullopt);
        return;
    }
    showTips();
    qCInfo(lcPortMap).noquote() << "port map changed from the window:"
                                << QString::fromStdString(portButtonTip(port - 1));
}

void PortMenus::showTips() {
    std::array<std::string, layout::kPortCount> tips;
    for (std::size_t i = 0; i < tips.size(); ++i) {
        tips[i] = portButtonTip(static_cast<int>(i));
    }
    window_.setPortTips(tips);
}

}  // namespace scanforms::app
