#pragma once

#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace quillane {

// A UTF-8 path in the form the wide Win32 file calls take. Text that is not
// UTF-8 gives the empty name, which every call then refuses.
inline std::wstring Wide(const std::string& s) {
    if (s.empty()) return {};
    const int size = static_cast<int>(s.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), size, w.data(), n);
    return w;
}

}  // namespace quillane
