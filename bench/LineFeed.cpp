// The line of the line-rate benchmark: one recorded detector stream, fed at
// the same moments to the console and to each floor program it is measured
// against, so that they all read the same bytes.
//
//   bench_line_feed record quiet|walk|calibration SECONDS FILE
//       the virtual detector's frames of SECONDS at the full line rate,
//       always the same (a fixed seed), into FILE
//   bench_line_feed play FILE STATS LINE...
//       one pseudo-terminal for each LINE: an alias path (a port alias the
//       console finds) or "-" (a line of its own, named on the output); then
//       FILE's frames in a loop, 1440 a second, to every line at once, until
//       SIGINT or SIGTERM. Prints "line N DEVICE" for each; what a program
//       writes back is read and dropped. At the end STATS gets, for each
//       line, the frames sent while a program held it ("held N COUNT").
#include <poll.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "DetectorOptions.h"
#include "PtyEndpoint.h"
#include "StreamPacer.h"
#include "VirtualDetector.h"
#include "os/SystemClock.h"
#include "protocol/FrameCodec.h"

namespace {

constexpr int kLineRate = 1440;

volatile std::sig_atomic_t gStop = 0;
void OnStop(int) { gStop = 1; }

int Record(const char* scenario, double seconds, const char* file) {
    quillane::DetectorOptions options;
    options.rate = kLineRate;
    options.seed = 29;
    const std::string name = scenario;
    if (name == "walk") {
        options.scenario = quillane::Scenario::kWalk;
    } else if (name == "calibration") {
        options.scenario = quillane::Scenario::kCalibration;
    } else if (name != "quiet") {
        std::fprintf(stderr, "bench_line_feed: no scenario '%s'\n", scenario);
        return 2;
    }
    quillane::VirtualDetector detector(options);
    std::ofstream out(file, std::ios::binary);
    const long long frames = static_cast<long long>(seconds * kLineRate);
    for (long long k = 0; k < frames; ++k) {
        const quillane::LineSlot slot = detector.NextSlot(static_cast<double>(k) / kLineRate);
        out.write(reinterpret_cast<const char*>(slot.bytes.data()),
                  static_cast<std::streamsize>(slot.bytes.size()));
    }
    return out ? 0 : 1;
}

struct Line {
    quillane::PtyEndpoint pty;
    long long held = 0;
};

int Play(const char* file, const char* statsFile, const std::vector<std::string>& names) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> stream((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    const std::size_t frames = stream.size() / quillane::frame::kFrameSize;
    if (frames == 0) {
        std::fprintf(stderr, "bench_line_feed: no frames in %s\n", file);
        return 1;
    }
    std::vector<std::unique_ptr<Line>> lines;
    for (const std::string& name : names) {
        auto line = std::make_unique<Line>();
        if (!line->pty.Open() || (name != "-" && !line->pty.LinkAlias(name))) {
            std::fprintf(stderr, "bench_line_feed: %s\n", line->pty.LastError().c_str());
            return 1;
        }
        std::printf("line %zu %s\n", lines.size(), line->pty.DevicePath().c_str());
        lines.push_back(std::move(line));
    }
    std::fflush(stdout);

    quillane::SystemClock clock;
    quillane::StreamPacer pacer(kLineRate);
    const double start = clock.MonotonicSeconds();
    std::size_t next = 0;
    std::vector<pollfd> watch;
    for (const auto& line : lines) watch.push_back({line->pty.MasterFd(), POLLIN, 0});
    std::uint8_t drop[256];
    while (gStop == 0) {
        const int due = pacer.Due(clock.MonotonicSeconds() - start);
        for (const auto& line : lines) {
            const bool held = due > 0 && line->pty.ConsoleHolds();
            for (int n = 0; n < due; ++n) {
                const std::size_t k = (next + static_cast<std::size_t>(n)) % frames;
                line->pty.Write(reinterpret_cast<const std::uint8_t*>(stream.data()) +
                                    k * quillane::frame::kFrameSize,
                                quillane::frame::kFrameSize);
            }
            if (held) line->held += due;
            while (line->pty.Read(drop, sizeof drop) > 0) {
            }
        }
        next = (next + static_cast<std::size_t>(due)) % frames;
        const double wait = std::max(0.0, pacer.NextDue() - (clock.MonotonicSeconds() - start));
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(wait);
        ts.tv_nsec = static_cast<long>((wait - static_cast<double>(ts.tv_sec)) * 1e9);
        ::ppoll(watch.data(), watch.size(), &ts, nullptr);
    }
    std::ofstream stats(statsFile);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i]->pty.LetConsoleRead();
        stats << "held " << i << " " << lines[i]->held << "\n";
    }
    for (const auto& line : lines) line->pty.Close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "record") == 0)
        return Record(argv[2], std::atof(argv[3]), argv[4]);
    if (argc >= 5 && std::strcmp(argv[1], "play") == 0) {
        struct sigaction sa {};
        sa.sa_handler = OnStop;
        sigemptyset(&sa.sa_mask);
        for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &sa, nullptr);
        return Play(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    }
    std::fprintf(stderr,
                 "usage: bench_line_feed record quiet|walk|calibration SECONDS FILE\n"
                 "       bench_line_feed play FILE STATS LINE...\n");
    return 2;
}
