// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "started_program.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>

namespace scanforms::package_test {
namespace {

// Qt's widget painting log names the top-level window of every flush:
//   qt.widgets.painting: Flushing QRegion(0,0 566x535) of ScanWindow(0x55..., name="Scan")
const QRegularExpression kFlushLine(QStringLiteral(
    R"re(Flushing QRegion\([^)]*\) of ([\w:]+)\(0x[0-9a-f]+(?:, name="([^"]*)")?\))re"));

int asMilliseconds(std::chrono::milliseconds duration) {
    return static_cast<int>(duration.count());
}

}  // namespace

StartedProgram::StartedProgram(const QString& program, QProcessEnvironment environment,
                               const QString& workingDirectory) {
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("qt.widgets.painting=true"));
    process_.setProcessEnvironment(environment);
    process_.setWorkingDirectory(workingDirectory);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(program, {});
    process_.setReadChannel(QProcess::StandardError);
}

StartedProgram::~StartedProgram() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(asMilliseconds(kStopTimeout))) {
            process_.kill();
            process_.waitForFinished(asMilliseconds(kStopTimeout));
        }
    }
}

StartedProgram::Window StartedProgram::waitForFirstWindow() {
    if (!process_.waitForStarted(asMilliseconds(kWindowTimeout))) {
        return {};
    }
    const QDeadlineTimer deadline(asMilliseconds(kWindowTimeout));
    for (;;) {
        const auto match = kFlushLine.match(QString::fromLocal8Bit(errors()));
        if (match.hasMatch()) {
            return {match.captured(1), match.captured(2)};
        }
        if (process_.state() != QProcess::Running || deadline.hasExpired()) {
            return {};
        }
        process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
}

QString StartedProgram::currentFolder() const {
    return QFileInfo(QStringLiteral("/proc/%1/cwd").arg(process_.processId())).symLinkTarget();
}

QString StartedProgram::executable() const {
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(process_.processId())).symLinkTarget();
}

QByteArray StartedProgram::errors() {
    errors_ += process_.readAllStandardError();
    return errors_;
}

}  // namespace scanforms::package_test
