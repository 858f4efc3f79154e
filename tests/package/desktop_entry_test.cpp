// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The desktop entry "Scan Forms": valid for the desktop's menus, and every
// name in it found in the package; and the AppStream metainfo that software
// centres show for it.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTextStream>

#include "installed_package.h"
#include "qt_printing.h"
#include "tool_run.h"

namespace scanforms::package_test {
namespace {

const QString kEntryPath = QStringLiteral("/usr/share/applications/scanforms.desktop");

class DesktopEntry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(packageInstalled()) << missingPackageHint();
        ASSERT_NO_FATAL_FAILURE(readEntry());
    }

    // The keys of the [Desktop Entry] group.
    void readEntry() {
        QFile file(installed(kEntryPath));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&file);
        QString group;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (line.startsWith(QLatin1Char('['))) {
                group = line;
            } else if (group == QLatin1String("[Desktop Entry]") && line.contains('=')) {
                keys_.insert(line.section('=', 0, 0).trimmed(), line.section('=', 1));
            }
        }
    }

    QMap<QString, QString> keys_;
};

TEST_F(DesktopEntry, PassesDesktopFileValidate) {
    const QString validate = findTool(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validate.isEmpty())
        << missingTool("desktop-file-validate", "desktop-file-utils").toStdString();

    const ToolRun run = runTool(validate, {installed(kEntryPath)});
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
    // Hints and warnings are printed without failing the run.
    EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty()) << run.describe().toStdString();
}

TEST_F(DesktopEntry, IsTheScanFormsApplication) {
    EXPECT_EQ(keys_.value("Type"), "Application");
    EXPECT_EQ(keys_.value("Name"), "Scan Forms");
    EXPECT_EQ(keys_.value("Terminal"), "false");
}

TEST_F(DesktopEntry, StartsTheStationLauncherOfThePackage) {
    // The launcher takes no arguments: it picks the station folder itself.
    const QString exec = keys_.value("Exec");
    EXPECT_EQ(exec, "scanforms-station");
    const QFileInfo program(installed("/usr/bin/" + exec));
    EXPECT_TRUE(program.isFile() && program.isExecutable())
        << exec.toStdString() << " is not a program of the package";
}

TEST_F(DesktopEntry, NamesAnIconThePackageInstalls) {
    const QString icon = keys_.value("Icon");
    ASSERT_FALSE(icon.isEmpty());
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"}) {
        const QString path =
            QStringLiteral("/usr/share/icons/hicolor/%1/apps/%2.png").arg(size, icon);
        EXPECT_TRUE(QFileInfo::exists(installed(path))) << path.toStdString();
    }
}

TEST(Metainfo, PassesAppstreamValidationWithTheDesktopEntry) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const QString appstreamcli = findTool(QStringLiteral("appstreamcli"));
    ASSERT_FALSE(appstreamcli.isEmpty()) << missingTool("appstreamcli", "appstream").toStdString();
    // validate-tree passes a tree with no metainfo at all.
    const QString metainfo = QStringLiteral("/usr/share/metainfo/" APPSTREAM_ID ".metainfo.xml");
    ASSERT_TRUE(QFileInfo::exists(installed(metainfo))) << metainfo.toStdString();

    // The metainfo's own checks, and besides them that its file is named
    // after its id and that the desktop entry it launches is in the package.
    // Warnings fail the run; pedantic hints do not.
    const ToolRun run = runTool(appstreamcli, {"validate-tree", "--no-net", root()});
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
}

}  // namespace
}  // namespace scanforms::package_test
