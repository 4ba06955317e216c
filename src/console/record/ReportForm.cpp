#include "console/record/ReportForm.h"

namespace quillane {

const char* VerdictText(ReportForm::Verdict verdict) {
    switch (verdict) {
        case ReportForm::Verdict::Passed:
            return "passed";
        case ReportForm::Verdict::Failed:
            return "failed";
        case ReportForm::Verdict::NotGiven:
            break;
    }
    return "not given";
}

std::string CleanField(const std::string& text, std::size_t most, bool lineFeeds) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n' && lineFeeds)
            out.push_back('\n');
        else
            out.push_back(c < 0x20 || c == 0x7F ? ' ' : ch);
    }
    const std::size_t first = out.find_first_not_of(" \n");
    if (first == std::string::npos) return std::string();
    out = out.substr(first, out.find_last_not_of(" \n") - first + 1);
    if (out.size() <= most) return out;
    std::size_t cut = most;
    // Back to the start of a character: continuation bytes are 10xxxxxx.
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
    return out;
}

}  // namespace quillane
