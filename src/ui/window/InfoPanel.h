#pragma once

#include <QGroupBox>
#include <string>

#include "console/pages/StatusDisplay.h"

class QLabel;

namespace quillane {

class AnswerLabel;
class PortComboBox;
struct CommandAnswer;

// gbInfo: the detector's reported values down the left of the window, with the
// port selector at its foot. The values arrive ready-made from the status
// decoding; this panel only puts them into its labels.
class InfoPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit InfoPanel(QWidget* parent = nullptr);

    // The port selector at the panel's foot, first in its tab order.
    PortComboBox* cbComPort = nullptr;

    // The texts of waiting for a detector: "---" everywhere, no address, no mode.
    void ShowReset();
    void ShowIdentity(const IdentityDisplay& d);
    void ShowPower(const std::string& power);
    void ShowZone(const ZoneDisplay& d);
    void ShowSpeed(const std::string& speed);
    void ShowState(const StateDisplay& d);
    // lAver alone: the Calibration page shows "---" there while in view.
    void ShowAver(const std::string& aver);
    // The line's figures as the tooltip of the "Mode:" row (caption and value).
    void ShowLinkHealth(const std::string& text);
    // The detector's answer to the runs no Apply button queued (calibration
    // start and stop, the automatic defaults), under the mode.
    void ShowAnswer(const CommandAnswer& answer);
    // Whether the phone view is shared, and with how many phones.
    void ShowRemoteView(const QString& state);
    void ClearAnswer();

signals:
    // The "Mode:" row's tooltip is about to show: the figures are wanted now,
    // since a silent line brings no pass that would renew them.
    void LinkHealthWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddCaption(int top, const char* text, const char* name);
    QLabel* AddValue(int top, const char* name, int height = 13);
    void SetColours(QLabel* label, const Colour* background, const Colour& text);

    QLabel* lModel = nullptr;
    QLabel* lProg = nullptr;
    QLabel* lLetter = nullptr;
    QLabel* lAddressLabel = nullptr;
    QLabel* lAddress = nullptr;
    QLabel* lStateCaption = nullptr;
    QLabel* lState = nullptr;
    QLabel* lDist = nullptr;
    QLabel* lAver = nullptr;
    QLabel* lSens = nullptr;
    QLabel* lRegul = nullptr;
    QLabel* lSpeed = nullptr;
    QLabel* lPower = nullptr;
    AnswerLabel* lStateAnswer = nullptr;
    QLabel* lRemoteView = nullptr;
};

}  // namespace quillane
