#pragma once

#include <QWidget>

class QGroupBox;
class QListWidget;
class QResizeEvent;

namespace quillane {

// The exchange monitor window. It is created hidden and stays inert: the
// exchange trace goes to the log file, never into this list.
class TfrmDebug : public QWidget {
    Q_OBJECT

public:
    explicit TfrmDebug(QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QGroupBox* GroupBox3 = nullptr;
    QListWidget* lbProtocol = nullptr;
};

}  // namespace quillane
