#include "model/Settings.h"

#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"

namespace quillane {

namespace {

// The console's own keys in the settings file: read at start-up, written by
// the Properties apply.
struct Key {
    const char* section;
    const char* name;
};
constexpr Key kKdc{"Koef", "Kdc"};
constexpr Key kUrd{"Koef", "Urd"};
constexpr Key kSelectFilter{"Filter", "Select"};
constexpr Key kMaxTenPercent{"Filter", "MaxTenPercent"};

std::vector<std::string> WithRates(int first) {
    std::vector<std::string> items;
    for (int i = first; i <= 10; ++i) items.push_back(std::to_string(i));
    for (int v : {15, 20, 25, 30, 40, 50, 60, 70, 80, 90, 100, 120, 150, 200})
        items.push_back(std::to_string(v));
    return items;
}

// A combo keeps a stored index only when it names one of its items.
int Selection(int stored, const std::vector<std::string>& items) {
    return stored >= 0 && stored < static_cast<int>(items.size()) ? stored : -1;
}

}  // namespace

const std::vector<std::string>& SelectFilterItems() {
    static const std::vector<std::string> items = WithRates(1);
    return items;
}

const std::vector<std::string>& TenPercentItems() {
    static const std::vector<std::string> items = WithRates(0);
    return items;
}

std::string ItemText(const std::vector<std::string>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)]
                                                                : std::string();
}

void ReadSettings(const ProfileFile& file, const NumberFormat& format, ConsoleSettings& s) {
    s.dblKdc = file.ReadFloat(kKdc.section, kKdc.name, s.dblKdc, format);
    s.dblUrd = file.ReadFloat(kUrd.section, kUrd.name, s.dblUrd, format);
    s.selectFilterIndex =
        Selection(file.ReadInteger(kSelectFilter.section, kSelectFilter.name, s.selectFilterIndex),
                  SelectFilterItems());
    s.tenPercentIndex =
        Selection(file.ReadInteger(kMaxTenPercent.section, kMaxTenPercent.name, s.tenPercentIndex),
                  TenPercentItems());
    TakeFilterSelections(s);
}

void TakeFilterSelections(ConsoleSettings& s) {
    const auto rate = NumberFormat::ParseInt(ItemText(SelectFilterItems(), s.selectFilterIndex));
    s.iSelectFilter = rate.value_or(200);
    const auto hold = NumberFormat::ParseInt(ItemText(TenPercentItems(), s.tenPercentIndex));
    s.iMaxTenPercent = hold.value_or(0);
}

std::string UnableToWriteMessage(const std::string& path) { return "Unable to write to " + path; }

bool ApplySettings(ProfileFile& file, const NumberFormat& format, const std::string& newKdcText,
                   const std::string& newUrdText, ConsoleSettings& s, std::string& error) {
    // A zero or unparsable entry keeps the old factor (which is written again).
    const double kdc = format.ParseFloat(newKdcText).value_or(0);
    if (kdc != 0) s.dblKdc = kdc;
    const double urd = format.ParseFloat(newUrdText).value_or(0);
    if (urd != 0) s.dblUrd = urd;
    TakeFilterSelections(s);
    const bool written =
        file.WriteFloat(kKdc.section, kKdc.name, s.dblKdc, format) &&
        file.WriteFloat(kUrd.section, kUrd.name, s.dblUrd, format) &&
        file.WriteInteger(kSelectFilter.section, kSelectFilter.name, s.selectFilterIndex) &&
        file.WriteInteger(kMaxTenPercent.section, kMaxTenPercent.name, s.tenPercentIndex);
    if (!written) error = UnableToWriteMessage(file.Path());
    return written;
}

bool ApplyProperties(ProfileFile& file, const NumberFormat& format, const std::string& newKdcText,
                     const std::string& newUrdText, ConsoleSettings& s,
                     CorrespondenceTables& tables, std::string& error) {
    // One write to the disk for all 130 keys: the window does not stand still
    // for a flush a key, and the file takes all of them or none.
    file.BeginBatch();
    if (!ApplySettings(file, format, newKdcText, newUrdText, s, error)) {
        file.DiscardBatch();
        return false;
    }
    // The grids are read back only from what reached the disk: a commit that
    // fails (a full disk) leaves them as typed, as a read-only file does.
    if (!tables.Store(file) || !file.CommitBatch()) {
        file.DiscardBatch();
        error = UnableToWriteMessage(file.Path());
        return false;
    }
    tables.Fill(file);
    return true;
}

}  // namespace quillane
