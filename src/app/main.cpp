// The console program: the application object, then the main window, the
// access dialog and the hidden exchange monitor, in that order.
#include <QDir>
#include <QMessageBox>
#include <exception>

#include "app/UserFolder.h"
#include "os/ConsoleMutex.h"
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

}  // namespace

int main(int argc, char** argv) {
    // Held until the program ends, so that an installer waits for it.
    const quillane::ConsoleMutex running;
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
