#include "protocol/LogFormat.h"

#include <cmath>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/LogLine.h"

namespace quillane {
namespace logformat {

namespace {

// Milliseconds of the time of day, rounded to the nearest millisecond the way
// the date-time texts of the first version rounded them.
std::uint32_t MsOfDay(double days) {
    const long long total = std::llround(std::fabs(days) * kMsPerDay);
    return static_cast<std::uint32_t>(total % 86400000LL);
}

void Bytes(LogLine& line, const std::uint8_t* bytes) {
    line.Char('[');
    for (int i = 0; i < frame::kFrameSize; ++i) {
        if (i > 0) line.Char(' ');
        line.Hex2(bytes[i]);
    }
    line.Char(']');
}

// "key:" of each field, by its word's code, made once from the word table: up
// to 1440 status words a second are written out field by field.
struct Labelled {
    std::string label;  // " key:"
    unsigned shift, mask;
};
using Labels = std::vector<std::vector<Labelled>>;

Labels MakeLabels(unsigned codes, const std::vector<words::Field>& fields) {
    Labels labels(codes);
    for (const words::Field& f : fields)
        labels[f.code].push_back({" " + std::string(f.key) + ":", f.shift, f.Mask()});
    return labels;
}

std::vector<words::Field> CommandFieldList() {
    std::vector<words::Field> fields;
    for (const command::CommandField& f : command::kFields) fields.push_back(f.field);
    return fields;
}

const Labels kStatusLabels =
    MakeLabels(status::kCodes,
               std::vector<words::Field>(std::begin(status::kFields), std::end(status::kFields)));
const Labels kCommandLabels = MakeLabels(command::kCodes, CommandFieldList());

void Field(LogLine& line, std::string_view label, const Labelled& f, frame::Word w) {
    line.Text(label).Number((w >> f.shift) & f.mask);
}

void StatusFields(LogLine& line, frame::Word w) {
    const std::vector<Labelled>& fields = kStatusLabels[frame::Code(w)];
    if (fields.empty()) return;
    Field(line, std::string_view(fields[0].label).substr(1), fields[0], w);
    for (std::size_t i = 1; i < fields.size(); ++i) Field(line, fields[i].label, fields[i], w);
}

void CommandFields(LogLine& line, frame::Word w) {
    const unsigned code = frame::CommandCode(w);
    line.Field("code:", code);
    if (code >= kCommandLabels.size()) return;
    for (const Labelled& f : kCommandLabels[code]) Field(line, f.label, f, w);
}

}  // namespace

void TimeStamp(LogLine& line, double days) {
    const std::uint32_t ms = MsOfDay(days);
    line.Padded(ms / 3600000, 2).Char(':');
    line.Padded(ms / 60000 % 60, 2).Char(':');
    line.Padded(ms / 1000 % 60, 2).Char('.');
    line.Padded(ms % 1000, 3);
}

void MinSecMs(LogLine& line, double days) {
    const std::uint32_t ms = MsOfDay(days);
    line.Padded(ms / 60000 % 60, 2).Char(':');
    line.Padded(ms / 1000 % 60, 2).Char('.');
    line.Padded(ms % 1000, 3);
}

void InpText(LogLine& line, const std::uint8_t* b) {
    const bool ok = frame::ChecksumHolds(b[1], b[2], b[3]);
    line.Text("Inp:");
    Bytes(line, b);
    line.Text(" chsum:").Text(ok ? "Ok" : "!!!Err!!!");
    line.Text(" code:").Number(b[1] >> 5).Char(' ');
    if (ok) StatusFields(line, frame::StatusWord(b[1], b[2]));
}

void OutText(LogLine& line, const frame::Frame& sent, int bytesSent, frame::Word word) {
    line.Text("Out:");
    Bytes(line, sent.data());
    line.Text(" send:");
    if (bytesSent < 0) line.Char('-');
    line.Number(static_cast<unsigned>(bytesSent < 0 ? -bytesSent : bytesSent));
    line.Text(" bytes ");
    CommandFields(line, word);
}

void TimeoutText(LogLine& line, double nowDays, double packetDays, double periodDays,
                 double limitDays) {
    line.Text("Now()=");
    MinSecMs(line, nowDays);
    line.Text(" PacketTime=");
    MinSecMs(line, packetDays);
    line.Text(" period=");
    MinSecMs(line, periodDays);
    line.Text(" const=");
    MinSecMs(line, limitDays);
}

}  // namespace logformat
}  // namespace quillane
