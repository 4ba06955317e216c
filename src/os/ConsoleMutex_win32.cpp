#include <windows.h>

#include <string>

#include "os/ConsoleMutex.h"

namespace quillane {

namespace {

std::wstring Wide(const std::string& name) { return std::wstring(name.begin(), name.end()); }

std::string GlobalName() { return std::string("Global\\") + ConsoleMutex::kName; }

// A mutex someone else made first (a second console) is opened, which is as
// good: it stays while either runs. One refused by another account's rights
// is that account's console's, which holds it already.
HANDLE Hold(const std::string& name) { return CreateMutexW(nullptr, FALSE, Wide(name).c_str()); }

bool Exists(const std::string& name) {
    HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, Wide(name).c_str());
    if (h == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(h);
    return true;
}

}  // namespace

ConsoleMutex::ConsoleMutex() : local_(Hold(kName)), global_(Hold(GlobalName())) {}

ConsoleMutex::~ConsoleMutex() {
    for (void* h : {local_, global_})
        if (h != nullptr) CloseHandle(h);
}

bool ConsoleMutex::Held() { return Exists(kName) || Exists(GlobalName()); }

}  // namespace quillane
