#include "uninstall/UninstallList.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace quillane {

namespace {

bool InsideFolder(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L":/*?\"<>|") != std::wstring::npos) return false;
    std::wistringstream parts(path);
    for (std::wstring part; std::getline(parts, part, L'\\');) {
        if (part.empty() || part == L"." || part == L"..") return false;
    }
    // getline drops an empty last part: "a\" names a folder, not a file.
    return path.back() != L'\\';
}

}  // namespace

UninstallList ParseUninstallList(const std::wstring& text) {
    UninstallList list;
    std::set<std::wstring> folders;
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!InsideFolder(line)) continue;
        list.files.push_back(line);
        // Every part is non-empty: no separator stands first.
        for (auto cut = line.rfind(L'\\'); cut != std::wstring::npos;
             cut = line.rfind(L'\\', cut - 1))
            folders.insert(line.substr(0, cut));
    }
    list.folders.assign(folders.begin(), folders.end());
    // Deeper folders first: a folder is empty only once its own are gone.
    std::stable_sort(
        list.folders.begin(), list.folders.end(), [](const std::wstring& a, const std::wstring& b) {
            return std::count(a.begin(), a.end(), L'\\') > std::count(b.begin(), b.end(), L'\\');
        });
    return list;
}

}  // namespace quillane
