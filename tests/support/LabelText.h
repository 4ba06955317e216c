#pragma once

#include <QLabel>
#include <QString>
#include <QVariant>

namespace quillane::test {

// The label with this object name below root (the window, a page), or null.
inline QLabel* LabelNamed(const QObject& root, const char* name) {
    return root.findChild<QLabel*>(QString::fromLatin1(name));
}

// The text of a label or a value label (anything with a text property); a
// missing one reads as a text that names it, so the comparison fails instead
// of the test.
inline QString LabelText(const QObject& root, const char* name) {
    const QObject* label = root.findChild<QObject*>(QString::fromLatin1(name));
    const QVariant text = label != nullptr ? label->property("text") : QVariant();
    return text.isValid() ? text.toString() : QStringLiteral("<no label %1>").arg(name);
}

}  // namespace quillane::test
