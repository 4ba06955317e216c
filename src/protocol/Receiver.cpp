#include "protocol/Receiver.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "link/ByteLink.h"
#include "os/Clock.h"
#include "protocol/ExchangeLog.h"
#include "protocol/FrameCodec.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"
#include "protocol/StatusHandlers.h"

namespace quillane {

namespace {
// The codes of a full set, 2 + 3 + 4 + 5 + 6 + 7.
constexpr int kFullSetSum = 27;
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

Receiver::Receiver(ByteLink& port, Clock& clock, ExchangeLog& log, StatusHandlers& view,
                   DetectorModel& model, Steps steps)
    : port_(port), clock_(clock), log_(log), view_(view), model_(model), steps_(std::move(steps)) {}

void Receiver::Recv() {
    // One reading of the clock serves the whole pass: every byte of it had
    // already arrived, and the pass takes microseconds.
    const double nowDays = clock_.LocalDays();
    const double nowSeconds = clock_.MonotonicSeconds();
    TimeoutTest(nowDays, nowSeconds);
    const int total = ReadAfterCarry();
    Scan(total, nowDays, nowSeconds);
}

void Receiver::TimeoutTest(double nowDays, double nowSeconds) {
    // Measured on the monotonic clock: a wall clock set back would keep a dead
    // link "linked", one set forward would drop a live one.
    const double period = nowSeconds - packetSeconds_;
    if (!(period > kLinkTimeoutSeconds) || eDeviceState <= EDevNone) return;
    eDeviceState = EDevNone;
    log_.WriteLog(logformat::kTraceTimeout);
    LogLine times;
    logformat::TimeoutText(times, nowDays, packetDays_, period / kSecondsPerDay,
                           kLinkTimeoutSeconds / kSecondsPerDay);
    log_.WriteLog(times.View());
    if (steps_.linkLost) steps_.linkLost();
}

int Receiver::ReadAfterCarry() {
    const int count = port_.Read(buffer_.data() + carried_, kReadSize);
    // A port that reports more than it was asked for must not make the scan
    // run past the buffer.
    lastRead_ = std::clamp(count, 0, kReadSize);
    const int total = carried_ + lastRead_;
    carried_ = 0;
    return total;
}

void Receiver::Scan(int total, double nowDays, double nowSeconds) {
    int pos = 0;
    while (pos < total) {
        // Only a start byte begins a frame; anything else, including the rest
        // of a broken frame, is passed over one byte at a time.
        if (buffer_[pos] != frame::kStartByte) {
            ++pos;
            continue;
        }
        if (total - pos < frame::kFrameSize) {
            carried_ = total - pos;
            std::memmove(buffer_.data(), buffer_.data() + pos, static_cast<std::size_t>(carried_));
            return;
        }
        packetDays_ = nowDays;
        packetSeconds_ = nowSeconds;
        HandleFrame(buffer_.data() + pos);
        pos += frame::kFrameSize;
    }
}

void Receiver::HandleFrame(const std::uint8_t* bytes) {
    log_.LogInpFrame(bytes);
    const bool checksumHolds = frame::ChecksumHolds(bytes[1], bytes[2], bytes[3]);
    health_.FrameStart(packetSeconds_, checksumHolds);
    // A bad frame has still refreshed the packet time: the line is alive.
    if (!checksumHolds) return;
    const std::uint16_t word = frame::StatusWord(bytes[1], bytes[2]);
    const unsigned code = frame::Code(word);
    codeCounter_ += static_cast<int>(code);
    Act(code, word);
    if (steps_.wordReceived) steps_.wordReceived(word);
}

void Receiver::Act(unsigned code, std::uint16_t word) {
    using namespace status;
    switch (code) {
        case kSignalWord:
            TakeSignal(word);
            break;
        case kStateWord:
            model_.previous[kStateWord] = model_.current[kStateWord];
            model_.current[kStateWord] = word;
            ++stateWords_;
            break;
        case kSensWord:
            StoreIfChanged(kSensWord, word, &StatusHandlers::RefreshSensPages);
            break;
        case kZoneWord:
            StoreIfChanged(kZoneWord, word, &StatusHandlers::ShowZone);
            break;
        case kSpeedWord:
            model_.current[kSpeedWord] = word;
            view_.ShowSpeedAndWarning();
            view_.ShowDetectorState();
            break;
        case kIdentityWord:
            model_.current[kIdentityWord] = word;
            view_.ShowIdentity();
            break;
        case kPowerWord:
            model_.current[kPowerWord] = word;
            view_.ShowPower();
            FullSetTest();
            codeCounter_ = 0;
            break;
        default:  // code 0: stored, nothing shows it
            StoreIfChanged(code, word, nullptr);
            break;
    }
}

void Receiver::StoreIfChanged(unsigned code, std::uint16_t word, void (StatusHandlers::*show)()) {
    if (model_.current[code] == word) return;
    model_.current[code] = word;
    if (show != nullptr) (view_.*show)();
}

void Receiver::TakeSignal(std::uint16_t word) {
    if (filter_.Take(model_, word)) {
        model_.previous[status::kSignalWord] = model_.current[status::kSignalWord];
        model_.current[status::kSignalWord] = word;
        view_.ShowSignal();
    }
    // Signal words mean the detector is working; they never detect it.
    if (eDeviceState > EDevNone && eDeviceState != EDevWork) {
        log_.WriteLog(logformat::kTraceWork);
        eDeviceState = EDevWork;
    }
    codeCounter_ = 1;
}

void Receiver::FullSetTest() {
    if (codeCounter_ < kFullSetSum) return;
    if (eDeviceState == EDevNone) {
        eDeviceState = EDevDetect;
        log_.WriteLog(logformat::kTraceDetect);
        if (steps_.detectorFound) steps_.detectorFound();
        return;
    }
    eDeviceState = EDevAllPakets;
    log_.WriteLog(logformat::kTraceAllPakets);
}

}  // namespace quillane
