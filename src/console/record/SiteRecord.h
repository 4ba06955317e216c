#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "console/line/CommandRun.h"
#include "console/pages/Page.h"
#include "console/record/DetectorIdentity.h"
#include "console/record/RecordFile.h"
#include "console/record/SignalSampler.h"

namespace quillane {

class Clock;
class CorrespondenceTables;
class RecordLine;
struct DetectorModel;

// The site record: what matters at a site, as it happens, one line per event
// in a file beside the settings file (see RecordLine for the form). It
// outlives the alarm count and the console itself; the commissioning report
// is read from it. The window only hands events over; what each line says,
// and when the walk test's signal is kept, is decided here.
class SiteRecord {
public:
    // What an alarm counter group did: counting switched on, an alarm
    // counted, the count reset, counting switched off (the count cleared).
    enum class Count { On, Alarm, Reset, Off };

    SiteRecord(const Clock& clock, const CorrespondenceTables& tables, std::string path,
               std::int64_t limit = RecordFile::kDefaultLimit);
    // Writes what is still gathered.
    ~SiteRecord();
    SiteRecord(const SiteRecord&) = delete;
    SiteRecord& operator=(const SiteRecord&) = delete;

    // ---- the link ----
    // "detected": the identity of the detector just found, and its port. It
    // begins a visit, unless the detector is the one linked last, as it
    // was when the link was lost (a relink).
    void DetectorFound(const DetectorModel& m, const std::string& port);
    // An identity word while linked: the unit letter and the address may
    // change during a visit.
    void IdentityHeard(const DetectorModel& m);
    // "link_lost" with the detection's port and the identity last heard,
    // once per detection: a return to waiting without a detector (at
    // start-up, or a second one) records nothing.
    void LinkLost();
    // When the visit of the detector linked now, or linked last, began in
    // this run of the console: the time of its "detected" line as written.
    std::optional<double> VisitStart() const { return visitStart_; }

    // ---- commands ----
    // "command": a run's words and what they ask, in the installer's terms,
    // with the action that queued them when the core named it.
    void CommandRunQueued(const QueuedRun& run);
    // "command_outcome": what the detector's status words made of a run
    // (confirmed, not confirmed, timed out), with the fields that differ.
    void CommandRunEnded(const CommandRun& run);

    // ---- walk test ----
    // The page in view: alarms count, and the signal is kept, only while the
    // page in view counts.
    void PageInView(Page page);
    // "counting_on", "alarm", "count_reset", "counting_off", with the page
    // and the count (the new one for an alarm, the one cleared otherwise).
    void Counting(Page page, Count change, long long count);
    // A signal word taken into the model: while the walk test runs, "signal"
    // lines with the page, the lowest and highest deviation of each half
    // second and the thresholds in force.
    void SignalWord(const DetectorModel& m);

    // ---- the detector's warnings ----
    // A state word: "warning" with the text the console shows when the
    // detector reports a warning or a malfunction, or another one;
    // "warning_end" when it no longer does.
    void DetectorWarning(const DetectorModel& m);

    // ---- calibration ----
    // "calibration_maximum": the "Maximum:" the Calibration page showed, in
    // millivolts, and when it was reached ("reached"), when the page is done
    // with one.
    void CalibrationMaximum(double milliVolts, double reachedDays);

    // Writes the signal period begun.
    void Flush();

    // Whom to tell, at once, that the record's file cannot be written, and
    // why (see RecordFile::OnProblem).
    void OnFileProblem(RecordFile::ProblemTeller tell) { file_.OnProblem(std::move(tell)); }

    const RecordFile& File() const { return file_; }

private:
    bool Sampling() const;
    void FlushSignal();
    void WriteSample(const SignalSampler::Sample& s);
    // Every line but the signal's: the half second begun goes out first, so
    // that the lines stand in the order of their times.
    void Write(const RecordLine& line);

    const Clock& clock_;
    const CorrespondenceTables& tables_;
    RecordFile file_;
    std::optional<std::string> linkedPort_;
    // The identity last heard from the detector linked now or last.
    std::optional<DetectorIdentity> heard_;
    std::optional<double> visitStart_;
    std::string warning_;  // the warning in force, empty when none
    Page inView_ = Page::About;
    bool countingSetup_ = false, countingSettings_ = false;
    SignalSampler sampler_;
    // The thresholds in force for the period being gathered.
    double pl_ = 0, ll_ = 0, hl_ = 0;
};

}  // namespace quillane
