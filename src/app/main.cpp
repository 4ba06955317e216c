// The console program: its command line, the application object, then the
// main window, the access dialog and the hidden exchange monitor, in that
// order.
#include <QDir>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/CommandLine.h"
#include "app/PlatformStartWatch.h"
#include "app/UserFolder.h"
#include "app/UserMessage.h"
#include "os/ConsoleMutex.h"
#include "remote/ViewServer.h"
#include "ui/window/ConsoleApplication.h"
#include "ui/window/RemoteViewDialog.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmDebug.h"
#include "ui/window/TfrmPassword.h"

namespace {

// --remote-view[=PORT] shares the phone view from the start. The addresses go
// to standard output, for whoever started the console from a terminal; the
// dialog (F12) shows them too.
void StartRemoteView(quillane::TfmMain& fmMain, int port) {
    std::string error;
    if (!fmMain.StartRemoteView(port, error)) {
        std::fprintf(stderr, "Phone view not shared: %s\n", error.c_str());
        return;
    }
    const quillane::ViewServer& view = *fmMain.RemoteView();
    std::printf("Phone view shared at %s\n", view.Address("127.0.0.1").c_str());
    for (const std::string& address : fmMain.RemoteViewAddresses())
        std::printf("  and at %s\n", address.c_str());
    std::fflush(stdout);
}

int RunConsole(quillane::ConsoleApplication& app, const quillane::CommandLine& line) {
    quillane::TfmMain fmMain;
    quillane::TfrmPassword frmPassword(&fmMain);
    fmMain.SetPasswordDialog(&frmPassword);
    quillane::TfrmDebug frmDebug;  // created hidden and never shown
    fmMain.show();
    if (line.remoteViewPort) StartRemoteView(fmMain, *line.remoteViewPort);
    return app.exec();
}

#ifndef _WIN32
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

quillane::DisplaySetting DisplayHere(const quillane::CommandLine& line) {
    quillane::DisplaySetting s;
    s.platformOption = line.platform;
    s.qtQpaPlatform = Env("QT_QPA_PLATFORM");
    s.displayOption = line.display;
    s.display = Env("DISPLAY");
    s.waylandDisplay = Env("WAYLAND_DISPLAY");
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    std::error_code ec;
    s.waylandSocket = !runtime.empty() &&
                      std::filesystem::exists(std::filesystem::path(runtime) / "wayland-0", ec);
    return s;
}
#endif

// The command line answered without a window: the exit status, or -1 to go
// on and start the console.
int AnswerCommandLine(const quillane::CommandLine& line) {
    using quillane::CommandLine;
    using quillane::MessageKind;
    switch (line.action) {
        case CommandLine::Action::Help:
            quillane::TellUser(quillane::HelpText(), MessageKind::Information);
            return 0;
        case CommandLine::Action::Version:
            quillane::TellUser(quillane::VersionText(), MessageKind::Information);
            return 0;
        case CommandLine::Action::Refuse:
            quillane::TellUser(
                "quillane: " + line.problem + " (quillane --help lists the options)\n",
                MessageKind::Error);
            return quillane::kExitUsage;
        case CommandLine::Action::Run:
            break;
    }
#ifndef _WIN32
    // Asked before the application object exists: without a display Qt
    // aborts in its constructor. Windows always has its desktop.
    const std::string noDisplay = quillane::NoDisplayProblem(DisplayHere(line));
    if (!noDisplay.empty()) {
        quillane::TellUser(noDisplay + "\n", MessageKind::Error);
        return quillane::kExitNoDisplay;
    }
#endif
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const quillane::CommandLine line =
        quillane::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const int status = AnswerCommandLine(line); status >= 0) return status;

    // Held until the program ends, so that an installer waits for it.
    const quillane::ConsoleMutex running;
    quillane::PlatformStartWatch watch;
    quillane::ConsoleApplication app(argc, argv);
    watch.Done();
    // Before the main window: it opens the settings file and the exchange log
    // in the working folder.
    if (line.userFolder) {
        const QString folder = quillane::UserFolder();
        if (!quillane::EnterUserFolder(folder)) {
            QMessageBox::warning(nullptr, app.applicationName(),
                                 QStringLiteral("Cannot make or enter the folder \"%1\" for the "
                                                "settings file and the exchange log; they stay in "
                                                "\"%2\".")
                                     .arg(QDir::toNativeSeparators(folder),
                                          QDir::toNativeSeparators(QDir::currentPath())));
        }
    }
    // Handlers are guarded by the application object; this catches what
    // escapes start-up itself.
    try {
        return RunConsole(app, line);
    } catch (const std::exception& e) {
        quillane::ConsoleApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        quillane::ConsoleApplication::ShowException(QString());
    }
    return 1;
}
