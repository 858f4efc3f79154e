// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanforms-station, the desktop entry's launcher: which station folder it
// picks, that it creates the folder and starts scanforms there, and what it
// says when it cannot.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "installed_package.h"
#include "qt_printing.h"
#include "started_program.h"
#include "tool_run.h"

namespace scanforms::package_test {
namespace {

const QString kLauncher = QStringLiteral("/usr/bin/scanforms-station");

// A home folder of its own and an environment that knows nothing of any
// station but what a case gives it.
class LauncherHome {
public:
    LauncherHome() : home_(scratch_.filePath("home")) { QDir().mkpath(home_); }

    bool valid() const { return scratch_.isValid(); }
    const QString& home() const { return home_; }
    QString scratch(const QString& name) const { return scratch_.filePath(name); }

    // `text` written to `path` under the home folder, folders made.
    void write(const QString& path, const QByteArray& text) const {
        const QString full = home_ + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
    }

    QProcessEnvironment environment(const QString& path) const {
        QProcessEnvironment environment;
        environment.insert("PATH", path);
        environment.insert("HOME", home_);
        environment.insert("XDG_RUNTIME_DIR", scratch_.path());
        // The programs of a sanitizer build read their options from here.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            const QString value = QProcessEnvironment::systemEnvironment().value(name);
            if (!value.isEmpty()) {
                environment.insert(name, value);
            }
        }
        return environment;
    }

    // A PATH with the few programs the launcher needs, and no xdg-user-dir.
    QString pathWithoutXdgUserDir() const {
        const QString bin = scratch_.filePath("bin");
        QDir().mkpath(bin);
        for (const char* tool : {"mkdir", "dirname", "readlink"}) {
            QFile::link(findTool(tool), bin + QLatin1Char('/') + tool);
        }
        return bin;
    }

private:
    QTemporaryDir scratch_;
    QString home_;
};

QString systemPath() {
    return QProcessEnvironment::systemEnvironment().value("PATH");
}

// ---- Which folder ----

struct FolderCase {
    const char* name;
    const char* stationVariable;  // SCANFORMS_STATION; nullptr: unset
    const char* configHome;       // XDG_CONFIG_HOME under home; nullptr: unset
    const char* folderFile;       // the station-folder file's content; nullptr: none
    const char* userDirs;         // user-dirs.dirs; nullptr: none
    bool xdgUserDir;              // xdg-user-dir on PATH
    const char* expected;         // "~" is the home folder
};

void PrintTo(const FolderCase& folder, std::ostream* out) {
    *out << folder.name;
}

class StationFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(StationFolder, IsChosenInOrder) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const FolderCase& folder = GetParam();
    LauncherHome home;
    ASSERT_TRUE(home.valid());
    if (folder.xdgUserDir) {
        ASSERT_FALSE(findTool("xdg-user-dir").isEmpty())
            << missingTool("xdg-user-dir", "xdg-user-dirs").toStdString();
    }

    QProcessEnvironment environment =
        home.environment(folder.xdgUserDir ? systemPath() : home.pathWithoutXdgUserDir());
    if (folder.stationVariable != nullptr) {
        environment.insert("SCANFORMS_STATION", folder.stationVariable);
    }
    const QString configDir =
        folder.configHome != nullptr ? QLatin1String(folder.configHome) : QStringLiteral(".config");
    if (folder.configHome != nullptr) {
        environment.insert("XDG_CONFIG_HOME", home.home() + QLatin1Char('/') + configDir);
    }
    if (folder.folderFile != nullptr) {
        home.write(configDir + "/scanforms/station-folder", folder.folderFile);
    }
    if (folder.userDirs != nullptr) {
        home.write(configDir + "/user-dirs.dirs", folder.userDirs);
    }

    const ToolRun run = runTool(installed(kLauncher), {"--folder"}, withEnvironment(environment));
    ASSERT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QString::fromUtf8(folder.expected).replace(QLatin1Char('~'), home.home()) + '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationFolder,
    ::testing::Values(
        FolderCase{"VariableFirst", "/srv/a", nullptr, "/srv/b\n", nullptr, true, "/srv/a"},
        FolderCase{"EmptyVariableIgnored", "", nullptr, "/srv/b\n", nullptr, true, "/srv/b"},
        FolderCase{"FolderFile", nullptr, nullptr, "/srv/b\n", nullptr, true, "/srv/b"},
        FolderCase{"FolderFileWithCrLfAndBlanks", nullptr, nullptr, "/srv/room 12\r\nmore\n",
                   nullptr, true, "/srv/room 12"},
        FolderCase{"FolderFileWithoutNewline", nullptr, nullptr, "/srv/b", nullptr, true, "/srv/b"},
        FolderCase{"TildeIsHome", nullptr, nullptr, "~/Stations/One\n", nullptr, true,
                   "~/Stations/One"},
        FolderCase{"RelativeIsUnderHome", nullptr, nullptr, "Stations/Two\n", nullptr, true,
                   "~/Stations/Two"},
        FolderCase{"FolderFileInXdgConfigHome", nullptr, "settings", "/srv/c\n", nullptr, true,
                   "/srv/c"},
        FolderCase{"EmptyFolderFileGivesDefault", nullptr, nullptr, "\n", nullptr, true,
                   "~/Documents/Scan Forms"},
        FolderCase{"UserDirsDocuments", nullptr, nullptr, nullptr,
                   "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", true, "~/Papers/Scan Forms"},
        FolderCase{"DocumentsSetToHomeMeansNone", nullptr, nullptr, nullptr,
                   "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", true, "~/Documents/Scan Forms"},
        FolderCase{"NoUserDirs", nullptr, nullptr, nullptr, nullptr, true,
                   "~/Documents/Scan Forms"},
        FolderCase{"NoXdgUserDir", nullptr, nullptr, nullptr,
                   "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", false, "~/Documents/Scan Forms"}),
    [](const auto& tested) { return std::string(tested.param.name); });

// ---- Starting scanforms there ----

TEST(StationLauncher, CreatesTheFolderAndStartsScanformsInIt) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    LauncherHome home;
    ASSERT_TRUE(home.valid());
    const QString folder = home.scratch("stations/room 12");
    QProcessEnvironment environment = home.environment(systemPath());
    environment.insert("SCANFORMS_STATION", folder);

    StartedProgram launched(installed(kLauncher), environment, home.home());
    const StartedProgram::Window window = launched.waitForFirstWindow();

    EXPECT_FALSE(window.className.isEmpty()) << launched.errors().toStdString();
    ASSERT_TRUE(launched.running()) << launched.errors().toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(launched.currentFolder(), QFileInfo(folder).canonicalFilePath());
    EXPECT_EQ(launched.executable(),
              QFileInfo(installed("/usr/bin/scanforms")).canonicalFilePath());
    QFile port(folder + "/Com.TXT");
    EXPECT_TRUE(port.open(QIODevice::ReadOnly) && port.readAll() == "1\r\n") << "Com1 chosen";
}

struct RefusalCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    const char* message;  // part of what it prints on standard error
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) {
    *out << refusal.name;
}

class LauncherRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LauncherRefusal, SaysWhyAndStartsNothing) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    LauncherHome home;
    ASSERT_TRUE(home.valid());
    // A file stands where the station folder's parent would be.
    home.write("blocked", "not a folder");
    QProcessEnvironment environment = home.environment(home.pathWithoutXdgUserDir());
    environment.insert("SCANFORMS_STATION", home.home() + "/blocked/station");

    const ToolRun run =
        runTool(installed(kLauncher), GetParam().arguments, withEnvironment(environment));
    EXPECT_TRUE(run.finished) << run.describe().toStdString();
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.describe().toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(run.err).contains(QLatin1String(GetParam().message)))
        << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LauncherRefusal,
    ::testing::Values(RefusalCase{"FolderCannotBeMade", {}, 1, "/blocked/station"},
                      RefusalCase{"UnknownArgument", {"--help"}, 2, "usage: scanforms-station"}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace scanforms::package_test
