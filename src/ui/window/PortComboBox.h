#pragma once

#include <QComboBox>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// cbComPort: a drop-down list of "COM<n>" items. The list is refilled just
// before it drops down (the drop-down handler runs first), and each item's
// tooltip names the adapter and the device behind the number, as does the
// selector's for the chosen one. While the chosen port cannot be opened, the
// selector's tooltip says why instead.
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // Runs before the list opens, whether by mouse, F4 or Alt+Down.
    void SetDropDownHandler(std::function<void()> handler);
    // Runs when the list closes, chosen or not (before the choice's handler).
    void SetCloseUpHandler(std::function<void()> handler);
    // Items for the entries, the port numbered `selected` selected; raises no
    // change, so filling never reopens a port.
    void SetPorts(const std::vector<PortEntry>& entries, int selected);
    // The port in use as it is named now: its item's tooltip says so.
    void ShowPortInUse(const PortEntry& entry);

    // Why the chosen port did not open; empty once one opened.
    void ShowOpenProblem(const QString& problem);

    void showPopup() override;
    void hidePopup() override;

private:
    void ShowSelectedDevice();
    void WidenListToItems();

    std::function<void()> dropDown_;
    std::function<void()> closeUp_;
    QString problem_;
};

}  // namespace quillane
