#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "fakes/file_bytes.h"

namespace scanforms::testing {

// A fresh directory that is the current directory while the object lives.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "scanforms-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const { return readFileBytes(path_ / name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    // Whether this process holds `name`, or what it links to, open (Linux:
    // a descriptor names it).
    bool heldOpen(const std::string& name) const {
        std::error_code error;
        const auto target = std::filesystem::weakly_canonical(path_ / name, error);
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            const auto held = std::filesystem::read_symlink(fd.path(), error);
            if (held == path_ / name || held == target) {
                return true;
            }
        }
        return false;
    }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace scanforms::testing
