#pragma once

#include <QGroupBox>
#include <functional>
#include <utility>

#include "console/record/SiteRecord.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace quillane {

// The walk test's alarm counter: "Save alarms <F6>", the count and its Reset.
// The count exists only as the text of its label. The group counts only what
// its page hands it, and its page hands it alarms only while in view.
class AlarmCounterGroup : public QGroupBox {
    Q_OBJECT

public:
    // Object names and places of the group's controls on its page.
    struct Layout {
        const char* saveName;   // chbSaveTrvSense / chbSaveTrvRange
        const char* titleName;  // lTrvSense / lTrvRange
        const char* countName;  // lTrvNumberSense / lTrvNumberRange
        const char* clearName;  // btnClearTrvSense / btnClearTrvRange
        QRect save, title, count, clear;
    };
    AlarmCounterGroup(const Layout& layout, QWidget* parent);

    // F6: invert the switch; its click handler follows.
    void SaveTrvKey();
    // F7: reset, only while counting.
    void ClearTrvKey();
    // A code-5 word: the detector's mode just went into Alarm.
    void AlarmEntered();

    // The count as its label shows it, and whether the switch is on.
    long long Count() const;
    bool On() const;

    // Hears of every change of the count for the site record: counting on,
    // an alarm (the new count), a reset or counting off (the count cleared).
    using Recorder = std::function<void(SiteRecord::Count change, long long count)>;
    void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void ShowCount(const QString& count);
    void PlaceCount();
    void chbSaveTrvClick();
    void btnClearTrvClick();

    QCheckBox* chbSaveTrv_ = nullptr;
    QLabel* lTrv_ = nullptr;
    QLabel* lTrvNumber_ = nullptr;
    QPushButton* btnClearTrv_ = nullptr;
    QRect countBox_;  // the count's designed place: its top and height hold
    Recorder recorder_;
    // The switch's state the record last heard of: F6 runs the click handler
    // twice, and the record is to hear of one change.
    bool recordedCounting_ = false;
};

}  // namespace quillane
