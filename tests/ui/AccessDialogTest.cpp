// F10: the access codes, their results and the caption.
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

const QString kBase = QStringLiteral("Detector setup console");
const QString kDeveloper = QStringLiteral("Detector setup console: Developer access");

struct CodeCase {
    const char* code;
    AccessLevel level;
    const QString& caption;
};
// Names the case in the test list by its code, not by its bytes.
void PrintTo(const CodeCase& c, std::ostream* os) { *os << '"' << c.code << '"'; }

class AccessCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(AccessCodes, SetTheLevelAndRebuildTheCaption) {
    const CodeCase& c = GetParam();
    ConsoleHarness h;
    h.LinkUp();
    EXPECT_EQ(h.EnterAccessCode(c.code), "");  // no error box
    EXPECT_EQ(h.Window().CurrentAccessLevel(), c.level);
    EXPECT_EQ(h.Window().windowTitle(), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Codes, AccessCodes,
                         ::testing::Values(CodeCase{"5", EAccAdvanced, kBase},
                                           CodeCase{"527", EAccDeveloper, kDeveloper},
                                           CodeCase{"1", EAccBasic, kBase}));

// Which codes are wrong is the dialog's table (DialogsTest); here only that a
// refused code leaves the window's level and caption alone.
TEST(AccessDialog, AWrongCodeIsRefusedAndTheTypedTextStays) {
    ConsoleHarness h;
    h.LinkUp();
    EXPECT_EQ(h.EnterAccessCode("52"), "Error|Wrong password!!!|52");
    EXPECT_EQ(h.Window().CurrentAccessLevel(), EAccBasic);
    EXPECT_EQ(h.Window().windowTitle(), kBase);
}

TEST(AccessDialog, EscLeavesLevelAndCaptionAsTheyWere) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("527");
    h.EnterAccessCode("", true);
    EXPECT_EQ(h.Window().CurrentAccessLevel(), EAccDeveloper);
    EXPECT_EQ(h.Window().windowTitle(), kDeveloper);
}

TEST(AccessDialog, TheDeveloperSuffixNeverDoubles) {
    ConsoleHarness h;
    h.LinkUp();
    h.EnterAccessCode("527");
    h.EnterAccessCode("527");
    EXPECT_EQ(h.Window().windowTitle(), kDeveloper);
    h.EnterAccessCode("1");
    EXPECT_EQ(h.Window().windowTitle(), kBase);
    EXPECT_EQ(h.VisibleTabs(), (QStringList{"tsTuneUp", "tsSense", "tsVelmo"}));
}

}  // namespace
}  // namespace quillane::test
