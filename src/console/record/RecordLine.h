#pragma once

#include <string>

namespace quillane {

// One line of the site record: a flat JSON object on a line of its own,
// {"time":"2023-03-15T10:20:30.456","event":"alarm","page":"Setup","count":3},
// so that a spreadsheet, a script or a text editor reads it as it is. Numbers
// always carry a point, whatever the user's locale.
class RecordLine {
public:
    RecordLine(double localDays, const char* event);

    RecordLine& Text(const char* key, const std::string& value);
    RecordLine& Integer(const char* key, long long value);
    // With the given decimals; a value that is no number is written as null.
    RecordLine& Number(const char* key, double value, int decimals);

    // The whole line, with its line feed.
    std::string Done() const { return text_ + "}\n"; }

private:
    void Key(const char* key);

    std::string text_;
};

}  // namespace quillane
