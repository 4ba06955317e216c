#include "console/record/SiteMemory.h"

#include <algorithm>
#include <cctype>

#include "console/record/RecordEntry.h"
#include "console/record/RecordLine.h"
#include "os/FileStore.h"

namespace quillane {
namespace {

// Far more than kSitesKept forms take.
constexpr std::int64_t kMostBytes = 1 << 20;

std::string Key(const std::string& site) {
    std::string key = CleanField(site);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

std::string SiteMemory::Text(const std::vector<ReportForm>& forms, double nowDays) {
    std::string text;
    for (const ReportForm& f : forms)
        text += RecordLine(nowDays, "site")
                    .Text("site", f.site)
                    .Text("zone", f.zone)
                    .Text("customer", f.customer)
                    .Text("installer", f.installer)
                    .Text("notes", f.notes)
                    .Done();
    return text;
}

std::vector<ReportForm> SiteMemory::Parse(const std::string& text) {
    std::vector<ReportForm> forms;
    for (const RecordEntry& e : ParseRecord(text)) {
        if (e.event != "site") continue;
        ReportForm f;
        f.site = CleanField(e.Text("site"));
        f.zone = CleanField(e.Text("zone"));
        f.customer = CleanField(e.Text("customer"));
        f.installer = CleanField(e.Text("installer"));
        f.notes = CleanField(e.Text("notes"), kNotesLength, true);
        forms.push_back(std::move(f));
    }
    return forms;
}

void SiteMemory::Read() {
    const FileContents c = ReadOwnFileEnd(path_, kMostBytes);
    forms_ = c.readable ? Parse(c.text) : std::vector<ReportForm>{};
}

std::optional<ReportForm> SiteMemory::Last() const {
    if (forms_.empty()) return std::nullopt;
    return forms_.back();
}

std::optional<ReportForm> SiteMemory::Recall(const std::string& site) const {
    const std::string key = Key(site);
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if (Key(it->site) == key) return *it;
    return std::nullopt;
}

bool SiteMemory::Remember(const ReportForm& form, double nowDays, std::string& error) {
    ReportForm kept = form;
    kept.verdict = ReportForm::Verdict::NotGiven;
    const std::string key = Key(kept.site);
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [&key](const ReportForm& f) { return Key(f.site) == key; }),
                 forms_.end());
    forms_.push_back(kept);
    if (forms_.size() > kSitesKept)
        forms_.erase(forms_.begin(), forms_.end() - static_cast<std::ptrdiff_t>(kSitesKept));
    // Only a regular file at the name, or nothing, is the console's to replace.
    const FileContents there = ReadOwnFileEnd(path_, 0);
    if (!there.readable) {
        error = there.error;
        return false;
    }
    return ReplaceFileAtomically(path_, Text(forms_, nowDays), error);
}

}  // namespace quillane
