// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The station's side of its folder's claim: a station whose folder was
// taken closes Scan.TXT, records nothing more and says so once.

#include "station/folder_claim.h"

#include "station/station.h"
#include "station/station_files.h"

namespace scanforms {

std::string folderLostBox(const std::string& takenBy) {
    return std::string("Scan Forms stopped recording: this folder is no longer this station's (") +
           takenBy +
           "). No further sheet is recorded here. The records this station wrote are "
           "in " +
           kRecordFileName + ", or in " + kArchiveFolder +
           " if the other station started a batch. Press Done to end Scan Forms here.";
}

void Station::watchFolder(FolderClaim& claim) {
    folderClaim_ = &claim;
    claim.whenLost([this] { onFolderLost(); });
}

void Station::onFolderLost() {
    deliver([this] {
        trapped("checking the folder lock", OnFailure::KeepFiles, [&] { folderLost(); });
    });
}

bool Station::folderLost() {
    if (folderTakenBy_) {
        return true;
    }
    if (folderClaim_ == nullptr) {
        return false;
    }
    folderTakenBy_ = folderClaim_->takenBy();
    if (!folderTakenBy_) {
        return false;
    }
    files_.closeAll();
    view_.log("the folder is no longer this station's: " + *folderTakenBy_ +
              "; Scan.TXT closed, no further record");
    view_.messageBox(folderLostBox(*folderTakenBy_), BoxStyle::Exclamation, std::nullopt);
    return true;
}

}  // namespace scanforms
