#pragma once

#include <functional>
#include <string>

#include "console/pages/Page.h"
#include "console/record/SiteRecord.h"

namespace quillane {

class Clock;
class ConsoleCore;
class CorrespondenceTables;
class NumberFormat;
class ProfileFile;
class RedrawLimit;
struct ConsoleSettings;

// What a page works with, built once by the window: the core (the detector
// model, the link state and the command slots), the correspondence tables, the
// console's settings and their file, the number format, the monotonic clock
// with the redraw limit all signal-driven redraws share, the window's note
// and average label, and the site record. A page reaches the window through
// nothing else.
struct PageContext {
    ConsoleCore& core;
    CorrespondenceTables& tables;
    ConsoleSettings& settings;
    ProfileFile& IniFile;
    const NumberFormat& format;
    const Clock& clock;
    // The limit on signal-driven redraws, with dblLastRefresh.
    RedrawLimit& refreshLimit;
    // The limit on the pages' presentations: one a display frame.
    RedrawLimit& frameLimit;
    // Replaces the whole note under the pages.
    std::function<void(const std::string&)> setNote;
    // Writes the info panel's average label (lAver).
    std::function<void(const std::string&)> showAver;
    // The tables and filters were read or stored anew: every page hears of it.
    std::function<void()> tablesChanged;
    // Where the alarm counts and the calibration maximum are kept for the report.
    SiteRecord& siteRecord;
    // Every change of an alarm count, as the site record hears it, for the
    // phone's view.
    std::function<void(Page page, SiteRecord::Count change, long long count)> alarmCounted;
};

}  // namespace quillane
