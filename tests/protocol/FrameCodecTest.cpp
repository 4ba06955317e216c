#include <gtest/gtest.h>

#include "protocol/FrameCodec.h"

namespace quillane::frame {
namespace {

TEST(FrameCodec, SignalFrameDecodes) {
    ASSERT_TRUE(ChecksumHolds(0x2F, 0xFF, 0x2E));
    const Word w = StatusWord(0x2F, 0xFF);
    EXPECT_EQ(w, 0x2FFF);
    EXPECT_EQ(Code(w), 1u);
    EXPECT_EQ(Sig(w), 1023u);
    EXPECT_EQ(Pp(w), 1u);
    EXPECT_EQ(Mp(w), 1u);
    EXPECT_EQ(Bp(w), 0u);
}

TEST(FrameCodec, ChecksumWrapsAndIdentityDecodes) {
    EXPECT_EQ(Checksum(0xC9, 0x5A), 0x23);
    const Word w = StatusWord(0xC9, 0x5A);
    EXPECT_EQ(Code(w), 6u);
    EXPECT_EQ(Dev(w), 2u);
    EXPECT_EQ(Prog(w), 3u);
    EXPECT_EQ(Letter(w), 1u);
    EXPECT_EQ(Adr(w), 9u);
    EXPECT_FALSE(ChecksumHolds(0x2F, 0xFF, 0x2F));
    EXPECT_FALSE(ChecksumHolds(0xC9, 0x5A, 0x22));
}

// Each field alone at its maximum: catches a wrong mask or shift, and a field
// that bleeds into its neighbour.
TEST(FrameCodec, EveryStatusFieldHasItsOwnBits) {
    struct Case {
        Word word;
        unsigned (*field)(Word);
        unsigned expected;
    };
    const Case cases[] = {
        {0x03FF, Sig, 1023},  {0x0400, Pp, 1},     {0x0800, Mp, 1},      {0x1000, Bp, 1},
        {0x03FF, Aver, 1023}, {0x1C00, State, 7},  {0x001F, SensMp, 31}, {0x1F00, SensPp, 31},
        {0x001F, Dist, 31},   {0x0060, Regul, 3},  {0x1F00, SensBp, 31}, {0x0003, VelMin, 3},
        {0x000C, VelMax, 3},  {0x0300, Amplif, 3}, {0x0400, Ref, 1},     {0x1800, Dis, 3},
        {0x0007, Dev, 7},     {0x0038, Prog, 7},   {0x00C0, Letter, 3},  {0x0F00, Adr, 15},
        {0x03FF, Pwr, 1023},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.field(c.word), c.expected) << std::hex << c.word;
        EXPECT_EQ(c.field(static_cast<Word>(~c.word & 0x1FFF)), 0u) << std::hex << c.word;
    }
    for (unsigned code = 0; code < 8; ++code) EXPECT_EQ(Code(static_cast<Word>(code << 13)), code);
}

TEST(FrameCodec, CommandFramesGoOutAsTheDetectorExpects) {
    struct Case {
        Word word;
        Frame expected;
    };
    const Case cases[] = {
        {Command0(5, 10, 1), {0x05, 0xAA, 0x05, 0xAA}},
        {Command1(3, 7, 2), {0x23, 0xC7, 0x23, 0xC7}},
        {Command2(1, 3, 20, 2), {0x4D, 0xD4, 0x4D, 0xD4}},
        {Command0(17, 0, 0), {0x01, 0x80, 0x01, 0x80}},
        // Every argument too wide: only the field bits, the code and the
        // marker bits may be set.
        {Command0(0xFFFF, 0xFFFF, 0xFFFF), {0x0F, 0xFF, 0x0F, 0xFF}},
        {Command1(0xFFFF, 0xFFFF, 0xFFFF), {0x3F, 0xFF, 0x3F, 0xFF}},
        {Command2(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF), {0x4F, 0xFF, 0x4F, 0xFF}},
        {Command2(0, 0, 0, 0), {0x40, 0x80, 0x40, 0x80}},
    };
    for (const Case& c : cases) EXPECT_EQ(OutgoingFrame(c.word), c.expected) << std::hex << c.word;
}

}  // namespace
}  // namespace quillane::frame
