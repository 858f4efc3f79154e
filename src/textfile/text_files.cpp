#include "textfile/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/failure.h"
#include "textfile/file_name.h"
#include "textfile/int16_field.h"

namespace scanforms::textfile {
namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;
constexpr std::size_t kReadChunk = 4096;

[[noreturn]] void failWithErrno(int error) {
    throw Failure(describeErrno(error));
}

void clearNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
}

// Makes the new directory entry itself durable. A directory that cannot be
// synced on this kind of file system (EINVAL) has nothing to sync.
void syncDirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd == -1) {
        return;  // the file is open and written line by line; its entry is the system's
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result == -1 && error != EINVAL) {
        failWithErrno(error);
    }
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0) {
            throw Failure(describeErrno(ENOSPC));
        } else if (errno != EINTR) {
            failWithErrno(errno);
        }
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

void TextFiles::openOutput(int number, std::string_view name) {
    openFile(number, name, Mode::Output);
}

void TextFiles::openInput(int number, std::string_view name) {
    openFile(number, name, Mode::Input);
}

void TextFiles::openFile(int number, std::string_view name, Mode mode) {
    if (number < kLowestNumber || number > kHighestNumber) {
        throw Failure("Bad file name or number");
    }
    if (isOpen(number)) {
        throw Failure("File already open");
    }
    OpenFile file;
    file.mode = mode;
    file.path = currentDirectoryFile(name);
    // Non-blocking for the open only, so that a FIFO in the file's place
    // cannot hang the program waiting for a partner.
    const int flags = (mode == Mode::Output ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY) |
                      O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    file.fd = ::open(file.path.c_str(), flags, 0666);
    if (file.fd == -1) {
        failWithErrno(errno);
    }
    struct stat status {};
    if (::fstat(file.fd, &status) == -1 || S_ISDIR(status.st_mode) ||
        (mode == Mode::Input && !S_ISREG(status.st_mode))) {
        const bool directory = S_ISDIR(status.st_mode);
        ::close(file.fd);
        throw Failure(directory ? "Path/File access error" : "Bad file mode");
    }
    clearNonBlocking(file.fd);
    if (mode == Mode::Output) {
        try {
            syncDirectoryOf(file.path);
        } catch (...) {
            ::close(file.fd);
            throw;
        }
    }
    files_.emplace(number, std::move(file));
}

void TextFiles::close(int number) {
    const auto it = files_.find(number);
    if (it != files_.end()) {
        ::close(it->second.fd);
        files_.erase(it);
    }
}

void TextFiles::closeAll() {
    for (auto& [number, file] : files_) {
        ::close(file.fd);
    }
    files_.clear();
}

TextFiles::OpenFile& TextFiles::fileFor(int number, Mode mode) {
    const auto it = files_.find(number);
    if (it == files_.end()) {
        throw Failure("Bad file name or number");
    }
    if (it->second.mode != mode) {
        throw Failure("Bad file mode");
    }
    return it->second;
}

void TextFiles::writeLine(int number, const std::vector<Item>& items) {
    OpenFile& file = fileFor(number, Mode::Output);
    const std::string line = formatLine(items);
    try {
        writeAll(file.fd, line);
        // A device that cannot be synced (EINVAL, EROFS) keeps no data to
        // lose; every other sync failure may have lost the line and is
        // reported as a failed write, never retried.
        if (::fdatasync(file.fd) == -1 && errno != EINVAL && errno != EROFS) {
            failWithErrno(errno);
        }
    } catch (const Failure&) {
        // Cut back to the last whole line so no torn record stays behind.
        struct stat status {};
        if (::fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode)) {
            // Best effort: the write is reported as failed either way.
            [[maybe_unused]] const int truncated = ::ftruncate(file.fd, file.size);
            (void)::lseek(file.fd, file.size, SEEK_SET);
        }
        throw;
    }
    file.size += static_cast<long long>(line.size());
}

int TextFiles::nextByte(OpenFile& file) {
    if (file.position == file.buffer.size()) {
        if (file.endOfFile) {
            return -1;
        }
        file.buffer.resize(kReadChunk);
        file.position = 0;
        ssize_t n = 0;
        do {
            n = ::read(file.fd, file.buffer.data(), kReadChunk);
        } while (n == -1 && errno == EINTR);
        if (n == -1) {
            const int error = errno;
            file.buffer.clear();
            failWithErrno(error);
        }
        file.buffer.resize(static_cast<std::size_t>(n));
        if (n == 0) {
            file.endOfFile = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(file.buffer[file.position++]);
}

std::int16_t TextFiles::readInt16(int number) {
    OpenFile& file = fileFor(number, Mode::Input);
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
