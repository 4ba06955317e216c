#pragma once

#include <QComboBox>
#include <functional>

class QKeyEvent;
class QPaintEvent;

namespace quillane {

// A drop-down list as the pages use it: a handler that runs before the list
// opens (it may change the items), a filter that can swallow the keys typed
// into it, and a stand-in text shown over a selection that stays underneath.
class PageComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PageComboBox(QWidget* parent = nullptr);

    void SetDropDownHandler(std::function<void()> handler);
    // While it returns true, keys typed into the box are discarded (the
    // window's function keys, taken before, still work).
    void SetKeyFilter(std::function<bool()> discardKeys);
    // Shown instead of the selected item's text; empty shows the item again.
    void SetStandInText(const QString& text);
    QString ShownText() const;

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void()> dropDown_;
    std::function<bool()> discardKeys_;
    QString standIn_;
};

}  // namespace quillane
