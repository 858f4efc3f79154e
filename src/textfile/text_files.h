#pragma once

// The program's sequential text files: lines of items go out to the record,
// port and flag files, and 16-bit integers come back from the port file, all
// in the current directory and under small file numbers.
//
//   writeLine(items) --> formatLine --> FileSystem (write, sync) --> disk
//   readInt16 <-- convertInt16Field <-- a field <-- FileSystem (read)

#include <cstdint>
#include <map>
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

// Sequential text files of the current directory, opened under small file
// numbers (1 for the file being written, 2 for the file being read). Names are
// matched without regard to letter case; bytes are written as they are.
//
// Every line is appended at the file's end as it is then and reaches the disk
// before writeLine returns, so a crash or power cut never loses a line the
// operator was told about. A file opened for output must be a regular file or
// a character device such as /dev/null; a device takes the lines as they come
// and has nothing to sync.
//
// Every failure raises scanforms::Failure with an operator's description.
class TextFiles {
public:
    explicit TextFiles(FileSystem& fs = systemFileSystem()) : fs_(fs) {}
    ~TextFiles();
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;

    // Creates `name` in the current directory, or empties it when it exists.
    void openOutput(int number, std::string_view name);
    // Opens an existing `name` of the current directory for reading.
    void openInput(int number, std::string_view name);
    // Closing a number that is not open does nothing.
    void close(int number);
    void closeAll();
    bool isOpen(int number) const { return files_.contains(number); }

    // Writes one line, whole. The file's path must still lead to the file
    // that was opened; when it was removed, renamed or replaced, nothing is
    // written and the failure says so. A write or sync that fails cuts the
    // file back to its size before the line, so no torn line is ever left
    // behind.
    void writeLine(int number, const std::vector<Item>& items);
    // Reads the next field (up to a comma or the end of the line) as a 16-bit
    // integer; see convertInt16Field for how its text converts.
    std::int16_t readInt16(int number);

private:
    enum class Mode { Output, Input };
    struct OpenFile {
        Handle handle = -1;
        Mode mode = Mode::Output;
        std::string path;                      // the file as it is named in the directory
        std::string replacement;               // Replace: the new file, until it takes path's place
        std::optional<std::string> abandoned;  // Replace: why the new file was given up
        std::string buffer;                    // input: bytes read but not yet used
        std::size_t position = 0;              // input: next byte of buffer
        bool endOfFile = false;                // input: nothing more to read
    };

    OpenFile& fileFor(int number, bool output);
    void checkNumberIsFree(int number) const;
    // The next byte of an input file, or -1 at the end of the file.
    int nextByte(OpenFile& file);

    FileSystem& fs_;
    std::map<int, OpenFile> files_;
};

}  // namespace scanforms::textfile
