#include "ui/window/ConsoleIcon.h"

#include <QDir>

// The resource is compiled into a static library: nothing would pull it into
// the program unless it is registered by name.
static void RegisterConsoleIcon() {
    static bool registered = false;
    if (registered) return;
    Q_INIT_RESOURCE(ConsoleIcon);
    registered = true;
}

namespace quillane {

QIcon ConsoleIcon() {
    RegisterConsoleIcon();
    QIcon icon;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList(QDir::Files))
        icon.addFile(QStringLiteral(":/icons/") + file);
    return icon;
}

}  // namespace quillane
