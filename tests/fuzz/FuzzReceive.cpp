// The receive pass over arbitrary bytes, cut into reads at arbitrary places:
// what the console makes of a line must not depend on how the bytes arrived.
// Input: one byte n, then n cut lengths (1 to 100 bytes each, used in turn),
// then the line's bytes. Each input runs twice, once cut and once in the
// largest reads, and the two runs must store, show and decide the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FakeClock.h"
#include "FakeLink.h"
#include "console/ConsoleView.h"
#include "protocol/DetectorModel.h"
#include "protocol/ExchangeLog.h"
#include "protocol/Receiver.h"

namespace quillane {
namespace {

// The line's bytes as chunks of the given lengths in turn: a read takes at
// most one chunk.
void ScriptCuts(test::FakeLink& line, const std::uint8_t* data, size_t size,
                const std::vector<int>& cuts) {
    for (size_t pos = 0, next = 0; pos < size; ++next) {
        const size_t n = std::min(static_cast<size_t>(cuts[next % cuts.size()]), size - pos);
        line.Script(test::Bytes(data + pos, data + pos + n));
        pos += n;
    }
}

// Every call of the pass into the window, in order.
class CallLog : public ConsoleView {
public:
    void ShowSignal() override { calls.push_back(1); }
    void RefreshSensPages() override { calls.push_back(2); }
    void ShowZone() override { calls.push_back(3); }
    void ShowSpeedAndWarning() override { calls.push_back(4); }
    void ShowDetectorState() override { calls.push_back(5); }
    void ShowIdentity() override { calls.push_back(6); }
    void ShowPower() override { calls.push_back(7); }
    void OnDetectorFound() override { calls.push_back(8); }
    void ResetDetectorView() override { calls.push_back(9); }
    void SetNote(const std::string&) override {}
    void SetPortItems(const std::vector<PortEntry>&, int) override {}
    void SetPortProblem(const std::string&) override {}
    std::string SelectedPortText() const override { return {}; }
    void ShowError(const std::string&) override {}
    std::vector<std::uint8_t> calls;
};

struct Outcome {
    std::vector<std::uint8_t> calls;
    DetectorModel model;
    DeviceState state;
    int codeCounter;
    int tenPercentCounter;

    bool operator==(const Outcome& o) const {
        return calls == o.calls && model.current == o.model.current &&
               model.previous == o.model.previous && state == o.state &&
               codeCounter == o.codeCounter && tenPercentCounter == o.tenPercentCounter;
    }
};

Outcome Run(const std::uint8_t* data, size_t size, const std::vector<int>& cuts) {
    test::FakeLink line;
    ScriptCuts(line, data, size, cuts);
    test::FakeClock clock;
    ExchangeLog log(clock, "");  // no file: logging stays off
    CallLog view;
    DetectorModel model;
    Receiver receiver(
        line, clock, log, view, model,
        Receiver::Steps{[&view] { view.calls.push_back(10); },
                        [&view] { view.calls.push_back(11); },
                        [&view](std::uint16_t word) { view.calls.push_back(0x10000 + word); }});
    // Every read takes at least one byte, so the line drains.
    while (!line.reads.empty()) receiver.Recv();
    return Outcome{view.calls, model, receiver.eDeviceState, receiver.iInpPacketsCodeCounter(),
                   receiver.Filter().iTenPercentCounter()};
}

}  // namespace
}  // namespace quillane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t count = std::min<size_t>(data[0], size - 1);
    std::vector<int> cuts;
    for (size_t i = 1; i <= count; ++i) cuts.push_back(1 + data[i] % 100);
    if (cuts.empty()) cuts.push_back(1);
    const std::uint8_t* line = data + 1 + count;
    const size_t length = size - 1 - count;
    const auto whole = quillane::Run(line, length, {quillane::Receiver::kReadSize});
    if (!(quillane::Run(line, length, cuts) == whole)) std::abort();
    return 0;
}
