#include "DetectorRunner.h"

#include <poll.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "link/PortMap.h"
#include "os/Clock.h"

namespace quillane {

namespace {

// Above every port present: the console opens the last port of its list on its
// own at start, so it finds the virtual detector without being told.
int FirstFreePortNumber() {
    const std::vector<int> present = CandidatePortNumbers();
    const int number = present.empty() ? 1 : present.back() + 1;
    return number <= kMaxPorts ? number : 0;
}

std::string AliasPathFor(int port) {
    return (std::filesystem::path(PortAliasDirectory()) / ("COM" + std::to_string(port))).string();
}

const char* ScenarioName(Scenario s) {
    switch (s) {
        case Scenario::kWalk:
            return "walk";
        case Scenario::kCalibration:
            return "calibration";
        case Scenario::kWarning:
            return "warning";
        case Scenario::kGarbage:
            return "garbage";
        default:
            return "quiet";
    }
}

}  // namespace

DetectorRunner::DetectorRunner(const DetectorOptions& options, Clock& clock, std::ostream& out,
                               std::ostream& err)
    : options_(options),
      clock_(clock),
      out_(out),
      err_(err),
      detector_(options),
      pacer_(options.rate) {}

int DetectorRunner::Run(const volatile std::sig_atomic_t& stop) {
    volatile std::sig_atomic_t never = 0;
    return Run(stop, never);
}

int DetectorRunner::Run(const volatile std::sig_atomic_t& stop,
                        volatile std::sig_atomic_t& hangUpNow) {
    if (!Start()) return 1;
    start_ = clock_.MonotonicSeconds();
    bool ok = true;
    while (ok && stop == 0) {
        const double t = Now();
        if (options_.duration > 0 && t >= options_.duration) break;
        ok = Step(t, hangUpNow);
    }
    Finish();
    return ok ? 0 : 1;
}

bool DetectorRunner::Start() {
    port_ = options_.com != 0 ? options_.com : FirstFreePortNumber();
    if (port_ == 0) {
        err_ << "quillane-detector: no free port number left; choose one with --com\n";
        return false;
    }
    if (!pty_.Open() || !pty_.LinkAlias(AliasPathFor(port_))) {
        err_ << "quillane-detector: " << pty_.LastError() << "\n";
        return false;
    }
    out_ << "port COM" << port_ << " " << pty_.DevicePath() << std::endl;
    if (!options_.quiet) {
        err_ << "quillane-detector: alias " << pty_.AliasPath() << ", model " << options_.model
             << ", address " << options_.address << ", " << options_.rate << " frames/s, scenario "
             << ScenarioName(options_.scenario) << ". Ctrl-C stops it.\n";
    }
    return true;
}

bool DetectorRunner::Step(double t, volatile std::sig_atomic_t& hangUpNow) {
    const bool timed = !hungUp_ && options_.hangupAfter > 0 && t >= options_.hangupAfter;
    if (timed) hungUp_ = true;
    if (timed || hangUpNow != 0) {
        hangUpNow = 0;
        if (!HangUp()) return false;
    }
    SendDue(t);
    ReadCommands();
    double until = pacer_.NextDue();
    if (options_.duration > 0) until = std::min(until, options_.duration);
    if (!hungUp_ && options_.hangupAfter > 0) until = std::min(until, options_.hangupAfter);
    WaitUntil(Now(), until);
    return true;
}

void DetectorRunner::SendDue(double t) {
    const int due = pacer_.Due(t);
    // Frames the console cannot have seen, because it had not opened the
    // port, are told apart for whoever counts what the console lost.
    const bool held = due > 0 && pty_.ConsoleHolds();
    for (int n = due; n > 0; --n) {
        const LineSlot slot = detector_.NextSlot(t);
        // A write the line refuses is a frame the detector still sent: the
        // console, not the detector, lost it.
        pty_.Write(slot.bytes.data(), slot.bytes.size());
        frames_ += slot.frames;
        if (held) heldFrames_ += slot.frames;
        badFrames_ += slot.badFrames;
        garbageBytes_ += slot.garbageBytes;
    }
}

void DetectorRunner::ReadCommands() {
    std::uint8_t buffer[256];
    std::size_t n = 0;
    while ((n = pty_.Read(buffer, sizeof buffer)) > 0) {
        for (const std::uint16_t w : decoder_.Feed(buffer, n)) {
            const bool applied = detector_.ApplyCommand(w);
            ++commands_;
            if (options_.verbose) {
                out_ << DescribeCommand(w) << (applied ? "" : " ignored") << std::endl;
            }
        }
    }
}

// Sleeps until the next frame is due, waking early for a command or a signal.
// The slave end is ours as well, so the master never reports a hang-up that
// would turn this into a busy loop.
void DetectorRunner::WaitUntil(double t, double until) {
    const double wait = std::max(0.0, until - t);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(wait);
    ts.tv_nsec = static_cast<long>((wait - static_cast<double>(ts.tv_sec)) * 1e9);
    pollfd p{pty_.MasterFd(), POLLIN, 0};
    ::ppoll(&p, 1, &ts, nullptr);
}

bool DetectorRunner::HangUp() {
    if (!pty_.Reopen()) {
        err_ << "quillane-detector: " << pty_.LastError() << "\n";
        return false;
    }
    out_ << "port COM" << port_ << " " << pty_.DevicePath() << std::endl;
    if (!options_.quiet) err_ << "quillane-detector: hung up; a new device is behind the alias\n";
    return true;
}

void DetectorRunner::Finish() {
    // Commands that came in while the stop was on its way still count, and
    // are still printed: the trace must show every word the console sent.
    ReadCommands();
    pty_.LetConsoleRead();
    pty_.Close();
    out_ << "sent " << frames_ << " frames" << std::endl;
    if (!options_.statsFile.empty()) WriteStats();
}

void DetectorRunner::WriteStats() const {
    std::ofstream f(options_.statsFile);
    f << "sent " << frames_ << " frames\n"
      << "held frames " << heldFrames_ << "\n"
      << "bad frames " << badFrames_ << "\n"
      << "garbage bytes " << garbageBytes_ << "\n"
      << "dropped unread bytes " << pty_.DroppedBytes() << "\n"
      << "skipped frames " << pacer_.Skipped() << "\n"
      << "commands " << commands_ << "\n"
      << "rejected commands " << decoder_.Rejected() << "\n";
    if (!f) err_ << "quillane-detector: cannot write " << options_.statsFile << "\n";
}

double DetectorRunner::Now() const { return clock_.MonotonicSeconds() - start_; }

}  // namespace quillane
