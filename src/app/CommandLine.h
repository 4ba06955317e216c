#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillane {

// The phone view's port when --remote-view names none.
inline constexpr int kRemoteViewDefaultPort = 8090;

// What the console is asked for on its command line. Read before the
// application object exists, so that --help, --version and a mistyped option
// answer without a window, and a missing display is told before Qt gives up.
struct CommandLine {
    enum class Action {
        Run,      // start the console
        Help,     // print HelpText() and exit 0
        Version,  // print VersionText() and exit 0
        Refuse,   // print `problem` and exit 2
    };
    Action action = Action::Run;
    std::string problem;  // one line: what was wrong with the command line
    // --user-folder: work in the user's own folder (UserFolder.h).
    bool userFolder = false;
    // --remote-view[=PORT]: share a live read-only view on this port.
    std::optional<int> remoteViewPort;
    // Qt's own -platform and -display, which decide where the window goes.
    std::string platform;
    std::string display;
};

// The arguments after the program's name. Qt's own options (-platform NAME,
// -style NAME, ...) are accepted and left for the application object; the
// first --help, --version or mistake decides, as the options come.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints: every option, one line each, and where the console
// keeps its files.
std::string HelpText();
// What --version prints: "quillane <version>".
std::string VersionText();

// Exit statuses besides 0.
inline constexpr int kExitNoDisplay = 1;
inline constexpr int kExitUsage = 2;

// What decides whether Qt finds a display: the -platform and -display options
// and the environment. Empty strings for what is unset.
struct DisplaySetting {
    std::string platformOption;  // -platform on the command line, which wins
    std::string qtQpaPlatform;   // QT_QPA_PLATFORM
    std::string displayOption;   // -display on the command line (X11)
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    bool waylandSocket = false;  // $XDG_RUNTIME_DIR/wayland-0, the default socket
};

// Empty when the window has somewhere to go; otherwise the one line that
// says it has not. Only an X11 or Wayland platform with nothing to connect
// to is refused: any other (offscreen, a framebuffer, a VNC server) is Qt's
// to try. Not asked on Windows, whose desktop is always there.
std::string NoDisplayProblem(const DisplaySetting& setting);

}  // namespace quillane
