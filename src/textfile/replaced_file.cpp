// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// TextFiles in Replace mode: the lines go to a new file beside the old one,
// which takes the old one's place when the number is closed (renamed over
// it, or written into it where the share renames onto no taken name).

#include "common/failure.h"
#include "textfile/file_name.h"
#include "textfile/text_files.h"

namespace scanforms::textfile {

Handle createReplacement(FileSystem& fs, const std::string& path) {
    const std::string replacement = replacementOf(path);
    std::optional<Handle> handle = fs.createNew(replacement);
    if (!handle) {
        fs.remove(replacement);
        handle = fs.createNew(replacement);
        if (!handle) {
            throw Failure("File already exists");
        }
    }
    return *handle;
}

TextFiles::OpenFile TextFiles::openReplacement(const std::string& path) {
    OpenFile file;
    file.mode = Mode::Replace;
    file.path = path;
    file.replacement = replacementOf(path);
    file.handle = createReplacement(fs_, path);
    return file;
}

void TextFiles::writeReplacement(OpenFile& file, const std::string& line) {
    if (file.abandoned) {
        throw Failure(*file.abandoned);
    }
    try {
        fs_.write(file.handle, line);
        file.lines += line;
    } catch (const Failure& failure) {
        // A new file that lacks a line must never take the old one's place.
        file.abandoned = failure.description();
        fs_.close(file.handle);
        fs_.remove(file.replacement);
        throw;
    }
}

void TextFiles::finishReplacement(OpenFile& file) {
    if (file.abandoned) {
        return;  // its new file is already gone
    }
    // The new file is complete on the disk before it takes the old one's
    // place, and closed first, since some systems rename no open file.
    bool closed = false;
    try {
        fs_.syncData(file.handle);
        closed = true;
        fs_.close(file.handle);
    } catch (...) {
        if (!closed) {
            fs_.close(file.handle);
        }
        fs_.remove(file.replacement);
        throw;
    }
    putReplacementInPlace(file);
}

void TextFiles::putReplacementInPlace(OpenFile& file) {
    bool renamed = false;
    try {
        renamed = fs_.rename(file.replacement, file.path);
    } catch (...) {
        fs_.remove(file.replacement);
        throw;
    }
    if (renamed) {
        fs_.syncDirectory(parentOf(file.path));
        logReplaceWay(ReplaceWay::Renamed, file.path);
        return;
    }
    fs_.remove(file.replacement);
    writeInPlace(file);
    logReplaceWay(ReplaceWay::InPlace, file.path);
}

void TextFiles::writeInPlace(const OpenFile& file) {
    HandleGuard handle(fs_, fs_.open(file.path, OpenMode::Write));
    fs_.write(handle.get(), file.lines);
    fs_.syncData(handle.get());
}

void TextFiles::logReplaceWay(ReplaceWay way, const std::string& path) {
    if (loggedWay_ == way || !log_) {
        return;
    }
    loggedWay_ = way;
    log_(way == ReplaceWay::Renamed
             ? lastPartOf(path) + " replaced whole: a new file was renamed over it"
             : lastPartOf(path) +
                   " written in place: this folder's file system renames no file over another");
}

}  // namespace scanforms::textfile
