#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "TempFolder.h"

namespace quillane {

// A private folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() : path_(test::MakeTempFolder()) {}
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
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
    std::string path_;
};

}  // namespace quillane
