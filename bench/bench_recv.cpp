// Receive pass throughput: a long stream of valid frames through ConsoleCore::Recv
// over a fake line, without and with the exchange log. Prints figures; asserts
// nothing. The line itself carries at most 1440 frames/s (57600 baud, 10 bits a
// byte, 4 bytes a frame).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "console/ConsoleCore.h"
#include "console/ConsoleView.h"
#include "link/ByteLink.h"
#include "link/PortDirectory.h"
#include "os/SystemClock.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"

// Every heap allocation of the program is counted, so that the figure covers
// whatever the receive pass might allocate on its way.
namespace {
std::atomic<long long> gAllocations{0};
}

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace quillane {
namespace {

constexpr double kLineLimit = 1440.0;

// Hands out a prepared stream in reads of a fixed size, round and round.
class StreamLink : public ByteLink {
public:
    StreamLink(const std::vector<std::uint8_t>& stream, int readSize)
        : stream_(stream), readSize_(readSize) {}
    bool Open(int, int) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    int Read(std::uint8_t* buffer, int maxBytes) override {
        const std::size_t n = static_cast<std::size_t>(std::min(readSize_, maxBytes));
        if (pos_ + n > stream_.size()) pos_ = 0;
        std::memcpy(buffer, stream_.data() + pos_, n);
        pos_ += n;
        delivered_ += static_cast<long long>(n);
        return static_cast<int>(n);
    }
    int Write(const std::uint8_t*, int count) override { return count; }
    long long Delivered() const { return delivered_; }

private:
    const std::vector<std::uint8_t>& stream_;
    int readSize_;
    std::size_t pos_ = 0;
    long long delivered_ = 0;
};

class NullView : public ConsoleView {
public:
    void ShowSignal() override {}
    void RefreshSensPages() override {}
    void ShowZone() override {}
    void ShowSpeedAndWarning() override {}
    void ShowDetectorState() override {}
    void ShowIdentity() override {}
    void ShowPower() override {}
    void OnDetectorFound() override {}
    void ResetDetectorView() override {}
    void SetNote(const std::string&) override {}
    void SetPortItems(const std::vector<PortEntry>&, int) override {}
    void SetPortProblem(const std::string&) override {}
    std::string SelectedPortText() const override { return {}; }
    void ShowError(const std::string&) override {}
};

class NoPorts : public PortDirectory {
public:
    std::vector<PortEntry> EnumerateComPorts() override { return {}; }
};

// What a working detector streams: signal words between the words of a full
// set, with a moving signal so that the filter and the handlers have work.
std::vector<std::uint8_t> DetectorStream(std::size_t frames) {
    const frame::Word set[] = {0x41F4, 0x6A0C, 0x8E74, 0xA00D, 0xC95A, 0xE320};
    std::vector<std::uint8_t> out;
    out.reserve(frames * 4);
    for (std::size_t i = 0; i < frames; ++i) {
        const frame::Word w =
            i % 2 == 0 ? static_cast<frame::Word>(0x2000 | (300 + i % 97)) : set[(i / 2) % 6];
        const frame::Frame f = frame::IncomingFrame(w);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

struct Result {
    double framesPerSecond;
    double allocationsPerFrame;
};

Result Run(const std::vector<std::uint8_t>& stream, int readSize, long long passes,
           ExchangeLog& log) {
    StreamLink link(stream, readSize);
    NoPorts ports;
    SystemClock clock;
    NullView view;
    ConsoleCore core(link, ports, clock, log, view);
    for (int i = 0; i < 1000; ++i) core.Recv();  // warm up: detect, fill the model
    const long long startBytes = link.Delivered();
    const long long startAllocations = gAllocations.load();
    const auto start = std::chrono::steady_clock::now();
    for (long long i = 0; i < passes; ++i) core.Recv();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double frames = static_cast<double>(link.Delivered() - startBytes) / 4.0;
    const double allocations = static_cast<double>(gAllocations.load() - startAllocations);
    return {frames / seconds, allocations / frames};
}

void Print(const char* what, const Result& r, double goal) {
    std::printf(
        "%-52s %12.0f frames/s  %8.0f x line limit (goal >= %.0f x)  %.4f allocations/frame\n",
        what, r.framesPerSecond, r.framesPerSecond / kLineLimit, goal, r.allocationsPerFrame);
}

}  // namespace
}  // namespace quillane

int main() {
    using namespace quillane;
    const std::vector<std::uint8_t> stream = DetectorStream(1 << 16);
    SystemClock clock;

    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() /
        ("quillane-bench-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir);

    ExchangeLog off(clock, (dir / "absent.log").string());  // no file: logging stays off
    off.EnableLogIfPresent();
    Print("receive pass, 100-byte reads, log off", Run(stream, 100, 400000, off), 1000);
    Print("receive pass, 7-byte reads (split frames), log off", Run(stream, 7, 4000000, off), 1000);

    const std::string path = (dir / "Quillane.log").string();
    std::fclose(std::fopen(path.c_str(), "wb"));
    {
        ExchangeLog on(clock, path);
        on.EnableLogIfPresent();
        Print("receive pass, 100-byte reads, every frame logged", Run(stream, 100, 20000, on), 100);
    }
    std::printf("log written: %ju bytes\n", static_cast<std::uintmax_t>(fs::file_size(path)));
    fs::remove_all(dir);
    return 0;
}
