// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The files the package installs, the demo batch among them, and the icon in
// every size.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "installed_package.h"
#include "qt_printing.h"
#include "window/sheet_motif.h"

namespace scanforms::package_test {
namespace {

struct InstalledFile {
    const char* path;
    bool executable;
};

void PrintTo(const InstalledFile& file, std::ostream* out) {
    *out << file.path;
}

class PackageContents : public ::testing::TestWithParam<InstalledFile> {};

TEST_P(PackageContents, InstallsTheFile) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const QFileInfo file(installed(QLatin1String(GetParam().path)));
    ASSERT_TRUE(file.isFile()) << GetParam().path << " is not in the package";
    EXPECT_GT(file.size(), 0);
    EXPECT_EQ(file.isExecutable(), GetParam().executable);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PackageContents,
    ::testing::Values(InstalledFile{"/usr/bin/scanforms", true},
                      InstalledFile{"/usr/bin/scanforms-station", true},
                      InstalledFile{"/usr/bin/scanner-sim", true},
                      InstalledFile{"/usr/share/applications/scanforms.desktop", false},
                      InstalledFile{"/usr/share/man/man1/scanforms.1", false},
                      InstalledFile{"/usr/share/man/man1/scanforms-station.1", false},
                      InstalledFile{"/usr/share/man/man1/scanner-sim.1", false},
                      InstalledFile{"/usr/share/scanforms/demo-batch.txt", false},
                      InstalledFile{"/usr/share/doc/scanforms/wire-protocol.md", false},
                      InstalledFile{"/usr/share/doc/scanforms/installing.md", false},
                      InstalledFile{"/usr/share/doc/scanforms/README.md", false}),
    [](const auto& tested) {
        // The path as a test name: /usr/bin/scanner-sim gives usr_bin_scanner_sim.
        std::string name = std::string(tested.param.path).substr(1);
        std::replace_if(
            name.begin(), name.end(),
            [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) == 0; }, '_');
        return name;
    });

TEST(PackageSampleBatch, IsTheRepositorysDemoBatch) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const QByteArray shipped = readBytes(installed("/usr/share/scanforms/demo-batch.txt"));
    EXPECT_FALSE(shipped.isEmpty());
    EXPECT_EQ(shipped, readBytes(QStringLiteral(DEMO_BATCH_PATH)));
}

// ---- The icon ----

QString iconPath(int size) {
    return installed(QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/scanforms.png").arg(size));
}

QList<int> iconSizes() {
    QList<int> sizes;
    for (const QString& size : QStringLiteral(ICON_SIZES).split(QLatin1Char(','))) {
        sizes << size.toInt();
    }
    return sizes;
}

class PackageIcon : public ::testing::TestWithParam<int> {};

TEST_P(PackageIcon, IsASquarePngOfItsSize) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const int size = GetParam();
    const QImage icon(iconPath(size), "PNG");
    ASSERT_FALSE(icon.isNull()) << iconPath(size).toStdString() << " is missing or no PNG";
    EXPECT_EQ(icon.size(), QSize(size, size));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PackageIcon, ::testing::ValuesIn(iconSizes()));

// How far two images of one size are apart: the mean difference of their
// colour channels, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * left.width() * left.height());
}

TEST(PackageIconPicture, IsTheWindowsSheetMotif) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const QImage motif = window::sheetMotif();
    // The icon nearest the motif's own size.
    QList<int> sizes = iconSizes();
    std::sort(sizes.begin(), sizes.end(), [&](int a, int b) {
        return std::abs(a - motif.width()) < std::abs(b - motif.width());
    });
    const QImage icon(iconPath(sizes.front()), "PNG");
    ASSERT_FALSE(icon.isNull());
    // Compared small, where the blur of scaling averages out: the icon is
    // close to the motif, and far from another picture, even the motif
    // turned upside down.
    constexpr int kCompareSize = 32;
    const auto shrunk = [](const QImage& image) {
        return image.scaled(kCompareSize, kCompareSize, Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation);
    };
    const double same = meanDifference(shrunk(icon), shrunk(motif));
    const double upsideDown = meanDifference(shrunk(icon), shrunk(motif.mirrored(false, true)));
    EXPECT_LT(same, upsideDown / 10) << "icon " << same << ", upside down " << upsideDown;
}

}  // namespace
}  // namespace scanforms::package_test
