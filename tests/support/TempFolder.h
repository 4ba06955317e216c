#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace quillane::test {

// Makes a new, empty folder under the system's temporary folder and returns
// its path. Built on the standard library alone, so that the tests run on
// Windows too, where there is no mkdtemp.
inline std::string MakeTempFolder() {
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

}  // namespace quillane::test
