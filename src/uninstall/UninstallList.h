#pragma once

#include <string>
#include <vector>

namespace quillane {

// What the uninstaller may remove: the files the installer put into the
// install folder, as its list (uninstall.lst) names them, one path a line,
// relative to that folder, with backslashes.
struct UninstallList {
    std::vector<std::wstring> files;
    // The folders the files lie in, below the install folder, deepest first:
    // each is removed once it is empty.
    std::vector<std::wstring> folders;
};

// A line that names no place inside the install folder (a path with a drive,
// a root, a "." or ".." part, an empty part or a stream) is left out, so that
// a damaged or changed list cannot make the uninstaller remove anything
// outside its folder. Line ends may be CRLF or LF.
UninstallList ParseUninstallList(const std::wstring& text);

}  // namespace quillane
