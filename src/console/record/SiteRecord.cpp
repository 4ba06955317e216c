#include "console/record/SiteRecord.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "console/line/CommandAnswer.h"
#include "console/pages/RangeView.h"
#include "console/pages/StatusDisplay.h"
#include "console/record/CommandMeaning.h"
#include "console/record/RecordLine.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "os/Clock.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

// The record's numbers read the same on every machine.
const NumberFormat kRecordNumbers('.');

// Names in the order of the enumerations.
const char* PageName(Page page) {
    static const char* const kNames[] = {"Calibration", "Setup", "Settings", "Properties", "About"};
    return kNames[static_cast<std::size_t>(page)];
}

const char* CountEvent(SiteRecord::Count change) {
    static const char* const kNames[] = {"counting_on", "alarm", "count_reset", "counting_off"};
    return kNames[static_cast<std::size_t>(change)];
}

}  // namespace

SiteRecord::SiteRecord(const Clock& clock, const CorrespondenceTables& tables, std::string path,
                       std::int64_t limit)
    : clock_(clock), tables_(tables), file_(std::move(path), limit) {}

SiteRecord::~SiteRecord() { Flush(); }

// ---- the link ----

void SiteRecord::DetectorFound(const DetectorModel& m, const std::string& port) {
    const frame::Word identity = m.Word(status::kIdentityWord);
    linkedPort_ = port;
    file_.Append(RecordLine(clock_.LocalDays(), "detected")
                     .Text("port", port)
                     .Text("model", ModelText(frame::Dev(identity)))
                     .Integer("version", frame::Prog(identity))
                     .Text("unit", "F" + std::to_string(frame::Letter(identity) + 1))
                     .Integer("address", frame::Adr(identity))
                     .Done());
}

void SiteRecord::LinkLost() {
    FlushSignal();
    if (!linkedPort_) return;
    file_.Append(RecordLine(clock_.LocalDays(), "link_lost").Text("port", *linkedPort_).Done());
    linkedPort_.reset();
}

// ---- commands ----

void SiteRecord::CommandRunQueued(const QueuedRun& run) {
    RecordLine line(clock_.LocalDays(), "command");
    if (run.source) line.Text("action", CommandSourceName(*run.source));
    file_.Append(line.Text("words", CommandWordsText(run.words))
                     .Text("meaning", CommandMeaning(run.words, tables_))
                     .Done());
}

void SiteRecord::CommandRunEnded(const CommandRun& run) {
    // In the installer's words, as the mark's tooltip said them.
    std::string differing;
    for (const std::string& text : DifferingTexts(run, tables_, kRecordNumbers))
        differing += (differing.empty() ? "" : "; ") + text;
    file_.Append(RecordLine(clock_.LocalDays(), "command_outcome")
                     .Text("action", CommandSourceName(run.source))
                     .Text("outcome", CommandOutcomeName(run.outcome))
                     .Text("words", CommandWordsText(run.sent))
                     .Text("differing", differing)
                     .Number("seconds", run.seconds, 2)
                     .Done());
}

// ---- walk test ----

bool SiteRecord::Sampling() const {
    return (inView_ == Page::Setup && countingSetup_) ||
           (inView_ == Page::Settings && countingSettings_);
}

void SiteRecord::PageInView(Page page) {
    if (page != inView_) FlushSignal();
    inView_ = page;
}

void SiteRecord::Counting(Page page, Count change, long long count) {
    bool& counting = page == Page::Settings ? countingSettings_ : countingSetup_;
    if (change == Count::Off && page == inView_) FlushSignal();
    if (change == Count::On) counting = true;
    if (change == Count::Off) counting = false;
    RecordLine line(clock_.LocalDays(), CountEvent(change));
    line.Text("page", PageName(page));
    if (change != Count::On) line.Integer("count", count);
    file_.Append(line.Done());
}

void SiteRecord::SignalWord(const DetectorModel& m) {
    if (!Sampling()) return;
    const double deviation = RangeDeviation(frame::Sig(m.Word(status::kSignalWord)),
                                            frame::Aver(m.Word(status::kStateWord)));
    if (const auto finished =
            sampler_.Take(clock_.MonotonicSeconds(), clock_.LocalDays(), deviation))
        WriteSample(*finished);
    // Each period carries the thresholds in force at its last word.
    pl_ = tables_.ThresholdPP(static_cast<int>(frame::SensPp(m.Word(status::kSensWord))));
    ll_ = tables_.ThresholdMP(static_cast<int>(frame::SensMp(m.Word(status::kSensWord))));
    hl_ = tables_.ThresholdBP(static_cast<int>(frame::SensBp(m.Word(status::kZoneWord))));
}

void SiteRecord::FlushSignal() {
    if (const auto rest = sampler_.Flush()) WriteSample(*rest);
}

void SiteRecord::WriteSample(const SignalSampler::Sample& s) {
    file_.Append(RecordLine(s.startDays, "signal")
                     .Text("page", PageName(inView_))
                     .Number("low", s.low, 1)
                     .Number("high", s.high, 1)
                     .Number("pl", pl_, 1)
                     .Number("ll", ll_, 1)
                     .Number("hl", hl_, 1)
                     .Done());
}

// ---- calibration ----

void SiteRecord::CalibrationMaximum(double milliVolts) {
    file_.Append(
        RecordLine(clock_.LocalDays(), "calibration_maximum").Number("mV", milliVolts, 3).Done());
}

void SiteRecord::Flush() { FlushSignal(); }

}  // namespace quillane
