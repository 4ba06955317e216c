#pragma once

#include <QApplication>

namespace quillane {

// The application object. An exception that escapes an event handler is shown
// in the standard error box and the window carries on, instead of ending the
// program with the installer's work on screen.
class ConsoleApplication : public QApplication {
    Q_OBJECT

public:
    ConsoleApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard error box, titled with the application's name.
    static void ShowException(const QString& message);
};

}  // namespace quillane
