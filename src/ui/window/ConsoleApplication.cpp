#include "ui/window/ConsoleApplication.h"

#include <QMessageBox>
#include <exception>

#include "model/MessageTexts.h"
#include "ui/window/ConsoleIcon.h"

namespace quillane {

ConsoleApplication::ConsoleApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name, not the display name: Qt appends a display name to every
    // window title, which would follow the caption's developer suffix.
    setApplicationName(QString::fromLatin1(kBaseCaption));
    // Every window of the console, its dialogs and message boxes too.
    setWindowIcon(ConsoleIcon());
    // Text on Windows goes through Qt's own choice of engine: GDI at 100 %,
    // DirectWrite once the screen scales. Each draws the window's small
    // fixed-size text as laid out where Qt chooses it; DirectWrite forced at
    // 100 % spaces the letters unevenly ("Ver sion" under Wine), GDI forced
    // at 200 % puts a gap before a colon.
}

bool ConsoleApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowException(QString());
    }
    return false;
}

void ConsoleApplication::ShowException(const QString& message) {
    QMessageBox::critical(activeWindow(), applicationName(), message);
}

}  // namespace quillane
