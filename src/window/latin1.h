// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The window's texts are bytes, one character each (the single-byte code page
// of the files and the scanner). They cross into Qt as Latin-1, never UTF-8,
// so every byte value comes back unchanged.

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace scanforms::window {

inline QString fromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters the operator typed beyond Latin-1 become '?'.
inline std::string toBytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace scanforms::window
