// The console's uninstaller, uninstall.exe in the install folder: it removes
// the files the installer put there (as uninstall.lst names them), the
// Start-menu entry and the Uninstall key, and leaves each user's
// %APPDATA%\Quillane. A program of its own rather than one the installer
// writes: NSIS's uninstallers copy themselves away and return at once,
// before a single file is gone, and hold their own file open while they run.
// This one runs in place and returns when the folder is empty, so that
// "uninstall.exe /S" and the QuietUninstallString can be waited for.
//
//   uninstall.exe       asks first, says when it is done
//   uninstall.exe /S    silently
//
// Exit codes: 0 removed, 1 cancelled by the user, 2 the console is running,
// 3 no list of installed files beside the program.
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "os/ConsoleMutex.h"
#include "uninstall/UninstallList.h"

namespace {

using quillane::ConsoleMutex;
using quillane::UninstallList;

constexpr wchar_t kTitle[] = L"Detector setup console";
constexpr wchar_t kEntry[] = L"Detector setup console.lnk";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillane";
constexpr wchar_t kListName[] = L"uninstall.lst";

enum Exit { kRemoved = 0, kCancelled = 1, kConsoleRunning = 2, kNoList = 3 };

bool Silent() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    bool silent = false;
    for (int i = 1; i < count; ++i) silent = silent || lstrcmpiW(args[i], L"/S") == 0;
    LocalFree(args);
    return silent;
}

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

std::wstring Utf8ToWide(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), n);
    return wide;
}

bool ReadList(const std::wstring& path, UninstallList& list) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    list = quillane::ParseUninstallList(Utf8ToWide(text));
    return true;
}

int Ask(bool silent, const std::wstring& text, UINT buttons, int silentAnswer) {
    if (silent) return silentAnswer;
    return MessageBoxW(nullptr, text.c_str(), kTitle, buttons | MB_SETFOREGROUND);
}

// A running console holds its files open: it is to be closed first.
bool ConsoleClosed(bool silent) {
    while (ConsoleMutex::Held()) {
        const std::wstring text =
            std::wstring(L"The ") + kTitle + L" is running. Close it, then choose Retry.";
        if (Ask(silent, text, MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL) != IDRETRY)
            return false;
    }
    return true;
}

void RemoveEntry() {
    wchar_t* programs = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_CommonPrograms, 0, nullptr, &programs)))
        DeleteFileW((std::wstring(programs) + L"\\" + kEntry).c_str());
    CoTaskMemFree(programs);
}

// Only the key of this installation: one that names another folder belongs
// to another copy of the console.
void RemoveKey(const std::wstring& folder) {
    wchar_t location[MAX_PATH * 2] = {};
    DWORD size = sizeof(location) - sizeof(wchar_t);
    const LSTATUS read =
        RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation",
                     RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, location, &size);
    if (read == ERROR_SUCCESS && lstrcmpiW(location, folder.c_str()) == 0)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
}

// Windows deletes no running program's file, but it moves one within its
// drive: into the temporary folder, where it goes at the next start of
// Windows, and the install folder can go now. Where the temporary folder is
// on another drive, the file and the folder wait for that start in place.
void RemoveSelf(const std::wstring& program, const std::wstring& folder) {
    wchar_t temp[MAX_PATH + 1] = {};
    wchar_t moved[MAX_PATH + 1] = {};
    const bool named =
        GetTempPathW(MAX_PATH + 1, temp) > 0 && GetTempFileNameW(temp, L"qun", 0, moved) != 0;
    if (named && MoveFileExW(program.c_str(), moved, MOVEFILE_REPLACE_EXISTING)) {
        MoveFileExW(moved, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        RemoveDirectoryW(folder.c_str());
        return;
    }
    if (named) DeleteFileW(moved);
    MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int Uninstall() {
    const bool silent = Silent();
    const std::wstring program = ThisProgram();
    const std::wstring folder = FolderOf(program);
    const std::wstring listPath = folder + L"\\" + kListName;
    UninstallList list;
    if (!ReadList(listPath, list)) {
        Ask(silent,
            L"There is no list of the installed files (" + listPath + L"): nothing is removed.",
            MB_OK | MB_ICONSTOP, IDOK);
        return kNoList;
    }
    if (!ConsoleClosed(silent)) return kConsoleRunning;
    const std::wstring question =
        std::wstring(L"Remove the ") + kTitle + L" from " + folder +
        L"?\n\nEach user's settings and logs in %APPDATA%\\Quillane stay.";
    if (Ask(silent, question, MB_YESNO | MB_ICONQUESTION, IDYES) != IDYES) return kCancelled;

    RemoveEntry();
    for (const std::wstring& file : list.files) DeleteFileW((folder + L"\\" + file).c_str());
    for (const std::wstring& sub : list.folders) RemoveDirectoryW((folder + L"\\" + sub).c_str());
    DeleteFileW(listPath.c_str());
    RemoveKey(folder);
    RemoveSelf(program, folder);
    Ask(silent, std::wstring(L"The ") + kTitle + L" was removed.", MB_OK | MB_ICONINFORMATION,
        IDOK);
    return kRemoved;
}

}  // namespace

// The arguments come from GetCommandLineW, as UTF-16.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Uninstall(); }
