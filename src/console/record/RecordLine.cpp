#include "console/record/RecordLine.h"

#include <cmath>
#include <cstdio>

#include "console/record/LocalDateTime.h"
#include "model/NumberFormat.h"

namespace quillane {
namespace {

// JSON's escapes for the quote, the backslash and control characters; every
// other byte (UTF-8 included) stands for itself.
void AppendQuoted(std::string& out, const std::string& text) {
    out.push_back('"');
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

}  // namespace

RecordLine::RecordLine(double localDays, const char* event) {
    text_ = "{\"time\":\"" + DateTimeText(localDays) + "\"";
    Text("event", event);
}

void RecordLine::Key(const char* key) {
    text_.push_back(',');
    AppendQuoted(text_, key);
    text_.push_back(':');
}

RecordLine& RecordLine::Text(const char* key, const std::string& value) {
    Key(key);
    AppendQuoted(text_, value);
    return *this;
}

RecordLine& RecordLine::Integer(const char* key, long long value) {
    Key(key);
    text_ += std::to_string(value);
    return *this;
}

RecordLine& RecordLine::Number(const char* key, double value, int decimals) {
    Key(key);
    static const NumberFormat kPoint('.');
    text_ += std::isfinite(value) ? kPoint.Fixed(value, decimals) : std::string("null");
    return *this;
}

}  // namespace quillane
