#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "console/record/ReportForm.h"

namespace quillane {

// The forms of the commissioning reports, remembered per site beside the
// site record ("Quillane-sites.jsonl", one line a site in the record's form),
// so that the next report of a site starts with what was filled in last
// time. The verdict belongs to one walk test and is not remembered.
//
// The folder may be shared: the file is read and replaced only as a regular
// file at its own name, never through a symbolic link, and replaced whole
// (a new file renamed over it), so that it holds the old or the new forms
// at every moment.
class SiteMemory {
public:
    static constexpr std::size_t kSitesKept = 200;

    explicit SiteMemory(std::string path) : path_(std::move(path)) {}

    // The forms in the file; none when it is missing or not the console's.
    void Read();
    // The form used last, for the dialog to start with.
    std::optional<ReportForm> Last() const;
    // The form remembered for a site (the same name, ignoring case and blanks
    // at the ends).
    std::optional<ReportForm> Recall(const std::string& site) const;
    // This form for its site, as the newest; the oldest sites beyond
    // kSitesKept are forgotten. False, with the reason, when the file could
    // not be written.
    bool Remember(const ReportForm& form, double nowDays, std::string& error);

    // The file's text for these forms, and the forms of such a text.
    static std::string Text(const std::vector<ReportForm>& forms, double nowDays);
    static std::vector<ReportForm> Parse(const std::string& text);

private:
    std::string path_;
    std::vector<ReportForm> forms_;  // the oldest first
};

}  // namespace quillane
