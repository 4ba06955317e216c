#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quillane::test {

// A whole file's bytes (the path in UTF-8); empty when it cannot be read.
inline std::string FileText(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace quillane::test
