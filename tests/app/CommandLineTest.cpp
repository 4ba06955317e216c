#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace quillane {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ReadsTheConsolesOptionsAndLeavesQtsToQt) {
    const struct {
        std::vector<std::string> args;
        Action action;
        bool userFolder;
        std::optional<int> remoteViewPort;
        std::string platform;
        std::string problem;  // a part of it
    } cases[] = {
        {{}, Action::Run, false, std::nullopt, "", ""},
        {{"--user-folder"}, Action::Run, true, std::nullopt, "", ""},
        {{"--remote-view"}, Action::Run, false, 8090, "", ""},
        {{"--remote-view=9000", "--user-folder"}, Action::Run, true, 9000, "", ""},
        {{"--remote-view=1"}, Action::Run, false, 1, "", ""},
        {{"--remote-view=65535"}, Action::Run, false, 65535, "", ""},
        {{"--remote-view=8000", "--remote-view"}, Action::Run, false, 8090, "", ""},  // last wins
        {{"--remote-view=0"}, Action::Refuse, false, std::nullopt, "", "not \"0\""},
        {{"--remote-view=65536"}, Action::Refuse, false, std::nullopt, "", "1 to 65535"},
        {{"--remote-view="}, Action::Refuse, false, std::nullopt, "", "not \"\""},
        {{"--remote-view=80a"}, Action::Refuse, false, std::nullopt, "", "not \"80a\""},
        {{"--remote-view=-1"}, Action::Refuse, false, std::nullopt, "", "not \"-1\""},
        {{"--remote-view", "9000"}, Action::Refuse, false, std::nullopt, "", "\"9000\""},
        {{"--help"}, Action::Help, false, std::nullopt, "", ""},
        {{"-h"}, Action::Help, false, std::nullopt, "", ""},
        {{"--version"}, Action::Version, false, std::nullopt, "", ""},
        // The first that decides, decides.
        {{"--version", "--nonsense"}, Action::Version, false, std::nullopt, "", ""},
        {{"--nonsense", "--help"}, Action::Refuse, false, std::nullopt, "", "\"--nonsense\""},
        {{"--user-folder=x"}, Action::Refuse, false, std::nullopt, "", "\"--user-folder=x\""},
        {{"COM5"}, Action::Refuse, false, std::nullopt, "", "unexpected argument \"COM5\""},
        {{""}, Action::Refuse, false, std::nullopt, "", "unexpected argument"},
        // Qt's options, with one dash or two, with their values.
        {{"-platform", "offscreen"}, Action::Run, false, std::nullopt, "offscreen", ""},
        {{"--platform", "xcb", "--user-folder"}, Action::Run, true, std::nullopt, "xcb", ""},
        {{"-style", "fusion", "-reverse", "-stylesheet=a.qss"},
         Action::Run,
         false,
         std::nullopt,
         "",
         ""},
        {{"-style=fusion", "-qwindowgeometry", "800x600+0+0"},
         Action::Run,
         false,
         std::nullopt,
         "",
         ""},
        {{"-platform"}, Action::Refuse, false, std::nullopt, "", "-platform needs a value"},
        {{"-platform=offscreen"}, Action::Refuse, false, std::nullopt, "", "unknown option"},
        {{"--", "-reverse"}, Action::Run, false, std::nullopt, "", ""},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) shown += "[" + a + "]";
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << shown;
        if (c.action == Action::Refuse) {
            EXPECT_NE(line.problem.find(c.problem), std::string::npos) << shown << line.problem;
            EXPECT_EQ(line.problem.find('\n'), std::string::npos) << shown;
            continue;
        }
        if (c.action != Action::Run) continue;
        EXPECT_EQ(line.userFolder, c.userFolder) << shown;
        EXPECT_EQ(line.remoteViewPort, c.remoteViewPort) << shown;
        EXPECT_EQ(line.platform, c.platform) << shown;
    }
}

TEST(CommandLineTest, HelpNamesEveryOption) {
    const std::string help = HelpText();
    for (const char* line : {
             "  --user-folder  ",
             "  --remote-view[=PORT]  share a live read-only view with a phone on the same "
             "network (default port 8090)\n",
             "  -h, --help  ",
             "  --version  ",
         })
        EXPECT_NE(help.find(line), std::string::npos) << line;
}

TEST(CommandLineTest, RefusesOnlyAnX11OrWaylandPlatformWithNothingToConnectTo) {
    const struct {
        DisplaySetting setting;
        std::string unset;  // empty: the window has somewhere to go
    } cases[] = {
        // Qt's own choice: X11, or Wayland in a Wayland session.
        {{"", "", "", "", "", false}, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {{"", "", "", ":0", "", false}, ""},
        {{"", "", "", "", "wayland-1", false}, ""},
        {{"", "", "", "", "", true}, ""},     // the default Wayland socket is there
        {{"", "", ":1", "", "", false}, ""},  // -display
        // Asked for by name, in the environment or on the command line.
        {{"", "xcb", "", "", "wayland-1", false}, "DISPLAY is not set"},
        {{"", "xcb:nograb", "", ":0", "", false}, ""},
        {{"", "wayland", "", ":0", "", false}, "WAYLAND_DISPLAY is not set"},
        {{"", "wayland-egl", "", "", "wayland-0", false}, ""},
        {{"", "wayland;xcb", "", ":0", "", false}, ""},
        {{"", "wayland;xcb", "", "", "", false}, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {{"xcb", "offscreen", "", "", "", false}, "DISPLAY is not set"},  // -platform wins
        {{"offscreen", "xcb", "", "", "", false}, ""},
        // Anything else is Qt's to try.
        {{"", "offscreen", "", "", "", false}, ""},
        {{"", "vnc:size=800x600", "", "", "", false}, ""},
        {{"", "linuxfb", "", "", "", false}, ""},
        {{"", "xcb;offscreen", "", "", "", false}, ""},
    };
    for (const auto& c : cases) {
        const DisplaySetting& s = c.setting;
        const std::string shown = "platform[" + s.platformOption + "] QT_QPA_PLATFORM[" +
                                  s.qtQpaPlatform + "] DISPLAY[" + s.display + "]";
        const std::string problem = NoDisplayProblem(s);
        if (c.unset.empty()) {
            EXPECT_EQ(problem, "") << shown;
        } else {
            EXPECT_EQ(problem,
                      "quillane: no display: the console needs a desktop session (" + c.unset + ")")
                << shown;
        }
    }
}

}  // namespace
}  // namespace quillane
