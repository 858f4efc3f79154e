// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The files of the package as the setup step installed them
// (install_tree.cmake): a scratch root that stands for /.

#include <QByteArray>
#include <QString>
#include <string>

namespace scanforms::package_test {

// Whether the setup step has installed the package into the scratch root.
bool packageInstalled();

// The scratch root, as / is for an installed package.
QString root();

// A file of the package by its installed path, such as "/usr/bin/scanforms".
QString installed(const QString& path);

QByteArray readBytes(const QString& path);

// Why the package is not there, for a failing test: run the setup step.
std::string missingPackageHint();

}  // namespace scanforms::package_test
