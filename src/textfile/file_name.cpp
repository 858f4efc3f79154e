#include "textfile/file_name.h"

#include <algorithm>
#include <filesystem>
#include <optional>

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

std::string matchEntryName(const std::string& directory, std::string_view name, FileSystem& fs) {
    std::optional<std::string> best;
    for (std::string& entry : fs.entryNames(directory)) {
        if (sameIgnoringCase(entry, name) && (!best || entry < *best)) {
            best = std::move(entry);
        }
    }
    return best ? *best : std::string(name);
}

std::string currentDirectoryFile(std::string_view name, FileSystem& fs) {
    const std::string directory = fs.currentDirectory();
    return pathIn(directory, matchEntryName(directory, name, fs));
}

std::string pathIn(const std::string& directory, std::string_view name) {
    return (std::filesystem::path(directory) / name).string();
}

std::string parentOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

std::string lastPartOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace scanforms::textfile
