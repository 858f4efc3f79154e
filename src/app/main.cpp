// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanforms: reads answer sheets from an optical mark reader into Scan.TXT in
// the directory it was started in.
//
//   scanforms               the Scan window
//   scanforms --list-ports  the serial devices and what Com1 to Com4 open
//   scanforms --help | --version

#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <iostream>
#include <string_view>

#include "app/port_listing.h"
#include "app/program.h"
#include "serial/qt_platform.h"

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("scanforms"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SCANFORMS_VERSION));
}

// Our options print and end, with no window, so they work where no display
// is; an unknown one is refused the same way. Qt's own window options (one
// dash: -platform, -style) go to the window.
bool printsOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--") || argument == "-h" || argument == "-v" ||
            argument == "-?") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef SIGPIPE
    // A record file that is a pipe whose reader went away fails its write,
    // reported like any other, instead of ending the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // One line per event in the journal: the area, then what happened.
    qSetMessagePattern(QStringLiteral("%{category}: %{message}"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A scanning station: reads answer sheets from an optical mark reader on a serial port "
        "into Scan.TXT in the current directory."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listPorts(
        QStringLiteral("list-ports"),
        QStringLiteral("List the serial devices and the device each of Com1 to Com4 opens."));
    parser.addOption(listPorts);

    if (printsOnly(argc, argv)) {
        QCoreApplication application(argc, argv);
        nameTheProgram();
        parser.process(application);  // --help and --version print and end here
        std::cout << scanforms::app::listPorts();
        return 0;
    }

    QApplication application(argc, argv);
    nameTheProgram();
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("scanforms"));
    parser.process(application);  // an unknown option is refused here

    // The scanner component the window drives.
    scanforms::serial::SerialComm scanner;

    return scanforms::app::runScanForms(scanner);
}
