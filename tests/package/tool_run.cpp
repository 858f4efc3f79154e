// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "tool_run.h"

#include <QProcess>
#include <QStandardPaths>

namespace scanforms::package_test {

QString ToolRun::describe() const {
    return QStringLiteral("finished %1, exit code %2\nstdout: %3\nstderr: %4")
        .arg(finished)
        .arg(exitCode)
        .arg(QString::fromLocal8Bit(out), QString::fromLocal8Bit(err));
}

ToolRun runTool(const QString& program, const QStringList& arguments, const ToolOptions& options) {
    QProcess process;
    if (options.environment) {
        process.setProcessEnvironment(*options.environment);
    }
    if (!options.workingDirectory.isEmpty()) {
        process.setWorkingDirectory(options.workingDirectory);
    }
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted(static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(kToolTimeout).count()))) {
        run.err = process.errorString().toLocal8Bit();
        return run;
    }
    if (!options.input.isEmpty()) {
        process.write(options.input);
    }
    process.closeWriteChannel();
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kToolTimeout);
    run.finished = process.waitForFinished(static_cast<int>(timeout.count())) &&
                   process.exitStatus() == QProcess::NormalExit;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

ToolOptions withInput(const QByteArray& input) {
    ToolOptions options;
    options.input = input;
    return options;
}

ToolOptions withEnvironment(const QProcessEnvironment& environment) {
    ToolOptions options;
    options.environment = environment;
    return options;
}

QString findTool(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

QString missingTool(const QString& name, const QString& package) {
    return QStringLiteral("%1 is missing: install %2 (bash scripts/install-deps.sh)")
        .arg(name, package);
}

}  // namespace scanforms::package_test
