// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The package the setup step built and unpacked (build_package.cmake): the
// .deb file and the scratch root its files were unpacked into.

#include <QByteArray>
#include <QString>
#include <string>

namespace scanforms::package_test {

// The one .deb in the scratch folder; empty when the setup step has not run.
QString debFile();

// The scratch root, as / is for an installed package.
QString root();

// A file of the package by its installed path, such as "/usr/bin/scanforms".
QString installed(const QString& path);

QByteArray readBytes(const QString& path);

// Why the package is not there, for a failing test: run the setup step.
std::string missingPackageHint();

}  // namespace scanforms::package_test
