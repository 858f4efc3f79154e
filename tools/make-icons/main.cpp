// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// make-icons: writes the program's icon, the Scan window's sheet motif, in
// the hicolor layout of a desktop's icon theme:
//
//   make-icons OUTDIR NAME SIZE...
//
// gives OUTDIR/<SIZE>x<SIZE>/apps/NAME.png for every SIZE, and
//
//   make-icons --windows OUTDIR
//
// gives what the Windows program's resources hold: OUTDIR/scanforms.ico (the
// icon in the sizes Windows shows, each a PNG image) and
// OUTDIR/sheet-motif.bmp (the window's picture at its drawn size).

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdio>
#include <string_view>
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

void putLittleEndian(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// An ICO file whose images are PNG streams, as Windows reads them since
// Vista: a 6-byte header, a 16-byte entry per image, then the images.
QByteArray iconFile(const QImage& motif, const std::vector<int>& sizes) {
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        motifAt(motif, size).save(&buffer, "PNG");
        images.push_back(png);
    }
    QByteArray out;
    putLittleEndian(out, 0, 2);  // reserved
    putLittleEndian(out, 1, 2);  // an icon
    putLittleEndian(out, static_cast<quint32>(images.size()), 2);
    auto offset = static_cast<quint32>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        putLittleEndian(out, size >= 256 ? 0 : static_cast<quint32>(size), 1);  // 0 means 256
        putLittleEndian(out, size >= 256 ? 0 : static_cast<quint32>(size), 1);
        putLittleEndian(out, 0, 2);   // no palette, reserved
        putLittleEndian(out, 1, 2);   // colour planes
        putLittleEndian(out, 32, 2);  // bits a pixel
        putLittleEndian(out, static_cast<quint32>(images[i].size()), 4);
        putLittleEndian(out, offset, 4);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images) {
        out.append(image);
    }
    return out;
}

int writeWindowsResources(const QString& outDir) {
    const QImage motif = scanforms::window::sheetMotif();
    const std::vector<int> iconSizes{16, 24, 32, 48, 64, 256};
    QFile icon(outDir + QStringLiteral("/scanforms.ico"));
    const QString bitmap = outDir + QStringLiteral("/sheet-motif.bmp");
    if (!QDir().mkpath(outDir) || !icon.open(QIODevice::WriteOnly) ||
        icon.write(iconFile(motif, iconSizes)) < 0 || !icon.flush() ||
        !motif.convertToFormat(QImage::Format_RGB888).save(bitmap, "BMP")) {
        std::fprintf(stderr, "make-icons: cannot write the Windows resources in %s\n",
                     qPrintable(outDir));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--windows") {
        return writeWindowsResources(QString::fromLocal8Bit(argv[2]));
    }
    std::vector<int> sizes;
    if (argc < 4 || !parseSizes(argc, argv, sizes)) {
        std::fprintf(stderr,
                     "usage: make-icons OUTDIR NAME SIZE... | make-icons --windows OUTDIR\n");
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
