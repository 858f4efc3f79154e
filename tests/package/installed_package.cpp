// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "installed_package.h"

#include <QFile>
#include <QFileInfo>

namespace scanforms::package_test {

bool packageInstalled() {
    return QFileInfo(installed(QStringLiteral("/usr/bin/scanforms"))).isFile();
}

QString root() {
    return QStringLiteral(PACKAGE_ROOT);
}

QString installed(const QString& path) {
    return root() + path;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string missingPackageHint() {
    return "no package installed in " PACKAGE_ROOT
           ": run the tests through ctest, whose package_install step installs it";
}

}  // namespace scanforms::package_test
