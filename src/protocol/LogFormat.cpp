#include "protocol/LogFormat.h"

#include <cmath>

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

// "key:value" of a field, after a blank unless it comes first.
void Field(LogLine& line, const words::Field& f, frame::Word w, bool first) {
    if (!first) line.Char(' ');
    line.Text(f.key).Char(':').Number(f.Of(w));
}

void StatusFields(LogLine& line, frame::Word w) {
    const unsigned code = frame::Code(w);
    bool first = true;
    for (const words::Field& f : status::kFields) {
        if (f.code != code) continue;
        Field(line, f, w, first);
        first = false;
    }
}

void CommandFields(LogLine& line, frame::Word w) {
    const unsigned code = frame::CommandCode(w);
    line.Field("code:", code);
    for (const command::CommandField& f : command::kFields)
        if (f.field.code == code) Field(line, f.field, w, false);
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
