// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's sequential text files: lines of items go out to the record,
// port and flag files, and 16-bit integers come back from the port file, all
// in the current directory and under small file numbers.
//
//   writeLine(items) --> formatLine --> FileSystem (write, sync) --> disk
//   readInt16 <-- convertInt16Field <-- a field <-- FileSystem (read)

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "textfile/file_system.h"

namespace scanforms::textfile {

// One item of a written line: a text (written in double quotes, unchanged) or
// a 16-bit integer (its decimal digits).
using Item = std::variant<std::string, std::int16_t>;

// The bytes of one line of a text-record file: the items separated by commas,
// a text item in double quotes with nothing escaped or trimmed, an integer as
// its decimal digits with a leading minus when negative, and CR LF at the end.
std::string formatLine(const std::vector<Item>& items);

// How a file opened for output takes its lines.
enum class OutputMode {
    // The file is created, or emptied when it exists, at once, and that is
    // on the disk before openOutput returns. Every line is
    // appended at the file's end as it is then and reaches the disk before
    // writeLine returns, so a crash or power cut never loses a line the
    // operator was told about. For the record file, which grows sheet by sheet.
    Plain,
    // The lines go to a new file beside the old one (its name followed by
    // ".new"); closing the number syncs it, puts it in the old file's place
    // in one step and syncs the directory. Until then the old file stays as
    // it was, so a crash at any moment leaves the old content or the new,
    // never an empty or half-written file. For the small files that are
    // rewritten whole: the port file and the flag file. A device in the
    // file's place cannot be replaced and takes the lines as in Plain mode.
    // Where the folder's file system renames nothing onto a name that is
    // taken (some SFTP shares), the lines are written into the old file
    // itself, which is emptied first, and synced.
    Replace,
};

// Sequential text files of the current directory, opened under small file
// numbers (1 for the file being written, 2 for the file being read). Names are
// matched without regard to letter case; bytes are written as they are.
//
// A file opened for output must be a regular file or a character device such
// as /dev/null; a device takes the lines as they come and has nothing to sync.
//
// Every failure raises scanforms::Failure with an operator's description; a
// failure of a file opened in Replace mode names that file.
class TextFiles {
public:
    explicit TextFiles(FileSystem& fs = systemFileSystem()) : fs_(fs) {}
    ~TextFiles();
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;

    void openOutput(int number, std::string_view name, OutputMode mode = OutputMode::Plain);
    // Opens an existing `name` of the current directory for reading.
    void openInput(int number, std::string_view name);
    // Closing a number that is not open does nothing. Closing a number opened
    // in Replace mode puts the new file in place, and a failure to do so is
    // raised; the number is closed all the same.
    void close(int number);
    // Closes every number as close does, but raises nothing: a replacement
    // that cannot be completed leaves the old file as it was.
    void closeAll();
    bool isOpen(int number) const { return files_.contains(number); }
    // The spelling `name` has in the current directory (the exact one first),
    // when an entry of that name exists in any spelling; nothing when none
    // does, or the folder cannot be read.
    std::optional<std::string> existingSpelling(std::string_view name);

    // Where the events worth a log line go: which way a Replace file was
    // put in place, said once per way.
    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

    // Writes one line, whole.
    //  - Plain: the file's name in the current directory must still lead to
    //    the file that was opened; when it was removed, renamed or replaced
    //    in the folder, nothing is written and the failure says so. The
    //    folder itself may have been renamed or moved meanwhile. A write or sync that fails cuts
    //    the file back to its size before the line, so no torn line is ever left behind.
    //  - Replace: a write that fails removes the new file at once; the old
    //    file stays as it was, every later write under the number fails the
    //    same way, and closing the number puts nothing in place.
    void writeLine(int number, const std::vector<Item>& items);
    // Reads the next field (up to a comma or the end of the line) as a 16-bit
    // integer; see convertInt16Field for how its text converts.
    std::int16_t readInt16(int number);

private:
    enum class Mode { Output, Replace, Input };
    enum class ReplaceWay { Renamed, InPlace };
    struct OpenFile {
        Handle handle = -1;
        Mode mode = Mode::Output;
        std::string path;                      // the file as it is named in the directory
        std::string replacement;               // Replace: the new file, until it takes path's place
        std::string lines;                     // Replace: what the new file holds
        bool namedInFailures = false;          // opened in OutputMode::Replace
        std::optional<std::string> abandoned;  // Replace: why the new file was given up
        std::string buffer;                    // input: bytes read but not yet used
        std::size_t position = 0;              // input: next byte of buffer
        bool endOfFile = false;                // input: nothing more to read
    };

    OpenFile& fileFor(int number, bool output);
    void checkNumberIsFree(int number) const;
    void openOutputAt(int number, std::string_view name, OutputMode mode);
    OpenFile openPlain(const std::string& path);
    OpenFile openReplacement(const std::string& path);
    void writePlain(OpenFile& file, const std::string& line);
    void writeReplacement(OpenFile& file, const std::string& line);
    void finish(OpenFile& file);
    void finishReplacement(OpenFile& file);
    void putReplacementInPlace(OpenFile& file);
    void writeInPlace(const OpenFile& file);
    void logReplaceWay(ReplaceWay way, const std::string& path);
    // The next byte of an input file, or -1 at the end of the file.
    int nextByte(OpenFile& file);

    FileSystem& fs_;
    std::map<int, OpenFile> files_;
    std::function<void(const std::string&)> log_;
    std::optional<ReplaceWay> loggedWay_;
};

}  // namespace scanforms::textfile
