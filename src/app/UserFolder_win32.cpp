#include <QDir>

#include "app/UserFolder.h"
#include "model/MessageTexts.h"

namespace quillane {

QString UserFolder() {
    const QString base = qEnvironmentVariable("APPDATA");
    if (!QDir::isAbsolutePath(base)) return {};
    return QDir(base).filePath(QString::fromLatin1(files::kBaseName));
}

}  // namespace quillane
