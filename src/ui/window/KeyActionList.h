#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QAction;
class QKeySequence;
class QShortcut;
class QWidget;

namespace quillane {

// The window's keyboard actions. While suspended (no detector linked) every
// action is disabled, so its key is not taken as a shortcut at all; the keys
// the platform gives a meaning of its own then take it whatever has the focus
// (F4 opens the port list).
class KeyActionList : public QObject {
    Q_OBJECT

public:
    explicit KeyActionList(QWidget* window);

    // A window-level action; an empty key leaves it without a shortcut.
    QAction* Add(const char* name, const QString& caption, const QKeySequence& key);
    // Kept disabled and invisible whatever the state of the list.
    void KeepDisabled(QAction* action);
    // A window-wide key that works only while the list is suspended, when no
    // action can claim the same key.
    QShortcut* AddWhileSuspended(const QKeySequence& key);

    void SetSuspended(bool suspended);
    bool Suspended() const { return suspended_; }

private:
    void ApplyState();

    QWidget* window_;
    std::vector<QAction*> actions_;
    std::vector<QAction*> disabled_;
    std::vector<QShortcut*> whileSuspended_;
    bool suspended_ = true;
};

}  // namespace quillane
