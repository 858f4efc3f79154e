// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/text_files.h"

#include <utility>

#include "common/failure.h"
#include "textfile/file_name.h"
#include "textfile/int16_field.h"

namespace scanforms::textfile {
namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;
constexpr std::size_t kReadChunk = 4096;

// A record file must be a file that keeps its lines, or a device that takes
// them (/dev/null, a terminal). A pipe or socket would stall or drop them.
void refuseForOutput(FileType type) {
    if (type == FileType::Directory) {
        throw Failure("Path/File access error");
    }
    if (type == FileType::Other) {
        throw Failure("Bad file mode");
    }
}

}  // namespace

std::string formatLine(const std::vector<Item>& items) {
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        if (const auto* text = std::get_if<std::string>(&items[i])) {
            line += '"';
            line += *text;
            line += '"';
        } else {
            line += std::to_string(std::get<std::int16_t>(items[i]));
        }
    }
    line += "\r\n";
    return line;
}

TextFiles::~TextFiles() {
    closeAll();
}

void TextFiles::checkNumberIsFree(int number) const {
    if (number < kLowestNumber || number > kHighestNumber) {
        throw Failure("Bad file name or number");
    }
    if (isOpen(number)) {
        throw Failure("File already open");
    }
}

void TextFiles::openOutput(int number, std::string_view name, OutputMode mode) {
    checkNumberIsFree(number);
    if (mode == OutputMode::Replace) {
        namingOnFailure(std::string(name), [&] { openOutputAt(number, name, mode); });
        files_.at(number).namedInFailures = true;
    } else {
        openOutputAt(number, name, mode);
    }
}

std::optional<std::string> TextFiles::existingSpelling(std::string_view name) {
    try {
        const std::string path = currentDirectoryFile(name, fs_);
        if (fs_.status(path)) {
            return lastPartOf(path);
        }
    } catch (const Failure&) {
        // A folder that cannot be listed has no spelling to offer; opening
        // the file in it says what is wrong.
    }
    return std::nullopt;
}

void TextFiles::openOutputAt(int number, std::string_view name, OutputMode mode) {
    const std::string path = currentDirectoryFile(name, fs_);
    const std::optional<FileStatus> existing = fs_.status(path);
    if (existing) {
        refuseForOutput(existing->type);
    }
    // A device cannot be replaced; it takes the lines directly.
    const bool device = existing && existing->type == FileType::CharacterDevice;
    files_.emplace(
        number, mode == OutputMode::Replace && !device ? openReplacement(path) : openPlain(path));
}

TextFiles::OpenFile TextFiles::openPlain(const std::string& path) {
    HandleGuard handle(fs_, fs_.open(path, OpenMode::Write));
    const FileStatus status = fs_.status(handle.get());
    refuseForOutput(status.type);  // something else may have taken the name meanwhile
    if (status.type == FileType::Regular) {
        // Emptied on the disk, so that a power cut never brings back the
        // lines it held (the last batch, kept elsewhere) under a new batch;
        // and its entry on the disk before its lines are.
        fs_.syncData(handle.get());
        fs_.syncDirectory(parentOf(path));
    }
    OpenFile file;
    file.mode = Mode::Output;
    file.path = path;
    file.handle = handle.release();
    return file;
}

void TextFiles::openInput(int number, std::string_view name) {
    checkNumberIsFree(number);
    OpenFile file;
    file.mode = Mode::Input;
    file.path = currentDirectoryFile(name, fs_);
    HandleGuard handle(fs_, fs_.open(file.path, OpenMode::Read));
    const FileStatus status = fs_.status(handle.get());
    if (status.type == FileType::Directory) {
        throw Failure("Path/File access error");
    }
    if (status.type != FileType::Regular) {
        throw Failure("Bad file mode");
    }
    file.handle = handle.release();
    files_.emplace(number, std::move(file));
}

void TextFiles::close(int number) {
    const auto it = files_.find(number);
    if (it == files_.end()) {
        return;
    }
    OpenFile file = std::move(it->second);
    files_.erase(it);
    if (file.namedInFailures) {
        namingOnFailure(lastPartOf(file.path), [&] { finish(file); });
    } else {
        finish(file);
    }
}

void TextFiles::closeAll() {
    for (auto& [number, file] : std::exchange(files_, {})) {
        try {
            finish(file);
        } catch (...) {
            // Nothing to report to: the old file of a replacement stays.
        }
    }
}

void TextFiles::finish(OpenFile& file) {
    if (file.mode == Mode::Replace) {
        finishReplacement(file);
    } else {
        fs_.close(file.handle);
    }
}

TextFiles::OpenFile& TextFiles::fileFor(int number, bool output) {
    const auto it = files_.find(number);
    if (it == files_.end()) {
        throw Failure("Bad file name or number");
    }
    if ((it->second.mode != Mode::Input) != output) {
        throw Failure("Bad file mode");
    }
    return it->second;
}

void TextFiles::writeLine(int number, const std::vector<Item>& items) {
    OpenFile& file = fileFor(number, true);
    const std::string line = formatLine(items);
    const auto write = [&] {
        if (file.mode == Mode::Replace) {
            writeReplacement(file, line);
        } else {
            writePlain(file, line);
        }
    };
    if (file.namedInFailures) {
        namingOnFailure(lastPartOf(file.path), write);
    } else {
        write();
    }
}

void TextFiles::writePlain(OpenFile& file, const std::string& line) {
    // Lines written to a file that no longer has the record file's name would
    // be lost to the operator while every sheet looked recorded.
    // The name is looked up in the current directory as it is now, so that
    // a station folder renamed or moved mid-batch keeps its records.
    const FileStatus opened = fs_.status(file.handle);
    const std::optional<FileStatus> named =
        fs_.status(pathIn(fs_.currentDirectory(), lastPartOf(file.path)));
    if (!named || !named->sameFileAs(opened)) {
        throw Failure(lastPartOf(file.path) + " was removed or replaced");
    }
    // Only a regular file keeps the line: a device has nothing to sync. A
    // failed sync may have lost the line, so it fails like a failed write and
    // is never retried.
    const bool regular = opened.type == FileType::Regular;
    try {
        fs_.write(file.handle, line);
        if (regular) {
            fs_.syncData(file.handle);
        }
    } catch (...) {
        // Cut back to the size before this line, so no torn record stays.
        // The size is the file's own, so that lines written after another
        // program shortened the file still go on from its last whole line.
        if (regular) {
            fs_.truncate(file.handle, opened.size);
        }
        throw;
    }
}

int TextFiles::nextByte(OpenFile& file) {
    if (file.position == file.buffer.size()) {
        if (file.endOfFile) {
            return -1;
        }
        file.buffer.resize(kReadChunk);
        file.position = 0;
        std::size_t n = 0;
        try {
            n = fs_.read(file.handle, file.buffer.data(), kReadChunk);
        } catch (...) {
            file.buffer.clear();
            throw;
        }
        file.buffer.resize(n);
        if (n == 0) {
            file.endOfFile = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(file.buffer[file.position++]);
}

std::int16_t TextFiles::readInt16(int number) {
    OpenFile& file = fileFor(number, false);
    int ch = nextByte(file);
    if (ch == -1) {
        throw Failure("Input past end of file");
    }
    std::string field;
    bool truncated = false;
    while (ch != -1 && ch != ',' && ch != '\r' && ch != '\n') {
        if (field.size() == kMaxFieldBytes) {
            truncated = true;
            break;
        }
        field += static_cast<char>(ch);
        ch = nextByte(file);
    }
    if (ch == '\r') {
        // CR LF ends the line as one; a lone CR ends it too.
        const int next = nextByte(file);
        if (next != -1 && next != '\n') {
            --file.position;
        }
    }
    return convertInt16Field(field, truncated);
}

}  // namespace scanforms::textfile
