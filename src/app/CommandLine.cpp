#include "app/CommandLine.h"

#include <algorithm>
#include <utility>

#include "app/UserFolder.h"

#ifndef QUILLANE_VERSION
#define QUILLANE_VERSION "unknown"
#endif

namespace quillane {

namespace {

constexpr char kRemoteViewOption[] = "--remote-view";

// Qt's own options, which the application object takes out of the arguments
// itself; each with one dash or two. Those in the first list take the next
// argument as their value.
const char* const kQtOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "style",         "stylesheet",
};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
// These also come as -name=value.
const char* const kQtOptionsWithEquals[] = {"style", "stylesheet", "qmljsdebugger"};

// "-platform" and "--platform" both name Qt's option "platform".
std::string QtOptionName(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-') return {};
    return arg.substr(arg[1] == '-' ? 2 : 1);
}

bool OneOf(const std::string& name, const char* const* first, const char* const* last) {
    for (auto it = first; it != last; ++it) {
        if (name == *it) return true;
    }
    return false;
}

template <std::size_t N>
bool OneOf(const std::string& name, const char* const (&list)[N]) {
    return OneOf(name, list, list + N);
}

CommandLine Refused(std::string problem) {
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.problem = std::move(problem);
    return line;
}

// A TCP port to listen on: 1-65535, digits only.
std::optional<int> PortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return value;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == kUserFolderOption) {
            line.userFolder = true;
            continue;
        }
        if (arg == kRemoteViewOption) {
            line.remoteViewPort = kRemoteViewDefaultPort;
            continue;
        }
        const std::string remoteViewWithPort = std::string(kRemoteViewOption) + "=";
        if (arg.compare(0, remoteViewWithPort.size(), remoteViewWithPort) == 0) {
            const std::string text = arg.substr(remoteViewWithPort.size());
            line.remoteViewPort = PortNumber(text);
            if (!line.remoteViewPort)
                return Refused("--remote-view: the port must be a number from 1 to 65535, not \"" +
                               text + "\"");
            continue;
        }
        const std::string qt = QtOptionName(arg);
        if (OneOf(qt, kQtOptionsWithValue)) {
            if (i + 1 == args.size()) return Refused(arg + " needs a value");
            const std::string& value = args[++i];
            if (qt == "platform") line.platform = value;
            if (qt == "display") line.display = value;
            continue;
        }
        if (OneOf(qt, kQtFlags)) continue;
        const std::size_t equals = qt.find('=');
        if (equals != std::string::npos && OneOf(qt.substr(0, equals), kQtOptionsWithEquals))
            continue;
        if (arg == "--") continue;
        if (arg.empty() || arg[0] != '-')
            return Refused("unexpected argument \"" + arg + "\": the console takes options only");
        return Refused("unknown option \"" + arg + "\"");
    }
    return line;
}

std::string HelpText() {
#ifdef _WIN32
    const char* userFolder = "%APPDATA%\\Quillane";
#else
    const char* userFolder = "~/.config/quillane";
#endif
    return std::string(
               "Usage: quillane [options]\n"
               "\n"
               "The setup console for the perimeter intrusion detector. It keeps its settings\n"
               "file Quillane.ini, its site record and its reports in the folder it works in,\n"
               "and writes the exchange log Quillane.log there when that file exists at start.\n"
               "\n"
               "Options:\n"
               "  --user-folder         work in ") +
           userFolder +
           " instead of\n"
           "                        the folder it is started in\n"
           "  --remote-view[=PORT]  share a live read-only view with a phone on the same "
           "network (default port 8090)\n"
           "  -h, --help            print this text and exit\n"
           "  --version             print the console's version and exit\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, -reverse, ...) go to Qt.\n";
}

std::string VersionText() { return std::string("quillane ") + QUILLANE_VERSION + "\n"; }

namespace {

enum class Session { X11, Wayland, Other };

Session SessionOf(const std::string& platformEntry) {
    // "xcb", "wayland-egl:option=1": the plugin's name before its options.
    const std::string name = platformEntry.substr(0, platformEntry.find(':'));
    if (name == "xcb") return Session::X11;
    if (name.compare(0, 7, "wayland") == 0) return Session::Wayland;
    return Session::Other;
}

}  // namespace

std::string NoDisplayProblem(const DisplaySetting& s) {
    const bool x11 = !s.display.empty() || !s.displayOption.empty();
    const bool wayland = !s.waylandDisplay.empty() || s.waylandSocket;
    const std::string platform = !s.platformOption.empty() ? s.platformOption : s.qtQpaPlatform;
    bool wantsX11 = false;
    bool wantsWayland = false;
    if (platform.empty()) {
        // Qt's own choice on Linux: Wayland in a Wayland session, else X11.
        wantsX11 = wantsWayland = true;
    } else {
        // "wayland;xcb": the first plugin that starts is taken.
        std::size_t from = 0;
        while (from <= platform.size()) {
            const std::size_t end = std::min(platform.find(';', from), platform.size());
            const std::string entry = platform.substr(from, end - from);
            from = end + 1;
            if (entry.empty()) continue;
            switch (SessionOf(entry)) {
                case Session::X11:
                    wantsX11 = true;
                    break;
                case Session::Wayland:
                    wantsWayland = true;
                    break;
                case Session::Other:
                    return {};
            }
        }
        if (!wantsX11 && !wantsWayland) return {};
    }
    if ((wantsX11 && x11) || (wantsWayland && wayland)) return {};
    const char* unset = wantsX11 && wantsWayland ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
                        : wantsX11               ? "DISPLAY is not set"
                                                 : "WAYLAND_DISPLAY is not set";
    return std::string("quillane: no display: the console needs a desktop session (") + unset + ")";
}

}  // namespace quillane
