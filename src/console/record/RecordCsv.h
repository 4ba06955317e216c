#pragma once

#include <string>

namespace quillane {

struct RecordEntry;
struct RecordSnapshot;
struct ReportScope;

// The site record over a report's scope as CSV, for those who keep their own
// books in a spreadsheet: one row an event, the same columns for every row
// (date, time, event, then one column for each field the record writes; a
// field the console does not know goes into the last column as key=value),
// numbers with a point as the record has them. RFC 4180: commas, CRLF line
// ends, a field quoted when it holds a comma, a quote, a line end or blanks
// at an end; UTF-8 with its byte-order mark, which spreadsheets need to read
// it as such. A text that a spreadsheet would take for a formula (= + - @ at
// its start) is prefixed with an apostrophe.
std::string RecordCsvHeader();
std::string RecordCsvRow(const RecordEntry& e);
// The whole file: header and rows.
std::string RecordCsv(const RecordSnapshot& snapshot, const ReportScope& scope);

// "Quillane-record-20230315-102030.csv".
std::string RecordCsvFileName(double days);

}  // namespace quillane
