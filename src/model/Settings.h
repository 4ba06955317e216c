#pragma once

#include <string>
#include <vector>

namespace quillane {

class CorrespondenceTables;
class NumberFormat;
class ProfileFile;

// The console's own values kept in the settings file and on the Properties
// page, besides the tables.
struct ConsoleSettings {
    double dblKdc = 14.33;
    double dblUrd = 1.5;
    int selectFilterIndex = 4;  // item of cbSelectFilter; -1: no selection
    int tenPercentIndex = 5;    // item of cbTenPercentFilter; -1: no selection
    int iSelectFilter = 5;      // signal-driven redraws per second
    int iMaxTenPercent = 5;     // hold count of the fluctuation filter
};

// Items of the two filter combo boxes.
const std::vector<std::string>& SelectFilterItems();  // "1".."10","15",..."200" (24)
const std::vector<std::string>& TenPercentItems();    // "0".."10","15",..."200" (25)

// Text shown by a combo at the given index; empty for no selection.
std::string ItemText(const std::vector<std::string>& items, int index);

// Start-up reading of "Koef" and "Filter" (the tables are read by
// CorrespondenceTables::Fill). Never fails: anything missing or unparsable
// falls back to the current value or the stated default.
void ReadSettings(const ProfileFile& file, const NumberFormat& format, ConsoleSettings& s);

// "Unable to write to %s" with the settings file's path.
std::string UnableToWriteMessage(const std::string& path);

// iSelectFilter and iMaxTenPercent from the combos' selections.
void TakeFilterSelections(ConsoleSettings& s);

// The Properties page apply for factors and filters: new factors from the texts
// of cbNewKdc/cbNewUrd (0 or unparsable keeps the old one), filters from the
// selections, then the four keys written. On the first failed write returns
// false and sets error to "Unable to write to <path>"; the values in memory
// have already changed by then.
bool ApplySettings(ProfileFile& file, const NumberFormat& format, const std::string& newKdcText,
                   const std::string& newUrdText, ConsoleSettings& s, std::string& error);

// The whole Properties page apply: factors and filters, then both tables with
// the threshold item lists, all in one write to the disk. Whatever makes it
// fail (a read-only file, a full disk), error is set, the file is as it was
// and the tables keep what the user typed, their item lists unchanged; only
// an apply that reached the disk reads the cells back (rounded, as stored).
bool ApplyProperties(ProfileFile& file, const NumberFormat& format, const std::string& newKdcText,
                     const std::string& newUrdText, ConsoleSettings& s,
                     CorrespondenceTables& tables, std::string& error);

}  // namespace quillane
