// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The .deb itself: its name, its control fields and declared dependencies,
// what lintian finds in it, the files it installs, and the icon in every size.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "installed_package.h"
#include "qt_printing.h"
#include "tool_run.h"
#include "window/sheet_motif.h"

namespace scanforms::package_test {
namespace {

class PackageFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(debFile().isEmpty()) << missingPackageHint(); }

    // One field of the package's control file, as dpkg-deb reads it.
    static QString field(const QString& name) {
        const ToolRun run = runTool(QStringLiteral("dpkg-deb"), {"-f", debFile(), name});
        return run.finished && run.exitCode == 0 ? QString::fromUtf8(run.out).trimmed() : QString();
    }

    // The package names of a relation field, versions and alternatives dropped.
    static QStringList packagesOf(const QString& relations) {
        QStringList names;
        for (const QString& relation :
             relations.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts)) {
            names << relation.section(QLatin1Char('('), 0, 0).trimmed();
        }
        return names;
    }
};

TEST_F(PackageFile, IsNamedAfterPackageVersionAndArchitecture) {
    const ToolRun arch = runTool(QStringLiteral("dpkg"), {"--print-architecture"});
    ASSERT_TRUE(arch.finished && arch.exitCode == 0) << arch.describe().toStdString();
    const QString architecture = QString::fromUtf8(arch.out).trimmed();

    EXPECT_EQ(QFileInfo(debFile()).fileName(),
              QStringLiteral("scanforms_%1_%2.deb").arg(SCANFORMS_VERSION, architecture));
    EXPECT_EQ(field("Package"), "scanforms");
    EXPECT_EQ(field("Version"), SCANFORMS_VERSION);
    EXPECT_EQ(field("Architecture"), architecture);
}

TEST_F(PackageFile, DeclaresWhatTheProgramsNeedToRun) {
    const QStringList depends = packagesOf(field("Depends"));
    // The shared libraries the programs link, found by dpkg-shlibdeps, and the
    // fonts the window names, which nothing links.
    for (const char* needed : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6serialport6",
                               "libstdc++6", "fonts-liberation", "fonts-crosextra-carlito"}) {
        EXPECT_TRUE(depends.contains(QLatin1String(needed)))
            << needed << " missing from Depends: " << depends.join(", ").toStdString();
    }
    EXPECT_TRUE(packagesOf(field("Recommends")).contains("xdg-user-dirs"));
}

TEST_F(PackageFile, DescribesItselfInASummaryAndParagraphs) {
    const QStringList lines = field("Description").split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_FALSE(lines.front().isEmpty());
    for (const QString& line : lines.mid(1)) {
        EXPECT_LE(line.size(), 80) << "description line too long: " << line.toStdString();
    }
}

TEST_F(PackageFile, PassesLintian) {
    const QString lintian = findTool(QStringLiteral("lintian"));
    ASSERT_FALSE(lintian.isEmpty()) << missingTool("lintian", "lintian").toStdString();

    // Errors and warnings only; CI runs as root, which lintian refuses unasked.
    const ToolRun run = runTool(lintian, {"--allow-root", "--fail-on", "error,warning", debFile()});
    EXPECT_TRUE(run.finished && run.exitCode == 0 && run.out.isEmpty())
        << run.describe().toStdString();
}

struct InstalledFile {
    const char* path;
    bool executable;
};

void PrintTo(const InstalledFile& file, std::ostream* out) {
    *out << file.path;
}

class PackageContents : public ::testing::TestWithParam<InstalledFile> {};

TEST_P(PackageContents, InstallsTheFile) {
    ASSERT_FALSE(debFile().isEmpty()) << missingPackageHint();
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
                      InstalledFile{"/usr/share/man/man1/scanforms.1.gz", false},
                      InstalledFile{"/usr/share/man/man1/scanforms-station.1.gz", false},
                      InstalledFile{"/usr/share/man/man1/scanner-sim.1.gz", false},
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
    ASSERT_FALSE(debFile().isEmpty()) << missingPackageHint();
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
    ASSERT_FALSE(debFile().isEmpty()) << missingPackageHint();
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
    ASSERT_FALSE(debFile().isEmpty()) << missingPackageHint();
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
