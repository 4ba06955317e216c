#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include "FileText.h"

namespace quillane::test {

// A private folder for one test under the system's temporary folder, removed
// with everything in it afterwards (even after a test took its rights away).
// Built on the standard library alone, so that the core's tests run on
// Windows too, where there is no mkdtemp.
class TempDir {
public:
    TempDir() : path_(MakeFolder()) {}
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        // A read-only file is not deleted on Windows: give every entry its
        // rights back first, folders before the walk goes into them. Links are
        // passed over: what they point to (a pseudo-terminal, say) is not ours.
        for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code ignored;
            if (!it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names are UTF-8, as every path the console hands over.
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(std::filesystem::u8path(File(name)), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const { return FileText(File(name)); }
    // Read-only for everybody: the mode on Linux, the attribute on Windows.
    void MakeReadOnly(const std::string& name) const {
        using std::filesystem::perms;
        std::filesystem::permissions(File(name),
                                     perms::owner_read | perms::group_read | perms::others_read);
    }
    long Count() const {
        const std::filesystem::directory_iterator all(path_);
        return std::distance(begin(all), end(all));
    }

private:
    static std::string MakeFolder() {
        static std::mt19937_64 names{std::random_device{}()};
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            const std::filesystem::path candidate =
                base / ("quillane-" + std::to_string(names() % 1000000000000ULL));
            std::error_code ec;
            // False with no error: the name is taken; try another.
            if (std::filesystem::create_directory(candidate, ec)) return candidate.generic_string();
            if (ec) throw std::filesystem::filesystem_error("no temporary folder", candidate, ec);
        }
    }

    std::string path_;
};

}  // namespace quillane::test
