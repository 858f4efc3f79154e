// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/torn_tail.h"

#include "common/failure.h"
#include "textfile/archive.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

// The smallest line with a quoted field: a quote, a quote, CR LF.
constexpr std::size_t kShortestLine = 4;

bool hasNoLineEnd(std::string_view bytes) {
    return bytes.find_first_of("\r\n") == std::string_view::npos;
}

bool isWholeLine(std::string_view line) {
    const std::size_t end = line.size() - 2;
    return line.front() == '"' && line[end - 1] == '"' && line.substr(end) == "\r\n" &&
           hasNoLineEnd(line.substr(0, end));
}

// The start of a line cut anywhere, its CR included, but not its LF.
bool isTornLine(std::string_view tail) {
    const std::string_view body = tail.back() == '\r' ? tail.substr(0, tail.size() - 1) : tail;
    return tail.front() == '"' && hasNoLineEnd(body);
}

}  // namespace

LayoutCheck checkRecordLayout(std::string_view bytes, std::size_t lineBytes) {
    LayoutCheck check;
    if (bytes.empty()) {
        return check;
    }
    check.layout = RecordLayout::Foreign;
    if (lineBytes < kShortestLine) {
        return check;
    }
    const std::size_t whole = bytes.size() - bytes.size() % lineBytes;
    for (std::size_t at = 0; at < whole; at += lineBytes) {
        if (!isWholeLine(bytes.substr(at, lineBytes))) {
            return check;
        }
    }
    check.wholeBytes = static_cast<long long>(whole);
    if (whole == bytes.size()) {
        check.layout = RecordLayout::WholeLines;
    } else if (isTornLine(bytes.substr(whole))) {
        check.layout = RecordLayout::TornTail;
        check.tailBytes = static_cast<long long>(bytes.size() - whole);
    }
    return check;
}

TailCut cutTornTail(std::string_view name, std::string_view folder, std::size_t lineBytes,
                    const std::tm& localTime, FileSystem& fs) {
    TailCut cut;
    const std::string path = currentDirectoryFile(name, fs);
    namingOnFailure(lastPartOf(path), [&] {
        const std::optional<FileStatus> found = fs.status(path);
        if (found && found->type == FileType::Regular && found->size > 0) {
            cut.found = checkRecordLayout(readWholeFile(fs, path), lineBytes);
        }
    });
    if (cut.found.layout != RecordLayout::TornTail) {
        return cut;
    }
    // The copy comes first: were the cut to go wrong, the tail is kept.
    cut.keptIn = archiveFile(name, folder, localTime, fs).value_or("");
    namingOnFailure(lastPartOf(path), [&] {
        HandleGuard handle(fs, fs.open(path, OpenMode::Update));
        if (!fs.truncate(handle.get(), cut.found.wholeBytes)) {
            throw Failure("Device I/O error");
        }
        fs.syncData(handle.get());
    });
    return cut;
}

}  // namespace scanforms::textfile
