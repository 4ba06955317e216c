#include "app/UserFolder.h"

#include <QDir>

namespace quillane {

bool EnterUserFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
    return QDir::setCurrent(folder);
}

}  // namespace quillane
