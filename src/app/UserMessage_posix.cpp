#include <cstdio>

#include "app/UserMessage.h"

namespace quillane {

void TellUser(const std::string& text, MessageKind kind) {
    std::FILE* stream = kind == MessageKind::Error ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace quillane
