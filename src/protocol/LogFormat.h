#pragma once

#include <cstdint>

#include "protocol/FrameCodec.h"

namespace quillane {

class LogLine;

// The texts of the exchange log, built into a LogLine. A service engineer reads
// these files line by line and compares them across versions of the console, so
// every text here is fixed byte for byte.
namespace logformat {

// Link-state traces. They read like the code paths that wrote them in the
// console's first version, which engineers still search for in their logs.
inline const char* const kTracePortChange =
    "eDeviceState = EDevNone >void __fastcall TfmMain::cbComPortChange(TObject *Sender)";
inline const char* const kTraceTimeout =
    "eDeviceState = EDevNone >void TfmMain::Recv()|if(dblPeriod>1./24/60/60*3 && "
    "eDeviceState>EDevNone) {";
inline const char* const kTraceWork =
    "eDeviceState = EDevWork >void TfmMain::Recv()|if(eDeviceState!=EDevWork) ";
inline const char* const kTraceDetect =
    "eDeviceState = EDevDetect >void TfmMain::Recv()|if( "
    "iInpPacketsCodeCounter>=(2+3+4+5+6+7)) {|if(eDeviceState == EDevNone) {";
// The line said that its device went away; the port number follows.
inline const char* const kTraceDeviceGone =
    "eDeviceState = EDevNone >device gone, reconnecting to COM";
inline const char* const kTraceAllPakets =
    "eDeviceState = EDevAllPakets >void TfmMain::Recv()|if( "
    "iInpPacketsCodeCounter>=(2+3+4+5+6+7)) {|if(eDeviceState == EDevNone) {|else";

constexpr double kMsPerDay = 86400000.0;

// "hh:nn:ss.zzz" of a local time in days.
void TimeStamp(LogLine& line, double days);
// "nn:ss.zzz" of a time or a period in days.
void MinSecMs(LogLine& line, double days);

// "Inp:[00 2F FF 2E] chsum:Ok code:1 sig:1023 pp:1 mp:1 bp:0" for the four
// bytes of an incoming frame; a bad frame stops after the code and a blank.
void InpText(LogLine& line, const std::uint8_t* frameBytes);
// "Out:[05 AA 05 AA] send:4 bytes code:0 adr:5 senspp:10 state:1".
void OutText(LogLine& line, const frame::Frame& sent, int bytesSent, frame::Word word);
// "Now()=.. PacketTime=.. period=.. const=..", all four in days.
void TimeoutText(LogLine& line, double nowDays, double packetDays, double periodDays,
                 double limitDays);

}  // namespace logformat
}  // namespace quillane
