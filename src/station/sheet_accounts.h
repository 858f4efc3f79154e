// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What the station tells the operator, and the log, about every sheet that
// is not where the grading program looks (Scan.TXT), so that each one is
// either recorded or named to be scanned again:
//
//   a record that failed ------------> its failure's description names the sheet
//   sheets held when listening stops -> one log line each, and a box that
//                                       also tells when a sheet may be on its
//                                       way (Done, a port choice, the close box)
//   a sheet coming in ----------------> named as the held ones once its bytes
//                                       hold its identifier
//   a read that may still be answered -> one log line: check the output tray
//   records of this run kept aside ---> a box with their count and the archive

#include <cstddef>
#include <string>
#include <vector>

#include "station/scanner.h"

namespace scanforms {

// What stops the station listening to the scanner mid-batch.
enum class ListeningStops {
    Done,
    WindowClosed,
    PortChosen,
};

// The description of a record that failed with `description`: it names the
// sheet and says that it was not recorded, and that Scan.TXT was closed when
// it was (every record after a failure, until the next batch):
// "Disk full: sheet 004217 was not recorded".
std::string sheetNotRecorded(const std::string& description, const std::string& id,
                             bool recordFileOpen);

// The identifiers of the held sheets, oldest first, and last that of the
// sheet coming in when its bytes hold it.
std::vector<std::string> heldSheetIds(const HeldInput& held);
// The sheet coming in is named: its bytes hold its identifier.
bool partialSheetNamed(const HeldInput& held);
// A sheet may be on its way that no identifier names: a read unanswered, or
// a frame begun whose bytes hold no identifier yet.
bool sheetMayBeOnItsWay(const HeldInput& held);

// The log's lines for what the scanner holds when `stops`: one for each held
// sheet, one more when a sheet may still be on its way. None when nothing
// came and nothing is owed.
std::vector<std::string> heldInputLogLines(const HeldInput& held, ListeningStops stops);

// The box that names the sheets read after Done, and says when one more may
// be on its way; empty when there is nothing to tell.
std::string sheetsAfterDoneBox(const HeldInput& held);

// The box shown when a port choice or the close box stops the scanning with
// something held or on its way: "Scanning stopped: another port was chosen.
// Sheet 004219 was read and is not in Scan.TXT. It must be scanned again."
std::string scanningStoppedBox(const HeldInput& held, ListeningStops stops);

// The box that tells that `records` records of this run were kept in
// `archive` (a path relative to the current directory) before Scan.TXT was
// emptied.
std::string batchKeptBox(std::size_t records, const std::string& archive);

}  // namespace scanforms
