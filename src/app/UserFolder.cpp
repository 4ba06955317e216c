#include "app/UserFolder.h"

#include <QDir>

#include "model/MessageTexts.h"

namespace quillane {

QString UserFolder() {
#ifdef Q_OS_WIN
    const QString base = qEnvironmentVariable("APPDATA");
    if (!QDir::isAbsolutePath(base)) return {};
    return QDir(base).filePath(QString::fromLatin1(files::kBaseName));
#else
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home)) return {};
        base = QDir(home).filePath(QStringLiteral(".config"));
    }
    return QDir(base).filePath(QStringLiteral("quillane"));
#endif
}

bool EnterUserFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
    return QDir::setCurrent(folder);
}

}  // namespace quillane
