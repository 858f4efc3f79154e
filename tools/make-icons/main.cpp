// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// make-icons: writes the program's icon, the Scan window's sheet motif, in
// the hicolor layout of a desktop's icon theme:
//
//   make-icons OUTDIR NAME SIZE...
//
// gives OUTDIR/<SIZE>x<SIZE>/apps/NAME.png for every SIZE.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdio>
#include <vector>

#include "window/sheet_motif.h"

namespace {

constexpr int kSmallestSize = 8;
constexpr int kLargestSize = 1024;

QString iconPath(const QString& outDir, const QString& name, int size) {
    return QStringLiteral("%1/%2x%2/apps/%3.png").arg(outDir).arg(size).arg(name);
}

// The motif at `size` pixels square, averaged down or smoothed up from its
// drawn size.
QImage motifAt(const QImage& motif, int size) {
    return motif.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

bool parseSizes(int argc, char** argv, std::vector<int>& sizes) {
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < kSmallestSize || size > kLargestSize) {
            std::fprintf(stderr, "make-icons: %s is not an icon size\n", argv[i]);
            return false;
        }
        sizes.push_back(size);
    }
    return !sizes.empty();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    if (argc < 4 || !parseSizes(argc, argv, sizes)) {
        std::fprintf(stderr, "usage: make-icons OUTDIR NAME SIZE...\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QImage motif = scanforms::window::sheetMotif();
    for (const int size : sizes) {
        const QString path = iconPath(outDir, name, size);
        if (!QDir().mkpath(QFileInfo(path).path()) || !motifAt(motif, size).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
