#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
// Every line written reaches the disk before writeLine returns: it is written
// whole with one call and then synced, so a crash or power cut never loses a
// line the operator was told about. A write or sync that fails cuts the file
// back to its last whole line, so no torn line is ever left behind.
//
// Every failure raises scanforms::Failure with an operator's description.
class TextFiles {
public:
    TextFiles() = default;
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

    void writeLine(int number, const std::vector<Item>& items);
    // Reads the next field (up to a comma or the end of the line) as a 16-bit
    // integer; see convertInt16Field for how its text converts.
    std::int16_t readInt16(int number);

private:
    enum class Mode { Output, Input };
    struct OpenFile {
        int fd = -1;
        Mode mode = Mode::Output;
        std::string path;
        long long size = 0;        // output: bytes of whole lines written
        std::string buffer;        // input: bytes read but not yet used
        std::size_t position = 0;  // input: next byte of buffer
        bool endOfFile = false;    // input: nothing more to read
    };

    OpenFile& fileFor(int number, Mode mode);
    void openFile(int number, std::string_view name, Mode mode);
    // The next byte of an input file, or -1 at the end of the file.
    int nextByte(OpenFile& file);

    std::map<int, OpenFile> files_;
};

}  // namespace scanforms::textfile
