#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "console/pages/Page.h"
#include "console/pages/RangeView.h"
#include "console/pages/TuneUpView.h"
#include "console/phone/CountedAlarms.h"
#include "protocol/DetectorModel.h"

namespace quillane {

class CorrespondenceTables;
class NumberFormat;

// The live view a phone shows, as plain values: what the window shows, in
// the words and units of the page in view, for an installer who walks the
// zone or aims the detector far from the laptop.

// An alarm counter group as it stands: its count label and its switch.
struct AlarmTally {
    Page page = Page::Setup;
    long long count = 0;
    bool on = false;  // "Save alarms <F6>" checked
};

// What a page keeps beyond the stored words, as it shows it now.
struct PageHeld {
    std::optional<TuneUpValues> tuneUp;  // Calibration: signal and maximum, mV
    std::optional<RangeValues> range;    // Settings: deviation and its extremes, %
    std::optional<double> senseSignal;   // Setup: the signal last shown, mV
    std::optional<AlarmTally> tally;     // Setup, Settings: the page's alarm counter
};

struct RemoteViewSources {
    const DetectorModel& model;
    DeviceState link;
    bool detectorSeen;  // a detector was linked since the console started
    Page page;          // in view
    PageHeld held;      // of the page in view
    AlarmTally tally;   // the group of the walk-test page the access level offers
    const CountedAlarms& alarms;
    const CorrespondenceTables& tables;
    const NumberFormat& format;
};

struct RemoteViewValues {
    enum class Link { Linked, Lost, Waiting };
    struct Reading {
        std::string text, unit;  // as the page writes it, and its unit
    };
    struct Maximum {
        std::string text, unit;
        double closeness = 0;  // signal / maximum, 0 to 1
        bool near = false;     // at least 90 %: the Calibration bar's lime
    };
    struct Alarms {
        Page page = Page::Setup;
        long long count = 0;
        bool on = false;
        bool counting = false;  // on, and its page in view
        long long serial = 0;   // alarms counted since the console started
        std::deque<CountedAlarm> list;
    };
    struct Threshold {
        std::string name, text, unit;
        bool crossed = false;  // the detector's flag for it is set
    };

    Page page = Page::About;
    std::optional<Reading> signal;  // none on a page without one
    std::optional<Maximum> maximum;
    std::string mode;  // the info panel's "Mode:", "---" without a link
    Link link = Link::Waiting;
    Alarms alarms;
    std::vector<Threshold> thresholds;
    std::optional<int> toneHz;  // the aiming tone; none is silence
};

RemoteViewValues RemoteViewOf(const RemoteViewSources& s);

// The link as a phone shows it: lost only once a detector was linked.
RemoteViewValues::Link RemoteLinkOf(DeviceState link, bool detectorSeen);

// The phone's message: one line of JSON.
std::string RemoteViewJson(const RemoteViewValues& v);

// What "<F12> Phone view:" says: "off", "on", "on: 1 phone", "on: 3 phones".
std::string SharingText(bool shared, int viewers);

}  // namespace quillane
