#include <gtest/gtest.h>

#include <string>

#include "FakeClock.h"
#include "protocol/FrameCodec.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane {
namespace {

std::string Inp(std::initializer_list<std::uint8_t> bytes) {
    LogLine line;
    logformat::InpText(line, std::data(bytes));
    return std::string(line.View());
}

TEST(LogFormat, InpLinePerCode) {
    struct Case {
        frame::Word word;
        const char* expected;
    };
    const Case cases[] = {
        {0x0000, "Inp:[00 00 00 00] chsum:Ok code:0 "},
        {0x2FFF, "Inp:[00 2F FF 2E] chsum:Ok code:1 sig:1023 pp:1 mp:1 bp:0"},
        {0x49F4, "Inp:[00 49 F4 3D] chsum:Ok code:2 aver:500 state:2"},
        {0x6A0C, "Inp:[00 6A 0C 76] chsum:Ok code:3 sensmp:12 senspp:10"},
        {0x8E74, "Inp:[00 8E 74 02] chsum:Ok code:4 dist:20 regul:3 sensbp:14"},
        {0xBD0D, "Inp:[00 BD 0D CA] chsum:Ok code:5 vel_min:1 vel_max:3 amplif:1 ref:1 dis:3"},
        {0xC95A, "Inp:[00 C9 5A 23] chsum:Ok code:6 dev:2 prog:3 letter:1 adr:9"},
        {0xE320, "Inp:[00 E3 20 03] chsum:Ok code:7 pwr:800"},
    };
    for (const Case& c : cases) {
        const frame::Frame f = frame::IncomingFrame(c.word);
        EXPECT_EQ(Inp({f[0], f[1], f[2], f[3]}), c.expected);
    }
}

TEST(LogFormat, BadFrameShowsCodeAndBlankOnly) {
    EXPECT_EQ(Inp({0x00, 0x2F, 0xFF, 0x2F}), "Inp:[00 2F FF 2F] chsum:!!!Err!!! code:1 ");
    EXPECT_EQ(Inp({0x00, 0xFF, 0x0A, 0x00}), "Inp:[00 FF 0A 00] chsum:!!!Err!!! code:7 ");
}

TEST(LogFormat, OutLinePerCommandCode) {
    struct Case {
        frame::Word word;
        int sent;
        const char* expected;
    };
    const Case cases[] = {
        {frame::Command0(5, 10, 1), 4,
         "Out:[05 AA 05 AA] send:4 bytes code:0 adr:5 senspp:10 state:1"},
        {frame::Command1(3, 7, 2), 0,
         "Out:[23 C7 23 C7] send:0 bytes code:1 sensmp:3 sensbp:7 letter:2"},
        {frame::Command2(1, 3, 20, 2), 2,
         "Out:[4D D4 4D D4] send:2 bytes code:2 min_spd:1 max_spd:3 dist:20 reg:2"},
    };
    for (const Case& c : cases) {
        LogLine line;
        logformat::OutText(line, frame::OutgoingFrame(c.word), c.sent, c.word);
        EXPECT_EQ(line.View(), c.expected);
    }
}

TEST(LogFormat, TimesRoundToTheMillisecond) {
    using test::FakeClock;
    struct Case {
        double days;
        const char* stamp;
        const char* minSec;
    };
    const Case cases[] = {
        {FakeClock::At(0, 0, 0, 0), "00:00:00.000", "00:00.000"},
        {FakeClock::At(9, 5, 7, 3), "09:05:07.003", "05:07.003"},
        {FakeClock::At(23, 59, 59, 999), "23:59:59.999", "59:59.999"},
        {0.5 + 0.4 / 86400000.0, "12:00:00.000", "00:00.000"},
        {0.5 + 0.6 / 86400000.0, "12:00:00.001", "00:00.001"},
        {0.5 - 0.4 / 86400000.0, "12:00:00.000", "00:00.000"},
        {0.0, "00:00:00.000", "00:00.000"},
    };
    for (const Case& c : cases) {
        LogLine stamp, minSec;
        logformat::TimeStamp(stamp, c.days);
        logformat::MinSecMs(minSec, c.days);
        EXPECT_EQ(stamp.View(), c.stamp);
        EXPECT_EQ(minSec.View(), c.minSec);
    }
}

TEST(LogFormat, TimeoutLine) {
    LogLine line;
    logformat::TimeoutText(line, test::FakeClock::At(10, 20, 34, 1),
                           test::FakeClock::At(10, 20, 30, 456), 3.545 / 86400.0, 3.0 / 86400.0);
    EXPECT_EQ(line.View(), "Now()=20:34.001 PacketTime=20:30.456 period=00:03.545 const=00:03.000");
}

TEST(LogLine, CutsOffInsteadOfOverrunning) {
    LogLine line;
    for (int i = 0; i < 100; ++i) line.Text("0123456789");
    EXPECT_EQ(line.Size(), LogLine::kCapacity);
}

}  // namespace
}  // namespace quillane
