#pragma once

#include <optional>
#include <string>

namespace quillane {

// Back on line by itself. When the device behind the chosen port goes away (a
// hang-up, a read or write error, the device node gone), the console keeps
// that port and opens it again about once a second, the way choosing it would
// and nothing more: no listing, no probe of other ports, no message. An alias
// is followed anew at each try, so a USB adapter plugged in again under
// another number is found. The user's choice of a port ends the tries: that
// choice wins; the list dropped down and left without a choice changes
// nothing. Times are monotonic seconds.
//
// A line whose device may go away without any call failing (Windows) only
// falls silent: there the link time-out counts as the device gone, and the
// tries end only when a detector is found again. Each reopened port gets one
// retry period to be heard; a port that stays silent is closed and opened
// again, as a re-plugged adapter needs a new handle.
class Reconnect {
public:
    static constexpr double kRetrySeconds = 1.0;

    // The device behind `portNumber` went away at `now` and the port was
    // closed: the first try comes one retry period later, so a line that
    // drops at every open cannot spin. `untilFound`: the tries go on after
    // an open until a detector is found (a line that only falls silent).
    void Start(int portNumber, double now, bool untilFound);
    void Stop() { nextTry_.reset(); }
    // A try at `now` did not open the port.
    void Failed(double now) { nextTry_ = now + kRetrySeconds; }
    // A try at `now` opened the port. The tries end, unless they go on
    // until a detector is found: then the port has one retry period to be
    // heard before the next try.
    void Opened(double now);
    // A frame began at `frameTime` on the port being tried: it is not silent.
    void Heard(double frameTime);

    bool Active() const { return nextTry_.has_value(); }
    // Time to open the port, or to close the silent one and open it again.
    bool Due(double now) const { return nextTry_ && now >= *nextTry_; }
    std::optional<double> NextTry() const { return nextTry_; }
    int PortNumber() const { return portNumber_; }
    // The link-health tooltip while the tries go on: "Reconnecting to COM5 ...".
    std::string Text() const;

private:
    int portNumber_ = 0;
    bool untilFound_ = false;
    std::optional<double> nextTry_;
};

}  // namespace quillane
