#pragma once

#include <string>

namespace quillane {

// Text for the person who started the console, before or instead of its
// window (--help, --version, a mistyped option, no display): on standard
// output or standard error. A Windows window program started from Explorer
// or a prompt has neither, so there it comes in a message box instead.
enum class MessageKind { Information, Error };
void TellUser(const std::string& text, MessageKind kind);

}  // namespace quillane
