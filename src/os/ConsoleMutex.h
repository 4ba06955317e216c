#pragma once

namespace quillane {

// While the console runs it holds a named mutex. The installer and the
// uninstaller look for it and ask for the console to be closed before they
// replace or remove its files. It says nothing more: a second console may
// run beside the first. Only Windows has it; elsewhere nothing is held.
class ConsoleMutex {
public:
    // In the session's own namespace, and as "Global\" + kName in the
    // machine's, where an installer elevated under another account sees a
    // console of the user's session too.
    static constexpr char kName[] = "QuillaneDetectorConsole";

    ConsoleMutex();
    ~ConsoleMutex();
    ConsoleMutex(const ConsoleMutex&) = delete;
    ConsoleMutex& operator=(const ConsoleMutex&) = delete;

    // Whether a console of any session holds it now.
    static bool Held();

private:
#ifdef _WIN32
    void* local_ = nullptr;
    void* global_ = nullptr;
#endif
};

}  // namespace quillane
