#include "os/ConsoleMutex.h"

namespace quillane {

// The Debian package replaces files under a running program safely.
ConsoleMutex::ConsoleMutex() = default;

ConsoleMutex::~ConsoleMutex() = default;

bool ConsoleMutex::Held() { return false; }

}  // namespace quillane
