#include "console/line/Reconnect.h"

namespace quillane {

void Reconnect::Start(int portNumber, double now) {
    portNumber_ = portNumber;
    nextTry_ = now + kRetrySeconds;
}

std::string Reconnect::Text() const {
    return "Reconnecting to COM" + std::to_string(portNumber_) + " ...";
}

}  // namespace quillane
