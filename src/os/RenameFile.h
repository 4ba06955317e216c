#pragma once

#include <string>

namespace quillane {

// Gives the file at `from` the name `to` in one step, replacing a file that
// already has that name: the older generation of a file the console keeps
// makes way for the one being set aside. A symbolic link at `to` is replaced,
// never followed. False, with the system's reason in error, when the system
// refuses (a folder at `to`, a viewer holding the file on a system that
// locks open files, a read-only folder); both files are then as they were.
bool RenameFileReplacing(const std::string& from, const std::string& to, std::string& error);

// The name a file the console keeps within a bound is set aside under: ".1"
// before the extension ("Quillane-site.1.jsonl", "Quillane.1.log"), or at the
// end of a name without one.
std::string EarlierGenerationPath(const std::string& path);

}  // namespace quillane
