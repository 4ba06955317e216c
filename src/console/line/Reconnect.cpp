#include "console/line/Reconnect.h"

#include <algorithm>

namespace quillane {

void Reconnect::Start(int portNumber, double now, bool untilFound) {
    portNumber_ = portNumber;
    untilFound_ = untilFound;
    nextTry_ = now + kRetrySeconds;
}

void Reconnect::Opened(double now) {
    if (untilFound_)
        nextTry_ = now + kRetrySeconds;
    else
        nextTry_.reset();
}

void Reconnect::Heard(double frameTime) {
    if (nextTry_) nextTry_ = std::max(*nextTry_, frameTime + kRetrySeconds);
}

std::string Reconnect::Text() const {
    return "Reconnecting to COM" + std::to_string(portNumber_) + " ...";
}

}  // namespace quillane
