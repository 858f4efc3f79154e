// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's hold on its folder, as the station asks about it: before
// each record it makes sure the folder is still this run's, and the holder
// of the claim (the program's folder lock) tells it when a refresh found
// the folder taken. A station without a claim records as if it held it.
//
//   Station::recordSheet --takenBy()--> nothing: the record is written
//                                       "the computer B (process 77) took it over": no record
//   folder lock refresh --whenLost callback--> Station::onFolderLost

#include <functional>
#include <optional>
#include <string>

namespace scanforms {

class FolderClaim {
public:
    virtual ~FolderClaim() = default;
    // Nothing while the folder is this run's; else, in the operator's
    // words, what became of it ("the computer lab-07 (process 4242) took it
    // over"). Raises scanforms::Failure when that cannot be told.
    virtual std::optional<std::string> takenBy() = 0;
    // `lost` runs (once) when the claim's own refresh finds the folder taken.
    virtual void whenLost(std::function<void()> lost) = 0;
};

// The box of a station whose folder was taken from it mid-run.
std::string folderLostBox(const std::string& takenBy);

}  // namespace scanforms
