#include "textfile/file_name.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "common/failure.h"

namespace scanforms::textfile {
namespace {

char foldCase(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

}  // namespace

std::string currentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno == ENOENT) {
            throw Failure("Path not found");  // the directory was removed
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) {
            throw Failure(describeErrno(errno));
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string matchEntryName(const std::string& directory, std::string_view name) {
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) {
        return std::string(name);
    }
    std::optional<std::string> best;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (sameIgnoringCase(entryName, name) && (!best || entryName < *best)) {
            best = entryName;
        }
    }
    closedir(dir);
    return best ? *best : std::string(name);
}

std::string currentDirectoryFile(std::string_view name) {
    std::string directory = currentDirectory();
    std::string entry = matchEntryName(directory, name);
    if (directory.empty() || directory.back() != '/') {
        directory += '/';
    }
    return directory + entry;
}

}  // namespace scanforms::textfile
