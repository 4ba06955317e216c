#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The site record's and the report's dates, from the clock's local time in
// days since 1899-12-30 (the fraction is the time of day), to the millisecond.

// "2023-03-15T10:20:30.456", the record's time stamp (local time, as the
// installer's watch shows it).
std::string DateTimeText(double days);
// The days of such a text; nothing for any other text.
std::optional<double> ParseDateTime(std::string_view text);

// "2023-03-15 10:20", the report's date.
std::string DateMinuteText(double days);
// "10:20:30", a time of day in the report.
std::string TimeOfDayText(double days);
// "2023-03-15", a date in the report.
std::string DateText(double days);
// "20230315-102030", for a file name that sorts by date.
std::string FileStampText(double days);

}  // namespace quillane
