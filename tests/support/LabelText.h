#pragma once

#include <QLabel>
#include <QString>

namespace quillane::test {

// The label with this object name below root (the window, a page), or null.
inline QLabel* LabelNamed(const QObject& root, const char* name) {
    return root.findChild<QLabel*>(QString::fromLatin1(name));
}

// Its text; a missing label reads as a text that names it, so the comparison
// fails instead of the test.
inline QString LabelText(const QObject& root, const char* name) {
    const QLabel* label = LabelNamed(root, name);
    return label != nullptr ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

}  // namespace quillane::test
