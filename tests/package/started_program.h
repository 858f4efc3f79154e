// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Starts an installed program on Qt's offscreen platform and watches it from
// outside: which window it painted and flushed to the screen first, told by
// Qt's painting log (a window is flushed once it is shown and the event loop
// has painted it), its current folder and its executable, from /proc.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <chrono>

namespace scanforms::package_test {

inline constexpr std::chrono::seconds kWindowTimeout{30};
inline constexpr std::chrono::seconds kStopTimeout{10};

class StartedProgram {
public:
    // QT_QPA_PLATFORM and QT_LOGGING_RULES are added to `environment`.
    StartedProgram(const QString& program, QProcessEnvironment environment,
                   const QString& workingDirectory);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    struct Window {
        QString className;   // such as "QMessageBox"
        QString objectName;  // empty when it has none
    };
    // The first window flushed to the screen; an empty class name when none
    // came before the deadline or the end of the program.
    Window waitForFirstWindow();

    bool running() const { return process_.state() == QProcess::Running; }
    // Where /proc says the process is: its current folder and its program.
    QString currentFolder() const;
    QString executable() const;
    // Everything it wrote on standard error so far.
    QByteArray errors();

private:
    QProcess process_;
    QByteArray errors_;
};

}  // namespace scanforms::package_test
