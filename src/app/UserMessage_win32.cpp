#include <windows.h>

#include <string>

#include "app/UserMessage.h"
#include "model/MessageTexts.h"

namespace quillane {

namespace {

std::wstring Wide(const std::string& utf8) {
    const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (chars <= 1) return {};
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), chars);
    out.resize(static_cast<size_t>(chars) - 1);
    return out;
}

}  // namespace

void TellUser(const std::string& text, MessageKind kind) {
    // Redirected to a file or a pipe (or run from a Unix shell under Wine),
    // the text goes there as on Linux.
    const HANDLE out =
        GetStdHandle(kind == MessageKind::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE &&
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return;
    const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(kBaseCaption).c_str(), MB_OK | icon);
}

}  // namespace quillane
