#pragma once

#include <QString>

namespace quillane {

// The console keeps its settings file and exchange log in the folder it works
// in. Started with this option (the Start-menu entry on Windows passes it),
// it works in the user's own folder for it instead, whatever folder it was
// started in: Program Files, where it is installed, is not writable for a
// user.
inline constexpr char kUserFolderOption[] = "--user-folder";

// That folder: %APPDATA%\Quillane on Windows, $XDG_CONFIG_HOME/quillane
// (~/.config/quillane when that is not an absolute path) elsewhere, where it
// also holds the port aliases. Empty when the system names no such place.
QString UserFolder();

// Makes the folder when it is missing and works in it from now on; false,
// leaving the working folder as it was, when that cannot be done.
bool EnterUserFolder(const QString& folder);

}  // namespace quillane
