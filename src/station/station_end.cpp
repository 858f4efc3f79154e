// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Done, the window's end, and the sheets the scanner still holds when the
// station stops listening to it.

#include "station/station.h"
#include "station/station_files.h"

namespace scanforms {

HeldInput Station::logHeldInput(ListeningStops stops) {
    const HeldInput held = scanner_.heldInput();
    for (const std::string& line : heldInputLogLines(held, stops)) {
        view_.log(line);
    }
    return held;
}

void Station::stopScanningNamingHeldInput(ListeningStops stops) {
    const HeldInput held = logHeldInput(stops);
    scanner_.closePort();
    if (!held.empty()) {
        view_.messageBox(scanningStoppedBox(held, stops), BoxStyle::Exclamation, std::nullopt);
    }
}

void Station::finish() {
    // A failure here keeps the files open and the program running: the
    // operator may press Done again.
    trapped("saving com.TXT and FormsFlag.TXT at Done", OnFailure::KeepFiles, [&] {
        files_.close(kWrittenFile);
        // A folder another station took keeps that station's files.
        const bool folderOurs = !folderLost();
        view_.messageBox("Press the END button on your scanner.", BoxStyle::Information,
                         std::string("Press scanner END button."));
        // Each file is replaced whole: a crash leaves the old one or the new.
        // The port goes into the file start-up reads, whatever its spelling:
        // beside a Com.TXT, a com.TXT of its own would never be read back.
        if (folderOurs) {
            files_.openOutput(
                kWrittenFile,
                files_.existingSpelling(kPortFileReadName).value_or(kPortFileWriteName),
                textfile::OutputMode::Replace);
            files_.writeLine(kWrittenFile, {chosenPort_});
            files_.close(kWrittenFile);
        }
        // A read outstanding when Done was pressed may have pulled a sheet
        // meanwhile; it waits unread, and is named before the program ends.
        const std::string unrecorded = sheetsAfterDoneBox(logHeldInput(ListeningStops::Done));
        scanner_.closePort();
        if (!unrecorded.empty()) {
            view_.messageBox(unrecorded, BoxStyle::Exclamation, std::nullopt);
        }
        if (folderOurs && recordWritten_) {
            files_.openOutput(kWrittenFile, kFlagFileName, textfile::OutputMode::Replace);
            files_.writeLine(kWrittenFile, {std::int16_t{1}});
            files_.close(kWrittenFile);
        }
        view_.log(folderOurs ? "done: port " + std::to_string(chosenPort_) + " saved" +
                                   (recordWritten_ ? ", FormsFlag.TXT written" : "")
                             : "done: the folder is another station's, no file written");
        endProgram();
    });
}

void Station::warnOfClosingMidBatch() {
    trapped("closing the window mid-batch", OnFailure::Silent, [&] {
        // With nothing on the line the port stays open until the window goes.
        if (!scanner_.heldInput().empty()) {
            stopScanningNamingHeldInput(ListeningStops::WindowClosed);
        }
    });
}

void Station::closeDown() {
    trapped("closing the window", OnFailure::Silent, [&] {
        logHeldInput(ListeningStops::WindowClosed);
        scanner_.closePort();
        view_.setStatusText("Closed");
        files_.close(kWrittenFile);
        files_.close(kReadFile);
    });
    // The window is gone: nothing of it runs any more.
    ended_ = true;
    gate_.close();
}

}  // namespace scanforms
