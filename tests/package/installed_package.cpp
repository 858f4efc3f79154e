// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "installed_package.h"

#include <QDir>
#include <QFile>

namespace scanforms::package_test {

QString debFile() {
    const QDir out(QStringLiteral(PACKAGE_SCRATCH "/out"));
    const QStringList debs = out.entryList({QStringLiteral("*.deb")}, QDir::Files);
    return debs.size() == 1 ? out.filePath(debs.front()) : QString();
}

QString root() {
    return QStringLiteral(PACKAGE_SCRATCH "/root");
}

QString installed(const QString& path) {
    return root() + path;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string missingPackageHint() {
    return "no package unpacked in " PACKAGE_SCRATCH
           ": run the tests through ctest, whose package_build step makes it";
}

}  // namespace scanforms::package_test
