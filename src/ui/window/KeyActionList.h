#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QAction;
class QKeySequence;
class QWidget;

namespace quillane {

// The window's keyboard actions. While suspended (no detector linked) every
// action is disabled, so its key is not taken as a shortcut at all and reaches
// the focused control instead: F4 then opens the port list.
class KeyActionList : public QObject {
    Q_OBJECT

public:
    explicit KeyActionList(QWidget* window);

    // A window-level action; an empty key leaves it without a shortcut.
    QAction* Add(const char* name, const QString& caption, const QKeySequence& key);
    // Kept disabled and invisible whatever the state of the list.
    void KeepDisabled(QAction* action);

    void SetSuspended(bool suspended);
    bool Suspended() const { return suspended_; }

private:
    void ApplyState();

    QWidget* window_;
    std::vector<QAction*> actions_;
    std::vector<QAction*> disabled_;
    bool suspended_ = true;
};

}  // namespace quillane
