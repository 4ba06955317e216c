#pragma once

#include <cstdint>
#include <string>

namespace quillane {

// What the installer fills in for a commissioning report (the Ctrl+P
// dialog): the customer's document names the site and the people, and
// carries the installer's own verdict of the walk test.
struct ReportForm {
    enum class Verdict : std::uint8_t { NotGiven, Passed, Failed };

    std::string site, zone, customer, installer, notes;
    Verdict verdict = Verdict::NotGiven;

    bool operator==(const ReportForm& o) const {
        return site == o.site && zone == o.zone && customer == o.customer &&
               installer == o.installer && notes == o.notes && verdict == o.verdict;
    }
};

// "passed", "failed", "not given".
const char* VerdictText(ReportForm::Verdict verdict);

// A field typed into the dialog as it goes into the report and the file that
// remembers it: control characters become blanks (the notes may keep their
// line feeds), blanks at either end go, and at most kFieldLength bytes stay
// (never half a UTF-8 character).
constexpr std::size_t kFieldLength = 120;
constexpr std::size_t kNotesLength = 600;
std::string CleanField(const std::string& text, std::size_t most = kFieldLength,
                       bool lineFeeds = false);

}  // namespace quillane
