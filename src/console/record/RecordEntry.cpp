#include "console/record/RecordEntry.h"

#include <charconv>
#include <cmath>

#include "console/record/LocalDateTime.h"

namespace quillane {
namespace {

// A number as RecordLine writes it: JSON's form, with a point whatever the
// user's locale says, and finite.
std::optional<double> NumberOf(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A reader for the flat objects the record holds: strings, numbers, true,
// false and null as values; nested objects and arrays are not ours.
class FlatObjectReader {
public:
    explicit FlatObjectReader(std::string_view text) : text_(text) {}

    // The time and the event apart, the other fields in their order; a key
    // given twice keeps its last value.
    bool Read(std::string& time, std::string& event,
              std::vector<std::pair<std::string, std::string>>& fields) {
        SkipBlanks();
        if (!Take('{')) return false;
        SkipBlanks();
        if (Take('}')) return AtEnd();
        for (;;) {
            std::string key, value;
            SkipBlanks();
            if (!String(key)) return false;
            SkipBlanks();
            if (!Take(':')) return false;
            SkipBlanks();
            if (!Value(value)) return false;
            if (key == "time") {
                time = std::move(value);
            } else if (key == "event") {
                event = std::move(value);
            } else {
                for (auto it = fields.begin(); it != fields.end(); ++it)
                    if (it->first == key) {
                        fields.erase(it);
                        break;
                    }
                fields.emplace_back(std::move(key), std::move(value));
            }
            SkipBlanks();
            if (Take('}')) return AtEnd();
            if (!Take(',')) return false;
        }
    }

private:
    bool AtEnd() {
        SkipBlanks();
        return pos_ == text_.size();
    }
    void SkipBlanks() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r'))
            ++pos_;
    }
    bool Take(char c) {
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    bool Value(std::string& out) {
        if (pos_ < text_.size() && text_[pos_] == '"') return String(out);
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '}' &&
               text_[pos_] != ' ')
            ++pos_;
        out.assign(text_.substr(start, pos_ - start));
        // Only the characters of a number here; what it is worth is read
        // when a field is asked for.
        return out == "true" || out == "false" || out == "null" ||
               (!out.empty() && out.find_first_not_of("-+.0123456789eE") == std::string::npos);
    }
    bool String(std::string& out) {
        if (!Take('"')) return false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (pos_ >= text_.size()) return false;
            if (!Escape(text_[pos_++], out)) return false;
        }
        return false;
    }
    bool Escape(char c, std::string& out) {
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out.push_back(c);
                return true;
            case 'n':
                out.push_back('\n');
                return true;
            case 't':
                out.push_back('\t');
                return true;
            case 'r':
                out.push_back('\r');
                return true;
            case 'b':
                out.push_back('\b');
                return true;
            case 'f':
                out.push_back('\f');
                return true;
            case 'u':
                return Unicode(out);
            default:
                return false;
        }
    }
    // \uXXXX as UTF-8; a lone half of a surrogate pair stands as '?'.
    bool Unicode(std::string& out) {
        if (pos_ + 4 > text_.size()) return false;
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= static_cast<unsigned>(h - 'A' + 10);
            else
                return false;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            out.push_back('?');
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string RecordEntry::Text(const std::string& key) const {
    for (const auto& [k, v] : fields)
        if (k == key) return v;
    return std::string();
}

std::optional<double> RecordEntry::Number(const std::string& key) const {
    for (const auto& [k, v] : fields)
        if (k == key) return NumberOf(v);
    return std::nullopt;
}

std::optional<RecordEntry> ParseRecordLine(std::string_view line) {
    RecordEntry entry;
    entry.fields.reserve(8);
    std::string time;
    if (!FlatObjectReader(line).Read(time, entry.event, entry.fields)) return std::nullopt;
    const std::optional<double> days = ParseDateTime(time);
    if (!days || entry.event.empty()) return std::nullopt;
    entry.days = *days;
    return entry;
}

std::vector<RecordEntry> ParseRecord(const std::string& text) {
    std::vector<RecordEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (auto entry = ParseRecordLine(std::string_view(text).substr(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

}  // namespace quillane
