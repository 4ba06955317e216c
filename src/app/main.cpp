// The console program: its command line, the application object, then the
// main window, the access dialog and the hidden exchange monitor, in that
// order.
#include <QDir>
#include <QMessageBox>
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
#include "ui/window/ConsoleApplication.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmDebug.h"
#include "ui/window/TfrmPassword.h"

namespace {

int RunConsole(quillane::ConsoleApplication& app) {
    quillane::TfmMain fmMain;
    quillane::TfrmPassword frmPassword(&fmMain);
    fmMain.SetPasswordDialog(&frmPassword);
    quillane::TfrmDebug frmDebug;  // created hidden and never shown
    fmMain.show();
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
        return RunConsole(app);
    } catch (const std::exception& e) {
        quillane::ConsoleApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        quillane::ConsoleApplication::ShowException(QString());
    }
    return 1;
}
