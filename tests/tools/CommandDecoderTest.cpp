#include <gtest/gtest.h>

#include <vector>

#include "CommandDecoder.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

Words FeedAll(CommandDecoder& d, const Bytes& bytes) { return d.Feed(bytes.data(), bytes.size()); }

TEST(CommandDecoderTest, DecodesTheFramesTheConsoleSends) {
    CommandDecoder d;
    const auto f0 = frame::OutgoingFrame(frame::Command0(5, 10, 1));
    const auto f1 = frame::OutgoingFrame(frame::Command1(3, 7, 2));
    Bytes line(f0.begin(), f0.end());
    line.insert(line.end(), f1.begin(), f1.end());
    EXPECT_EQ(FeedAll(d, line), (Words{0x05AA, 0x23C7}));
}

TEST(CommandDecoderTest, FrameSplitAcrossReadsCarriesOver) {
    CommandDecoder d;
    const Bytes line = {0x4D, 0xD4, 0x4D, 0xD4};
    Words got;
    for (std::uint8_t b : line) {
        const Words w = d.Feed(&b, 1);
        got.insert(got.end(), w.begin(), w.end());
    }
    EXPECT_EQ(got, (Words{0x4DD4}));
}

// Each case: line noise before one good frame 05 AA 05 AA, which must survive.
TEST(CommandDecoderTest, ResynchronisesAfterNoise) {
    const std::vector<Bytes> noise = {
        {0xAA},              // a stray low byte
        {0x13},              // a lone high byte
        {0x13, 0x27},        // two high bytes
        {0x11, 0x91},        // a whole pair that never gets its copy
        {0x11, 0x91, 0x05},  // a pair, then a high byte
        {0x80, 0xFF, 0x00},  // low, low, high
    };
    for (const Bytes& n : noise) {
        CommandDecoder d;
        Bytes line = n;
        line.insert(line.end(), {0x05, 0xAA, 0x05, 0xAA});
        EXPECT_EQ(FeedAll(d, line), (Words{0x05AA})) << "noise of " << n.size() << " bytes";
    }
}

TEST(CommandDecoderTest, RejectsCopiesThatDisagree) {
    CommandDecoder d;
    EXPECT_TRUE(FeedAll(d, {0x05, 0xAA, 0x05, 0xAB}).empty());
    EXPECT_TRUE(FeedAll(d, {0x05, 0xAA, 0x06, 0xAA}).empty());
    EXPECT_GE(d.Rejected(), 2);
    // The line recovers at the next good frame.
    EXPECT_EQ(FeedAll(d, {0x23, 0xC7, 0x23, 0xC7}), (Words{0x23C7}));
}

TEST(CommandDecoderTest, DescribesEachCommandCode) {
    EXPECT_EQ(DescribeCommand(frame::Command0(5, 10, 1)), "cmd code:0 adr:5 senspp:10 state:1");
    EXPECT_EQ(DescribeCommand(frame::Command1(3, 7, 2)), "cmd code:1 sensmp:3 sensbp:7 letter:2");
    EXPECT_EQ(DescribeCommand(frame::Command2(1, 3, 20, 2)),
              "cmd code:2 min_spd:1 max_spd:3 dist:20 reg:2");
    EXPECT_EQ(DescribeCommand(0x6080), "cmd code:3 (no such command)");
}

}  // namespace
}  // namespace quillane
