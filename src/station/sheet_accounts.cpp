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
    return ids;
}

std::vector<std::string> heldInputLogLines(const HeldInput& held, ListeningStops stops) {
    const std::string when = whenListeningStopped(stops);
    std::vector<std::string> lines;
    for (const std::string& id : heldSheetIds(held)) {
        lines.push_back("sheet " + id + " read " + when + ": not in Scan.TXT, scan it again");
    }
    if (held.inFlight != HeldInput::InFlight::Nothing) {
        lines.push_back("a sheet may have been pulled " + when + ": check the output tray");
    }
    return lines;
}

std::string sheetsAfterDoneBox(const std::vector<std::string>& ids) {
    if (ids.size() == 1) {
        return "Sheet " + ids.front() +
               " was read after Done and is not in Scan.TXT. It must be scanned again.";
    }
    return "Sheets " + joined(ids) +
           " were read after Done and are not in Scan.TXT. They must be scanned again.";
}

std::string batchKeptBox(std::size_t records, const std::string& archive) {
    const std::string count = std::to_string(records);
    return (records == 1 ? "The 1 sheet recorded so far was kept in "
                         : "The " + count + " sheets recorded so far were kept in ") +
           archive + ". Scan.TXT starts empty for this batch.";
}

}  // namespace scanforms
