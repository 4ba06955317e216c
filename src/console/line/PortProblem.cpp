#include "console/line/PortProblem.h"

namespace quillane {

std::string PortProblemText(const std::string& chosenItem, const std::string& reason,
                            const std::vector<PortEntry>& leftOut) {
    if (!chosenItem.empty()) return chosenItem + ": " + (reason.empty() ? "does not open" : reason);
    if (leftOut.empty()) return "No serial port found";
    std::string text = "No free serial port:";
    const int shown = static_cast<int>(leftOut.size()) < kMaxProblemPorts
                          ? static_cast<int>(leftOut.size())
                          : kMaxProblemPorts;
    for (int i = 0; i < shown; ++i) {
        const PortEntry& e = leftOut[static_cast<size_t>(i)];
        text += "\nCOM" + std::to_string(e.number);
        if (!e.device.empty()) text += " (" + e.device + ")";
        text += ": " + (e.reason.empty() ? std::string("does not open") : e.reason);
    }
    const size_t more = leftOut.size() - static_cast<size_t>(shown);
    if (more > 0) text += "\nand " + std::to_string(more) + " more";
    return text;
}

}  // namespace quillane
