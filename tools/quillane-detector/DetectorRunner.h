#pragma once

#include <csignal>
#include <iosfwd>

#include "CommandDecoder.h"
#include "DetectorOptions.h"
#include "PtyEndpoint.h"
#include "StreamPacer.h"
#include "VirtualDetector.h"

namespace quillane {

class Clock;

// The program around the detector: the line, the pacing of frames, the
// commands coming back, the hang-up and the end of the run.
class DetectorRunner {
public:
    DetectorRunner(const DetectorOptions& options, Clock& clock, std::ostream& out,
                   std::ostream& err);
    // Runs until stop is set or the duration is over; the program's exit code.
    int Run(const volatile std::sig_atomic_t& stop);
    // The same, and drops the line at once whenever hangUpNow is set (then
    // clears it), so that a test or a user decides the moment of a hang-up.
    int Run(const volatile std::sig_atomic_t& stop, volatile std::sig_atomic_t& hangUpNow);

private:
    bool Start();
    bool Step(double t, volatile std::sig_atomic_t& hangUpNow);
    void SendDue(double t);
    void ReadCommands();
    void WaitUntil(double t, double until);
    bool HangUp();
    void Finish();
    void WriteStats() const;
    double Now() const;

    DetectorOptions options_;
    Clock& clock_;
    std::ostream& out_;
    std::ostream& err_;
    PtyEndpoint pty_;
    VirtualDetector detector_;
    CommandDecoder decoder_;
    StreamPacer pacer_;
    int port_ = 0;
    double start_ = 0;
    bool hungUp_ = false;  // the timed hang-up is done
    long long frames_ = 0, heldFrames_ = 0, badFrames_ = 0, garbageBytes_ = 0, commands_ = 0;
};

}  // namespace quillane
