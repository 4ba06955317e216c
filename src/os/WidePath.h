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

// The text conversions the os layer's Win32 bodies share.

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

// Wide text from the system as UTF-8, like every other text of the console.
inline std::string Narrow(const wchar_t* w, int size) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, size, s.data(), n, nullptr, nullptr);
    return s;
}

// The system's message for an error code, in the user's language.
inline std::string SystemText(DWORD err) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, err, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text = n > 0 ? Narrow(buffer, static_cast<int>(n)) : "error " + std::to_string(err);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

}  // namespace quillane
