// quillane-detector: a virtual detector on a pseudo-terminal, for trying the
// console without hardware and for testing it against a live line.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "DetectorOptions.h"
#include "DetectorRunner.h"
#include "os/SystemClock.h"

namespace {

// Set by the signal handler; the run loop checks it between frames, so the
// alias is removed on the way out instead of being left behind.
volatile std::sig_atomic_t gStop = 0;
// SIGUSR1 drops the line at a moment of the caller's choosing.
volatile std::sig_atomic_t gHangUp = 0;

void OnStopSignal(int) { gStop = 1; }
void OnHangUpSignal(int) { gHangUp = 1; }

void InstallSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: the wait for the next frame must end at once.
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
    sa.sa_handler = OnHangUpSignal;
    sigaction(SIGUSR1, &sa, nullptr);
    // A reader of our output that went away must not kill us before cleanup.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const quillane::DetectorOptionsResult parsed = quillane::ParseDetectorOptions(args);
    if (parsed.help) {
        std::cout << quillane::DetectorUsage();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "quillane-detector: " << parsed.error
                  << "\nTry 'quillane-detector --help' for the options.\n";
        return 2;
    }
    InstallSignalHandlers();
    quillane::SystemClock clock;
    quillane::DetectorRunner runner(parsed.options, clock, std::cout, std::cerr);
    return runner.Run(gStop, gHangUp);
}
