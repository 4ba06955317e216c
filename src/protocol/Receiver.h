#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "protocol/DetectorModel.h"
#include "protocol/FluctuationFilter.h"
#include "protocol/LinkHealth.h"

namespace quillane {

class ByteLink;
class Clock;
class StatusHandlers;
class ExchangeLog;

// The receive pass: reads what the line holds, splits it into frames, stores
// each good word in the DetectorModel, calls the status handler of its code,
// and follows the link state. The owner supplies the detection and link-loss
// steps, which reach beyond the pass (command queue, view reset).
class Receiver {
public:
    static constexpr int kReadSize = 100;
    static constexpr double kLinkTimeoutSeconds = 3.0;

    struct Steps {
        std::function<void()> detectorFound;
        std::function<void()> linkLost;
        // Every status word that passed its checksum, after its own handling.
        std::function<void(std::uint16_t)> wordReceived;
    };

    Receiver(ByteLink& port, Clock& clock, ExchangeLog& log, StatusHandlers& view,
             DetectorModel& model, Steps steps);

    void Recv();

    // The link state: the pass moves it, and the owner drops it to EDevNone
    // when it closes or changes the port.
    DeviceState eDeviceState = EDevNone;

    // Forgets a frame begun on the line before: its rest will never come when
    // the port is closed or another one is chosen.
    void DropPartialFrame() { carried_ = 0; }
    // A line opened anew: what was counted towards a full set on the line
    // before belongs to it. A detector is found on this line only by a full
    // set of its own, so that every word the detection acts on (its mode,
    // its thresholds, its setup method) came from it.
    void NewLine() {
        carried_ = 0;
        codeCounter_ = 0;
    }

    // Frame counts of the line, for the "Mode:" tooltip.
    LinkHealth& Health() { return health_; }
    FluctuationFilter& Filter() { return filter_; }
    const FluctuationFilter& Filter() const { return filter_; }
    int iInpPacketsCodeCounter() const { return codeCounter_; }
    // State (code-2) words taken so far; only its changes mean anything.
    unsigned StateWordCount() const { return stateWords_; }
    // Local time (days) of the last frame start, for the time-out trace.
    double dblPacketTime() const { return packetDays_; }
    // Monotonic time of the last frame start.
    double LastFrameSeconds() const { return packetSeconds_; }
    // Bytes the last pass read; a pass that filled its read leaves more
    // waiting on the line, most likely.
    int LastReadCount() const { return lastRead_; }
    // Seconds until a pass would find the link timed out (monotonic); not
    // meaningful while no detector is linked.
    double SecondsToTimeout(double nowSeconds) const {
        return kLinkTimeoutSeconds - (nowSeconds - packetSeconds_);
    }

private:
    // At most the first three bytes of a frame can be left at the end of a read.
    static constexpr int kCarryMax = 3;

    void TimeoutTest(double nowDays, double nowSeconds);
    int ReadAfterCarry();
    void Scan(int total, double nowDays, double nowSeconds);
    void HandleFrame(const std::uint8_t* bytes);
    void Act(unsigned code, std::uint16_t word);
    void StoreIfChanged(unsigned code, std::uint16_t word, void (StatusHandlers::*show)());
    void TakeSignal(std::uint16_t word);
    void FullSetTest();

    ByteLink& port_;
    Clock& clock_;
    ExchangeLog& log_;
    StatusHandlers& view_;
    DetectorModel& model_;
    Steps steps_;
    FluctuationFilter filter_;
    LinkHealth health_;

    int codeCounter_ = 0;
    unsigned stateWords_ = 0;
    double packetDays_ = 0.0;     // local time, shown in the time-out trace
    double packetSeconds_ = 0.0;  // monotonic, measures the time-out
    // A frame cut by the end of a read is kept at the front and completed by
    // the next read.
    std::array<std::uint8_t, kCarryMax + kReadSize> buffer_{};
    int carried_ = 0;
    int lastRead_ = 0;
};

}  // namespace quillane
