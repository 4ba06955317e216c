#include <QDir>

#include "app/UserFolder.h"

namespace quillane {

QString UserFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home)) return {};
        base = QDir(home).filePath(QStringLiteral(".config"));
    }
    return QDir(base).filePath(QStringLiteral("quillane"));
}

}  // namespace quillane
