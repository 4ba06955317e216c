// The console program: the application object, then the main window, the
// access dialog and the hidden exchange monitor, in that order.
#include <exception>

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
    quillane::ConsoleApplication app(argc, argv);
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
