#include "console/record/RecordCsv.h"

#include <array>
#include <cstring>

#include "console/record/LocalDateTime.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordReader.h"
#include "console/record/VisitReader.h"

namespace quillane {
namespace {

struct Column {
    const char* key;    // the record's field
    const char* title;  // the spreadsheet's heading
    bool number;
};

// Every field the console writes, in the order a reader scans a row.
constexpr std::array<Column, 21> kColumns = {{
    {"page", "Page", false},
    {"count", "Count", true},
    {"port", "Port", false},
    {"model", "Detector", false},
    {"version", "Version", true},
    {"unit", "Unit ID", false},
    {"address", "Address", true},
    {"action", "Action", false},
    {"words", "Words", false},
    {"meaning", "Meaning", false},
    {"outcome", "Outcome", false},
    {"differing", "Differing", false},
    {"seconds", "Seconds", true},
    {"low", "Low %", true},
    {"high", "High %", true},
    {"pl", "PL %", true},
    {"ll", "LL %", true},
    {"hl", "HL %", true},
    {"mV", "mV", true},
    {"reached", "Reached", false},
    {"text", "Text", false},
}};

void Cell(std::string& row, std::string text, bool number) {
    if (!row.empty()) row.push_back(',');
    if (!number && !text.empty() && std::strchr("=+-@", text[0]) != nullptr) text.insert(0, "'");
    const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted) {
        row += text;
        return;
    }
    row.push_back('"');
    for (const char c : text) {
        if (c == '"') row.push_back('"');
        row.push_back(c);
    }
    row.push_back('"');
}

}  // namespace

std::string RecordCsvHeader() {
    std::string row;
    for (const char* title : {"Date", "Time", "Event"}) Cell(row, title, false);
    for (const Column& c : kColumns) Cell(row, c.title, false);
    Cell(row, "Other", false);
    return row + "\r\n";
}

std::string RecordCsvRow(const RecordEntry& e) {
    std::string row;
    const std::string stamp = DateTimeText(e.days);
    Cell(row, stamp.substr(0, 10), false);
    Cell(row, stamp.substr(11), false);
    Cell(row, e.event, false);
    std::string other;
    for (const Column& c : kColumns) {
        std::string value;
        for (const auto& [key, text] : e.fields)
            if (key == c.key) value = text;
        // A number field that holds no number (null, or a text a hand or a
        // hostile program put there, which could be a formula) is left empty.
        if (c.number && !e.Number(c.key)) value.clear();
        Cell(row, value, c.number);
    }
    for (const auto& [key, text] : e.fields) {
        bool known = false;
        for (const Column& c : kColumns) known = known || key == c.key;
        if (!known) other += (other.empty() ? "" : "; ") + key + "=" + text;
    }
    Cell(row, other, false);
    return row + "\r\n";
}

std::string RecordCsv(const RecordSnapshot& snapshot, const ReportScope& scope) {
    ScopeFilter filter(scope);
    std::string rows;
    ReadRecordLines(snapshot, [&](std::string_view line) {
        const std::optional<RecordEntry> e = ParseRecordLine(line);
        if (!e) return;
        const ScopeFilter::Verdict v = filter.Judge(*e);
        if (v.restart) rows.clear();
        if (v.take) rows += RecordCsvRow(*e);
    });
    return "\xEF\xBB\xBF" + RecordCsvHeader() + rows;
}

std::string RecordCsvFileName(double days) {
    return std::string("Quillane-record-") + FileStampText(days) + ".csv";
}

}  // namespace quillane
