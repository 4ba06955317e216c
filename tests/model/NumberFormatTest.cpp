#include <gtest/gtest.h>

#include <cmath>

#include "model/Conversions.h"
#include "model/NumberFormat.h"

namespace quillane {
namespace {

class NumberFormatTest : public ::testing::TestWithParam<char> {
protected:
    NumberFormat f{GetParam()};
    std::string L(std::string s) const {  // the text as this locale writes it
        for (char& c : s)
            if (c == '.') c = GetParam();
        return s;
    }
};

TEST_P(NumberFormatTest, FixedRoundsHalvesAwayFromZeroOnTheDecimalValue) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{0.0005, 3, "0.001"},   {1.0005, 3, "1.001"}, {2.675, 2, "2.68"},
                 {-0.0005, 3, "-0.001"}, {-0.04, 1, "0.0"},    {9.96, 1, "10.0"},
                 {0.1 * 3, 1, "0.3"},    {250, 3, "250.000"},  {12.5, 0, "13"}};
    for (const auto& c : cases) EXPECT_EQ(f.Fixed(c.value, c.decimals), L(c.text)) << c.value;
}

TEST_P(NumberFormatTest, OneDecimalOptionalAndGeneral) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{12, "12"},      {10.5, "10.5"},  {0.5, ".5"},   {0.04, ""},  {0, ""},
                 {12.34, "12.3"}, {12.25, "12.3"}, {-0.5, "-.5"}, {9.95, "10"}};
    for (const auto& c : cases) EXPECT_EQ(f.OneDecimalOptional(c.value), L(c.text)) << c.value;
    EXPECT_EQ(f.General(14.33), L("14.33"));
    EXPECT_EQ(f.General(12), "12");
    EXPECT_EQ(f.General(0.1 + 0.2), L("0.3"));
    EXPECT_EQ(f.General(1.0 / 3), L("0.333333333333333"));
}

// A factor such as Kdc=1e308 makes a shown value infinite: it shows "---",
// without its unit.
TEST_P(NumberFormatTest, AValueThatIsNoNumberShowsTheEmptyForm) {
    const double none[] = {HUGE_VAL, -HUGE_VAL, std::nan("")};
    for (double v : none) {
        EXPECT_EQ(f.Fixed(v, 1), "---") << v;
        EXPECT_EQ(f.OneDecimalOptional(v), "---") << v;
        EXPECT_EQ(f.General(v), "---") << v;
        EXPECT_EQ(WithUnit(f.Fixed(v, 1), unit::kVolts), "---") << v;
    }
    EXPECT_EQ(WithUnit(f.Fixed(PowerToVolts(1023, 1e308, 1.5), 1), unit::kVolts), "---");
}

TEST_P(NumberFormatTest, ParseTakesOnlyThisLocalesFiniteNumbers) {
    EXPECT_EQ(f.ParseFloat(L(" 10.5 \t")), 10.5);
    EXPECT_EQ(f.ParseFloat(L(".5")), 0.5);
    EXPECT_EQ(f.ParseFloat(L("+2.5")), 2.5);
    EXPECT_EQ(f.ParseFloat("-1e3"), -1000);
    for (const char* bad : {"", " ", "abc", "1e400", "inf", "-inf", "nan", "12abc", "+-1", "0x10"})
        EXPECT_FALSE(f.ParseFloat(bad).has_value()) << bad;
    EXPECT_FALSE(f.ParseFloat(GetParam() == '.' ? "10,5" : "10.5").has_value());
    for (double v : {14.33, 0.1 * 3, 1.0 / 3, -22.5, 1e-7}) {
        const auto back = f.ParseFloat(f.General(v));
        ASSERT_TRUE(back.has_value()) << v;
        EXPECT_NEAR(*back, v, std::fabs(v) * 1e-14);
    }
    EXPECT_EQ(NumberFormat::ParseInt(" -1 "), -1);
    EXPECT_EQ(NumberFormat::ParseInt("+7"), 7);
    for (const char* bad : {"", "1.0", "abc", "99999999999", "1 2", "Sens"})
        EXPECT_FALSE(NumberFormat::ParseInt(bad).has_value()) << bad;
}

INSTANTIATE_TEST_SUITE_P(Separators, NumberFormatTest, ::testing::Values('.', ','));

}  // namespace
}  // namespace quillane
