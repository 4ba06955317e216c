// The console program: the application object, then the main window, the
// access dialog and the hidden exchange monitor, in that order.
#include <QDir>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "app/UserFolder.h"
#include "remote/ViewServer.h"
#include "ui/window/ConsoleApplication.h"
#include "ui/window/RemoteViewDialog.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmDebug.h"
#include "ui/window/TfrmPassword.h"

namespace {

// --remote-view[=PORT]: share the phone view from the start, on PORT or the
// dialog's default. Nothing when the option is not given; -1 for a PORT that
// does not read as one, which is then refused with its reason.
std::optional<int> RemoteViewPort(const QStringList& arguments) {
    const QString option = QStringLiteral("--remote-view");
    for (const QString& a : arguments) {
        if (a == option) return quillane::RemoteViewDialog::kDefaultPort;
        if (a.startsWith(option + QLatin1Char('='))) {
            bool ok = false;
            const int port = a.mid(option.size() + 1).toInt(&ok);
            return ok && port > 0 && port < 65536 ? port : -1;
        }
    }
    return std::nullopt;
}

// The addresses go to standard output, for whoever started the console from
// a terminal; the dialog (F12) shows them too.
void StartRemoteView(quillane::TfmMain& fmMain, int port) {
    std::string error;
    if (port < 0) error = "--remote-view=PORT needs a port number from 1 to 65535.";
    if (port < 0 || !fmMain.StartRemoteView(port, error)) {
        std::fprintf(stderr, "Phone view not shared: %s\n", error.c_str());
        return;
    }
    const quillane::ViewServer& view = *fmMain.RemoteView();
    std::printf("Phone view shared at %s\n", view.Address("127.0.0.1").c_str());
    for (const std::string& address : fmMain.RemoteViewAddresses())
        std::printf("  and at %s\n", address.c_str());
    std::fflush(stdout);
}

int RunConsole(quillane::ConsoleApplication& app) {
    quillane::TfmMain fmMain;
    quillane::TfrmPassword frmPassword(&fmMain);
    fmMain.SetPasswordDialog(&frmPassword);
    quillane::TfrmDebug frmDebug;  // created hidden and never shown
    fmMain.show();
    if (const std::optional<int> port = RemoteViewPort(app.arguments()))
        StartRemoteView(fmMain, *port);
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    quillane::ConsoleApplication app(argc, argv);
    // Before the main window: it opens the settings file and the exchange log
    // in the working folder.
    if (app.arguments().contains(QString::fromLatin1(quillane::kUserFolderOption))) {
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
