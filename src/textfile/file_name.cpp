// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/file_name.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace scanforms::textfile {
namespace {

// Paths are the program's bytes, joined and split here as bytes: on Windows
// they are in the ANSI code page, which std::filesystem would not give back
// unchanged. Windows also takes a slash between parts, and starts a path
// with a drive letter.
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
constexpr bool kDriveLetters = kSeparator == '\\';
constexpr const char* kSeparators = kDriveLetters ? "\\/" : "/";

bool isSeparator(char ch) {
    return ch == '/' || ch == kSeparator;
}

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
        if (entry == name) {
            return entry;
        }
        if (sameIgnoringCase(entry, name) && (!best || entry < *best)) {
            best = std::move(entry);
        }
    }
    return best ? *best : std::string(name);
}

std::vector<std::string> entrySpellings(const std::string& directory, std::string_view name,
                                        FileSystem& fs) {
    std::vector<std::string> spellings;
    for (std::string& entry : fs.entryNames(directory)) {
        if (sameIgnoringCase(entry, name)) {
            spellings.push_back(std::move(entry));
        }
    }
    std::sort(spellings.begin(), spellings.end(), [&](const std::string& a, const std::string& b) {
        return (a == name) != (b == name) ? a == name : a < b;
    });
    return spellings;
}

std::string currentDirectoryFile(std::string_view name, FileSystem& fs) {
    const std::string directory = fs.currentDirectory();
    return pathIn(directory, matchEntryName(directory, name, fs));
}

std::string pathIn(const std::string& directory, std::string_view name) {
    std::string path = directory;
    if (!path.empty() && !isSeparator(path.back())) {
        path += kSeparator;
    }
    path += name;
    return path;
}

std::string parentOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) {
        return {};
    }
    // The root keeps its separator: "/" and "C:\".
    const bool root = last == 0 || (kDriveLetters && last == 2 && path[1] == ':');
    return path.substr(0, root ? last + 1 : last);
}

std::string lastPartOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace scanforms::textfile
