#include "ui/window/KeyActionList.h"

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>
#include <algorithm>

namespace quillane {

KeyActionList::KeyActionList(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("ActionList"));
}

QAction* KeyActionList::Add(const char* name, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, window_);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(action);
    actions_.push_back(action);
    ApplyState();
    return action;
}

void KeyActionList::KeepDisabled(QAction* action) {
    disabled_.push_back(action);
    action->setVisible(false);
    ApplyState();
}

QShortcut* KeyActionList::AddWhileSuspended(const QKeySequence& key) {
    auto* shortcut = new QShortcut(key, window_);
    shortcut->setContext(Qt::WindowShortcut);
    whileSuspended_.push_back(shortcut);
    ApplyState();
    return shortcut;
}

void KeyActionList::SetSuspended(bool suspended) {
    suspended_ = suspended;
    ApplyState();
}

void KeyActionList::ApplyState() {
    for (QAction* a : actions_) {
        const bool keptOff = std::find(disabled_.begin(), disabled_.end(), a) != disabled_.end();
        a->setEnabled(!suspended_ && !keptOff);
    }
    for (QShortcut* s : whileSuspended_) s->setEnabled(suspended_);
}

}  // namespace quillane
