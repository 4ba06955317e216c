#pragma once

#include <optional>
#include <string>

namespace quillane {

// Back on line by itself. When the device behind the chosen port goes away (a
// hang-up, a read or write error, the device node gone), the console keeps
// that port and opens it again about once a second, the way choosing it would
// and nothing more: no listing, no probe of other ports, no message. An alias
// is followed anew at each try, so a USB adapter plugged in again under
// another number is found. The user's choice of a port, or the list dropped
// down, ends the tries: that choice wins. Times are monotonic seconds.
class Reconnect {
public:
    static constexpr double kRetrySeconds = 1.0;

    // The device behind `portNumber` went away at `now`: the first try comes
    // one retry period later, so a line that drops at every open cannot spin.
    void Start(int portNumber, double now);
    void Stop() { nextTry_.reset(); }
    // A try at `now` did not open the port.
    void Failed(double now) { nextTry_ = now + kRetrySeconds; }

    bool Active() const { return nextTry_.has_value(); }
    bool Due(double now) const { return nextTry_ && now >= *nextTry_; }
    std::optional<double> NextTry() const { return nextTry_; }
    int PortNumber() const { return portNumber_; }
    // The link-health tooltip while the tries go on: "Reconnecting to COM5 ...".
    std::string Text() const;

private:
    int portNumber_ = 0;
    std::optional<double> nextTry_;
};

}  // namespace quillane
