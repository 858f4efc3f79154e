// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The manual pages: they render without a warning, give man-db a whatis
// line, name only files the package installs, and document the texts the
// programs print or show, as the programs' sources spell them.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <string>
#include <vector>

#include "installed_package.h"
#include "qt_printing.h"
#include "station/operator_texts.h"
#include "tool_run.h"

namespace scanforms::package_test {
namespace {

struct ManPage {
    const char* name;     // scanforms
    const char* sources;  // the program's source folder in the repository
    // Texts of the program an operator meets, each as its source spells it.
    std::vector<const char*> texts;
};

void PrintTo(const ManPage& page, std::ostream* out) {
    *out << page.name;
}

const ManPage kScanformsPage{
    "scanforms",
    "src",
    {// Instructions and the status box
     "Get ready -- Turn scanner power switch on, load your forms.",
     "Which Communications port is your scanner cabled to?",
     "Press the red End of Batch button on the scanner when you are done.",
     "Comm Port opened OK. Initializing Scanner...",
     "Comm Port open failed.  Please select a different Comm Port.", kScannerReady,
     "Scanner not detected.  Check the power and cable.", "Start feeding your answer sheets.",
     "Please initialize the scanner first.", kBatchNotStarted, "The scanner read....",
     // Message boxes
     "Read error.", kFaultBox, "Multiple marks at position(s):  ", "Re-scan the form.", "Warning!",
     kEndOfBatchBox, "Press the END button on your scanner.", "Press scanner END button.",
     kFailurePrefix,
     // Failure descriptions
     "File not found", "Path not found", "Permission denied", "Disk full", "Path/File access error",
     "Bad file mode", "Bad file name or number", "Too many files", "Device I/O error",
     "Device unavailable", "Input past end of file", "Type mismatch", "Overflow",
     " is not one of Com1 to Com4", " is not a serial port", "No port chosen: click Com1",
     "Port is not open", "Scanner is not connected", "Could not send to the scanner",
     "Out of memory",
     // Where the ports are
     "SCANFORMS_COM", "/dev/ttyS"}};

const ManPage kScannerSimPage{
    "scanner-sim",
    "tools/scanner-sim",
    {// Options and script items
     "--link", "--log", "--wire-speed", "SHEET", "EMPTY", "FAULT", "NOTICE", "END", "NOTDETECTED",
     "SILENT", "NOISE", "HANGUP", "RAW", "LINESETTINGS",
     // Diagnostics
     "no script given", "unknown option ", "only one script, please: ", " needs a path",
     "cannot read the script ", "unknown item", " takes no text", " needs a text after one space",
     "needs two hex digits", "cannot open a pseudo-terminal", "cannot set up a pseudo-terminal",
     " exists and is not a symbolic link", "cannot make the link ", "cannot open the log ",
     "cannot write the log", "poll failed"}};

// Every C++ source and header under `folder`, one after another.
QByteArray sourceText(const QString& folder) {
    QByteArray text;
    QDirIterator files(folder, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        text += readBytes(files.next());
    }
    return text;
}

class ManPages : public ::testing::TestWithParam<ManPage> {
protected:
    void SetUp() override {
        ASSERT_TRUE(packageInstalled()) << missingPackageHint();
        for (const char* tool : {"groff", "lexgrog"}) {
            ASSERT_FALSE(findTool(tool).isEmpty())
                << missingTool(tool, tool == QLatin1String("lexgrog") ? "man-db" : "groff-base")
                       .toStdString();
        }
        source_ = readBytes(pagePath());
        ASSERT_FALSE(source_.isEmpty()) << pagePath().toStdString() << " is missing or empty";
    }

    QString pagePath() const {
        return installed(QStringLiteral("/usr/share/man/man1/%1.1").arg(GetParam().name));
    }

    // The page as plain text, each paragraph on one line (a line length no
    // paragraph reaches), so texts are found whole.
    QString plainText() const {
        const ToolRun run =
            runTool("groff", {"-man", "-Tascii", "-P-cbou", "-rLL=5000n"}, withInput(source_));
        EXPECT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
        return QString::fromLatin1(run.out);
    }

    QByteArray source_;
};

TEST_P(ManPages, RenderWithoutWarnings) {
    for (const char* device : {"utf8", "ps"}) {
        const ToolRun run = runTool("groff", {"-man", "-ww", "-z", QStringLiteral("-T") + device},
                                    withInput(source_));
        EXPECT_TRUE(run.finished && run.exitCode == 0)
            << device << ": " << run.describe().toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << device << ": " << run.err.toStdString();
    }
}

TEST_P(ManPages, GiveManDbAWhatisLine) {
    const ToolRun run = runTool("lexgrog", {pagePath()});
    EXPECT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
    EXPECT_TRUE(run.out.contains(QByteArray(GetParam().name) + " - ")) << run.out.toStdString();
}

TEST_P(ManPages, NameOnlyFilesThePackageInstalls) {
    static const QRegularExpression kInstalledPath(QStringLiteral(R"(/usr/[\w./+-]*[\w+-])"));
    QSet<QString> named;
    for (const auto& match : kInstalledPath.globalMatch(plainText())) {
        named.insert(match.captured());
    }
    EXPECT_FALSE(named.isEmpty());
    for (const QString& path : named) {
        EXPECT_TRUE(QFileInfo::exists(installed(path)))
            << path.toStdString() << " is named in the page but not in the package";
    }
}

TEST_P(ManPages, DocumentTheProgramsTexts) {
    const QByteArray sources = sourceText(QStringLiteral(SOURCE_DIR "/") + GetParam().sources);
    ASSERT_FALSE(sources.isEmpty());
    const QString page = plainText();
    for (const char* text : GetParam().texts) {
        // A text the program no longer has means this table is out of date.
        EXPECT_TRUE(sources.contains(text))
            << GetParam().sources << " has no text \"" << text << "\"";
        EXPECT_TRUE(page.contains(QLatin1String(text)))
            << GetParam().name << "(1) does not show \"" << text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, ManPages, ::testing::Values(kScanformsPage, kScannerSimPage),
                         [](const auto& tested) {
                             std::string name = tested.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(ManPageAlias, ManShowsThePageOfScanformsForScanformsStation) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    const QString man = findTool("man");
    ASSERT_FALSE(man.isEmpty()) << missingTool("man", "man-db").toStdString();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MANWIDTH", "80");
    const ToolRun run =
        runTool(man, {"-M", installed("/usr/share/man"), "-P", "cat", "scanforms-station"},
                withEnvironment(environment));
    ASSERT_TRUE(run.finished && run.exitCode == 0) << run.describe().toStdString();
    EXPECT_TRUE(run.out.startsWith("SCANFORMS(1)")) << run.out.left(200).toStdString();
    EXPECT_TRUE(run.out.contains("--folder"));
}

}  // namespace
}  // namespace scanforms::package_test
