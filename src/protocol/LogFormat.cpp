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

void StatusFields(LogLine& line, frame::Word w) {
    using namespace frame;
    switch (Code(w)) {
        case 1:
            line.Field("sig:", Sig(w)).Field(" pp:", Pp(w)).Field(" mp:", Mp(w));
            line.Field(" bp:", Bp(w));
            break;
        case 2:
            line.Field("aver:", Aver(w)).Field(" state:", State(w));
            break;
        case 3:
            line.Field("sensmp:", SensMp(w)).Field(" senspp:", SensPp(w));
            break;
        case 4:
            line.Field("dist:", Dist(w)).Field(" regul:", Regul(w)).Field(" sensbp:", SensBp(w));
            break;
        case 5:
            line.Field("vel_min:", VelMin(w)).Field(" vel_max:", VelMax(w));
            line.Field(" amplif:", Amplif(w)).Field(" ref:", Ref(w)).Field(" dis:", Dis(w));
            break;
        case 6:
            line.Field("dev:", Dev(w)).Field(" prog:", Prog(w));
            line.Field(" letter:", Letter(w)).Field(" adr:", Adr(w));
            break;
        case 7:
            line.Field("pwr:", Pwr(w));
            break;
        default:  // code 0 carries no fields
            break;
    }
}

void CommandFields(LogLine& line, frame::Word w) {
    using namespace frame;
    const unsigned code = CommandCode(w);
    line.Field("code:", code);
    switch (code) {
        case 0:
            line.Field(" adr:", CmdAdr(w)).Field(" senspp:", CmdSensPp(w));
            line.Field(" state:", CmdState(w));
            break;
        case 1:
            line.Field(" sensmp:", CmdSensMp(w)).Field(" sensbp:", CmdSensBp(w));
            line.Field(" letter:", CmdLetter(w));
            break;
        case 2:
            line.Field(" min_spd:", CmdMinSpd(w)).Field(" max_spd:", CmdMaxSpd(w));
            line.Field(" dist:", CmdDist(w)).Field(" reg:", CmdReg(w));
            break;
        default:  // code 3 is never built
            break;
    }
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
