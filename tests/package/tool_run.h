// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Runs a command-line tool to its end, with a deadline, and keeps what it
// printed.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace scanforms::package_test {

inline constexpr std::chrono::seconds kToolTimeout{60};

struct ToolRun {
    bool finished = false;  // false: did not start, or killed at the deadline
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString describe() const;  // for a failure message
};

struct ToolOptions {
    std::optional<QProcessEnvironment> environment;  // the test's own when empty
    QString workingDirectory;
    QByteArray input;
};

ToolRun runTool(const QString& program, const QStringList& arguments,
                const ToolOptions& options = {});

// Options with one thing set.
ToolOptions withInput(const QByteArray& input);
ToolOptions withEnvironment(const QProcessEnvironment& environment);

// The tool's path on PATH, or empty.
QString findTool(const QString& name);

// "<tool> is missing: install <package> (bash scripts/install-deps.sh)"
QString missingTool(const QString& name, const QString& package);

}  // namespace scanforms::package_test
