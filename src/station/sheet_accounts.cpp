// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/sheet_accounts.h"

#include "decode/response_decoder.h"

namespace scanforms {
namespace {

std::string whenListeningStopped(ListeningStops stops) {
    switch (stops) {
        case ListeningStops::Done:
            return "after Done";
        case ListeningStops::WindowClosed:
            return "as the window closed";
        case ListeningStops::PortChosen:
            return "as another port was chosen";
    }
    return {};
}

// The sentence that tells of a sheet that may be on its way after the ones
// named (`noneNamed` when there are none); empty when nothing may be.
std::string sheetOnItsWay(const HeldInput& held, bool noneNamed) {
    if (!sheetMayBeOnItsWay(held)) {
        return {};
    }
    return std::string(noneNamed ? "A" : "Another") +
           " sheet may be on its way from the scanner: check its output tray, and scan again "
           "any sheet there that is not in Scan.TXT.";
}

std::string sentences(const std::string& first, const std::string& second) {
    return first.empty() || second.empty() ? first + second : first + " " + second;
}

std::string joined(const std::vector<std::string>& ids) {
    std::string list;
    for (const std::string& id : ids) {
        list += (list.empty() ? "" : ", ") + id;
    }
    return list;
}

}  // namespace

std::string sheetNotRecorded(const std::string& description, const std::string& id,
                             bool recordFileOpen) {
    return description + (recordFileOpen ? ": sheet " : ": Scan.TXT is closed, sheet ") + id +
           " was not recorded";
}

std::vector<std::string> heldSheetIds(const HeldInput& held) {
    std::vector<std::string> ids;
    for (const std::string& response : held.sheets) {
        const std::string id = decode::decodeResponse(response).id();
        // An empty response is a sheet the scanner could not read at all.
        ids.push_back(id.empty() ? "(no identifier)" : id);
    }
    if (partialSheetNamed(held)) {
        ids.push_back(decode::decodeResponse(held.partialSheet).id());
    }
    return ids;
}

bool partialSheetNamed(const HeldInput& held) {
    return held.inFlight == HeldInput::InFlight::PartialFrame &&
           held.partialSheet.size() >= decode::kIdStart - 1 + decode::kIdLength;
}

bool sheetMayBeOnItsWay(const HeldInput& held) {
    return held.inFlight != HeldInput::InFlight::Nothing && !partialSheetNamed(held);
}

std::vector<std::string> heldInputLogLines(const HeldInput& held, ListeningStops stops) {
    const std::string when = whenListeningStopped(stops);
    std::vector<std::string> lines;
    const std::vector<std::string> ids = heldSheetIds(held);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const bool partly = i == held.sheets.size();
        lines.push_back("sheet " + ids[i] + (partly ? " partly read " : " read ") + when +
                        ": not in Scan.TXT, scan it again");
    }
    if (sheetMayBeOnItsWay(held)) {
        lines.push_back("a sheet may have been pulled " + when + ": check the output tray");
    }
    return lines;
}

std::string sheetsAfterDoneBox(const HeldInput& held) {
    const std::vector<std::string> ids = heldSheetIds(held);
    std::string box;
    if (ids.size() == 1) {
        box = "Sheet " + ids.front() +
              " was read after Done and is not in Scan.TXT. It must be scanned again.";
    } else if (!ids.empty()) {
        box = "Sheets " + joined(ids) +
              " were read after Done and are not in Scan.TXT. They must be scanned again.";
    }
    return sentences(box, sheetOnItsWay(held, ids.empty()));
}

std::string scanningStoppedBox(const HeldInput& held, ListeningStops stops) {
    std::string box = stops == ListeningStops::WindowClosed
                          ? "Scanning stopped: the window is closing."
                          : "Scanning stopped: another port was chosen.";
    const std::vector<std::string> ids = heldSheetIds(held);
    if (ids.size() == 1) {
        box +=
            " Sheet " + ids.front() + " was read and is not in Scan.TXT. It must be scanned again.";
    } else if (!ids.empty()) {
        box += " Sheets " + joined(ids) +
               " were read and are not in Scan.TXT. They must be scanned again.";
    }
    return sentences(box, sheetOnItsWay(held, ids.empty()));
}

std::string batchKeptBox(std::size_t records, const std::string& archive) {
    const std::string count = std::to_string(records);
    return (records == 1 ? "The 1 sheet recorded so far was kept in "
                         : "The " + count + " sheets recorded so far were kept in ") +
           archive + ". Scan.TXT starts empty for this batch.";
}

}  // namespace scanforms
