#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillane {

// A line of the site record read back: its time, its event and the other
// fields as text (strings unescaped, numbers as written). A line has a handful
// of fields and a record some hundred thousand lines: a list, not a map.
struct RecordEntry {
    double days = 0;
    std::string event;
    std::vector<std::pair<std::string, std::string>> fields;

    // A field's text; empty when the line has no such field.
    std::string Text(const std::string& key) const;
    // A numeric field; nothing when missing, null or not a number.
    std::optional<double> Number(const std::string& key) const;
};

// One line as RecordLine writes it: a flat JSON object with a "time" and an
// "event". Anything else (a line cut short when the machine lost power, an
// edit by hand) gives nothing.
std::optional<RecordEntry> ParseRecordLine(std::string_view line);

// Every line of a record's text that reads, in order; the others are passed over.
std::vector<RecordEntry> ParseRecord(const std::string& text);

}  // namespace quillane
